// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "metadata/colourspace.h"

#include <QColorSpace>
#include <QTransform>

QImage uprightKeepingColourSpace(QImage image, QImageIOHandler::Transformations transformation)
{
    if (transformation == QImageIOHandler::TransformationNone)
        return image;
    const QColorSpace space = image.colorSpace();
    // The order QImageReader applies them in: a mirror or flip first, then the quarter turn.
    if (transformation == QImageIOHandler::TransformationRotate270) {
        image = image.transformed(QTransform().rotate(270));
    } else {
        const bool mirror = transformation & QImageIOHandler::TransformationMirror;
        const bool flip = transformation & QImageIOHandler::TransformationFlip;
        if (mirror || flip)
            image = std::move(image).mirrored(mirror, flip);
        if (transformation & QImageIOHandler::TransformationRotate90)
            image = image.transformed(QTransform().rotate(90));
    }
    if (!image.isNull() && space.isValid())
        image.setColorSpace(space);
    return image;
}

QImage convertedToSrgb(QImage image)
{
    const QColorSpace space = image.colorSpace();
    const QColorSpace srgb(QColorSpace::SRgb);
    if (image.isNull() || !space.isValid() || space == srgb)
        return image;
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGBX64:
    case QImage::Format_RGBA64:
    case QImage::Format_RGBA64_Premultiplied:
        break;
    default:
        // Qt 6.4 converts only these formats (and palettes) between colour spaces.
        image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        break;
    }
    image.convertToColorSpace(srgb);
    return image;
}
