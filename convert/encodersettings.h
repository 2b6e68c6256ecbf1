// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QColor>

class QImage;
class QImageWriter;
struct ConversionOptions;

// What the encoders are told besides the pixels: a quality per lossy format, "Lossless" where the
// format has it, the PNG compression level and the TIFF compression. Every default is the value
// the encoder used before these choices existed, so an untouched setting writes the same bytes.
struct EncoderSettings {
    enum TiffCompression { TiffNone = 0, TiffLzw = 1, TiffDeflate = 2 };

    static constexpr int DefaultJpgQuality = 95;
    static constexpr int DefaultWebpQuality = 75;
    static constexpr int DefaultAvifQuality = 70;
    static constexpr int DefaultHeifQuality = 50;
    static constexpr int DefaultJxlQuality = 90;
    static constexpr int DefaultPngCompression = 6;

    EncoderSettings() = default;
    // Only the JPG quality chosen, as callers that know no other setting pass it.
    EncoderSettings(int jpgQuality)
        : jpgQuality(jpgQuality)
    {
    }

    int jpgQuality = DefaultJpgQuality;
    int webpQuality = DefaultWebpQuality;
    bool webpLossless = false;
    int avifQuality = DefaultAvifQuality;
    bool avifLossless = false;
    int heicQuality = DefaultHeifQuality;
    int heifQuality = DefaultHeifQuality;
    int jxlQuality = DefaultJxlQuality;
    bool jxlLossless = false;
    int pngCompression = DefaultPngCompression; // zlib level 0..9
    int tiffCompression = TiffNone;
    QColor background = Qt::white; // under transparent parts, for formats without transparency
};

EncoderSettings encoderSettings(const ConversionOptions &options);

// Tells the writer what the settings say for `format` (a lower-case suffix such as "webp").
void applyEncoderSettings(QImageWriter &writer, const QByteArray &format, const EncoderSettings &settings);

// The quality the PNG encoder takes for the chosen level: -1 (its default) for level 6.
int pngQuality(const EncoderSettings &settings);

// Writes the image through the writer, or, for a TIFF with Deflate, which Qt's writer lacks, to
// the writer's device. False when either fails.
bool writeWithSettings(
    QImageWriter &writer, const QImage &image, const QByteArray &format, const EncoderSettings &settings);
