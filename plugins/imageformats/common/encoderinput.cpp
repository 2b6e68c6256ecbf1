// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "plugins/imageformats/common/encoderinput.h"

namespace EncoderInput {

namespace {

    bool anyTransparent8(const QImage &rgba)
    {
        for (int y = 0; y < rgba.height(); ++y) {
            const uchar *line = rgba.constScanLine(y);
            for (int x = 0; x < rgba.width(); ++x) {
                if (line[4 * x + 3] != 0xff)
                    return true;
            }
        }
        return false;
    }

    bool anyTransparent16(const QImage &rgba64)
    {
        for (int y = 0; y < rgba64.height(); ++y) {
            const auto *line = reinterpret_cast<const QRgba64 *>(rgba64.constScanLine(y));
            for (int x = 0; x < rgba64.width(); ++x) {
                if (line[x].alpha() != 0xffff)
                    return true;
            }
        }
        return false;
    }

} // namespace

bool isDeep(QImage::Format format)
{
    switch (format) {
    case QImage::Format_BGR30:
    case QImage::Format_A2BGR30_Premultiplied:
    case QImage::Format_RGB30:
    case QImage::Format_A2RGB30_Premultiplied:
    case QImage::Format_RGBX64:
    case QImage::Format_RGBA64:
    case QImage::Format_RGBA64_Premultiplied:
    case QImage::Format_Grayscale16:
    case QImage::Format_RGBX16FPx4:
    case QImage::Format_RGBA16FPx4:
    case QImage::Format_RGBA16FPx4_Premultiplied:
    case QImage::Format_RGBX32FPx4:
    case QImage::Format_RGBA32FPx4:
    case QImage::Format_RGBA32FPx4_Premultiplied:
        return true;
    default:
        return false;
    }
}

QImage prepare(const QImage &image, bool deep)
{
    const bool alphaPossible = image.hasAlphaChannel();
    if (deep) {
        QImage rgba = image.convertToFormat(QImage::Format_RGBA64);
        if (alphaPossible && anyTransparent16(rgba))
            return rgba;
        return rgba.convertToFormat(QImage::Format_RGBX64);
    }
    if (!alphaPossible)
        return image.convertToFormat(QImage::Format_RGB888);
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    if (anyTransparent8(rgba))
        return rgba;
    return rgba.convertToFormat(QImage::Format_RGB888);
}

} // namespace EncoderInput
