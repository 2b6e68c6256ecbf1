#pragma once

#include <QColorSpace>

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
    MatrixIdentity = 0,
    MatrixBt601 = 6,
};

// The colour space the code points describe, or an invalid one when Qt cannot represent it
// (the image is then treated as sRGB, as untagged images are).
QColorSpace toColorSpace(int primaries, int transfer);

} // namespace Cicp
