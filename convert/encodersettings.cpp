// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/encodersettings.h"

#include "convert/conversionoptions.h"
#include "convert/tiffdeflate.h"

#include <QIODevice>
#include <QImageWriter>

namespace {

// The writers of WEBP, AVIF and JPEG XL encode without loss when asked for quality 100.
constexpr int LosslessQuality = 100;

int lossyOrLossless(int quality, bool lossless)
{
    return lossless ? LosslessQuality : qBound(0, quality, 99);
}

} // namespace

EncoderSettings encoderSettings(const ConversionOptions &options)
{
    EncoderSettings settings(options.targeFileQuality);
    settings.webpQuality = options.webpQuality;
    settings.webpLossless = options.webpLossless;
    settings.avifQuality = options.avifQuality;
    settings.avifLossless = options.avifLossless;
    settings.heicQuality = options.heicQuality;
    settings.heifQuality = options.heifQuality;
    settings.jxlQuality = options.jxlQuality;
    settings.jxlLossless = options.jxlLossless;
    settings.pngCompression = options.pngCompression;
    settings.tiffCompression = options.tiffCompression;
    settings.background = options.backgroundColor;
    return settings;
}

void applyEncoderSettings(QImageWriter &writer, const QByteArray &format, const EncoderSettings &settings)
{
    if (format == "jpg")
        writer.setQuality(settings.jpgQuality);
    else if (format == "webp")
        writer.setQuality(lossyOrLossless(settings.webpQuality, settings.webpLossless));
    else if (format == "avif")
        writer.setQuality(lossyOrLossless(settings.avifQuality, settings.avifLossless));
    else if (format == "jxl")
        writer.setQuality(lossyOrLossless(settings.jxlQuality, settings.jxlLossless));
    else if (format == "heic")
        writer.setQuality(qBound(0, settings.heicQuality, 99));
    else if (format == "heif")
        writer.setQuality(qBound(0, settings.heifQuality, 99));
    else if (format == "tiff" && settings.tiffCompression == EncoderSettings::TiffLzw)
        writer.setCompression(1);
}

namespace {

// Qt's TIFF writer stores a palette without its transparency, and a 1-bit picture as black and
// white whatever its two colours: such pictures go to it in a form it stores as they are.
QImage forQtTiffWriter(const QImage &image)
{
    const QImage::Format format = image.format();
    const bool indexed = format == QImage::Format_Indexed8 || format == QImage::Format_Mono
        || format == QImage::Format_MonoLSB;
    if (!indexed)
        return image;
    if (image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_ARGB32);
    if (format != QImage::Format_Indexed8 && !image.isGrayscale())
        return image.convertToFormat(QImage::Format_Indexed8);
    return image;
}

} // namespace

bool writeWithSettings(
    QImageWriter &writer, const QImage &image, const QByteArray &format, const EncoderSettings &settings)
{
    if (format == "tiff" && settings.tiffCompression != EncoderSettings::TiffDeflate)
        return writer.write(forQtTiffWriter(image));
    if (format != "tiff")
        return writer.write(image);
    return writeDeflateTiff(image, writer.device());
}

int pngQuality(const EncoderSettings &settings)
{
    const int level = qBound(0, settings.pngCompression, 9);
    if (level == EncoderSettings::DefaultPngCompression)
        return -1;
    // The encoder maps a quality q to level (100 - q) * 9 / 91; this is the q that gives `level`.
    return 100 - (level * 91 + 8) / 9;
}
