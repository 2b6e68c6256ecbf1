// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>
#include <QImageIOHandler>

// Orientation as the formats store it, against Qt's QImageIOHandler::Transformations (which
// mirror or flip first and then turn clockwise, the way QImageReader applies them).
namespace Orientation {

// The EXIF orientation (1..8, as JPEG XL and libheif use it) that makes a reader apply `t`.
int exifFromTransformation(QImageIOHandler::Transformations t);

// HEIF's rotation ('irot': anti-clockwise quarter turns, applied first) and mirror ('imir',
// applied after it: 0 exchanges top and bottom, 1 left and right; -1 for none).
struct HeifTransform {
    int angle = 0;
    int mirror = -1;
};

HeifTransform heifFromTransformation(QImageIOHandler::Transformations t);

// The stored pixels turned upright: rotated by `angle` anti-clockwise quarter turns, then mirrored.
QImage applyHeifTransform(const QImage &image, int angle, int mirror);

} // namespace Orientation
