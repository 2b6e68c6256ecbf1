// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "plugins/imageformats/common/orientation.h"

#include <QColorSpace>
#include <QTransform>

namespace Orientation {

int exifFromTransformation(QImageIOHandler::Transformations t)
{
    switch (int(t)) {
    case QImageIOHandler::TransformationMirror:
        return 2;
    case QImageIOHandler::TransformationRotate180:
        return 3;
    case QImageIOHandler::TransformationFlip:
        return 4;
    case QImageIOHandler::TransformationFlipAndRotate90:
        return 5;
    case QImageIOHandler::TransformationRotate90:
        return 6;
    case QImageIOHandler::TransformationMirrorAndRotate90:
        return 7;
    case QImageIOHandler::TransformationRotate270:
        return 8;
    default:
        return 1;
    }
}

HeifTransform heifFromTransformation(QImageIOHandler::Transformations t)
{
    switch (int(t)) {
    case QImageIOHandler::TransformationMirror:
        return { 0, 1 };
    case QImageIOHandler::TransformationFlip:
        return { 0, 0 };
    case QImageIOHandler::TransformationRotate180:
        return { 2, -1 };
    case QImageIOHandler::TransformationRotate90:
        return { 3, -1 };
    case QImageIOHandler::TransformationRotate270:
        return { 1, -1 };
    case QImageIOHandler::TransformationMirrorAndRotate90:
        return { 1, 1 };
    case QImageIOHandler::TransformationFlipAndRotate90:
        return { 1, 0 };
    default:
        return {};
    }
}

QImage applyHeifTransform(const QImage &image, int angle, int mirror)
{
    QImage result = image;
    angle &= 3;
    // Qt 6.4's transformed() drops the colour space for quarter and half turns.
    if (angle != 0) {
        result = result.transformed(QTransform().rotate(-90.0 * angle));
        result.setColorSpace(image.colorSpace());
    }
    if (mirror == 0)
        result = std::move(result).mirrored(false, true);
    else if (mirror == 1)
        result = std::move(result).mirrored(true, false);
    return result;
}

} // namespace Orientation
