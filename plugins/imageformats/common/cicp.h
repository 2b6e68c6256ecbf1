// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QColorSpace>
#include <QImage>

// Coding-independent code points (ITU-T H.273), which AVIF and HEIF use instead of an ICC
// profile for the common colour spaces.
namespace Cicp {

enum : int {
    PrimariesBt709 = 1,
    PrimariesUnspecified = 2,
    PrimariesDisplayP3 = 12,
    TransferUnspecified = 2,
    TransferGamma22 = 4,
    TransferGamma28 = 5,
    TransferLinear = 8,
    TransferSrgb = 13,
    TransferPq = 16,
    TransferHlg = 18,
    MatrixIdentity = 0,
    MatrixBt601 = 6,
};

// The colour space the code points describe, where Qt 6.4 can describe it as it stands (every
// primaries of H.273 but XYZ; linear, sRGB and the pure gamma curves), or an invalid one.
QColorSpace toColorSpace(int primaries, int transfer);

// Gives decoded `pixels` the colour space the code points describe. Transfers Qt cannot describe
// are converted: the BT.709 family, SMPTE 240M, the log curves and SMPTE 428 exactly to the sRGB
// curve; PQ and HLG by a tone map onto SDR (reference white 203 cd/m2 as 1.0, then
// x (1 + x / 49^2) / (1 + x) on each channel, which keeps 1.0 below white and rolls the
// highlights off up to 10,000 cd/m2), logged. Unknown primaries or transfers leave the pixels
// untagged (read as sRGB). Returns whether the pixels were tone-mapped.
bool apply(QImage &pixels, int primaries, int transfer);

} // namespace Cicp
