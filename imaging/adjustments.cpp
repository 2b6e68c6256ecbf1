// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "imaging/adjustments.h"
#include "common/logging.h"

#include <QDebug>
#include <array>
#include <cmath>

namespace {

using ChannelTable = std::array<uchar, 256>;

// Limits to 0..255, upper bound first, then truncates toward zero. NaN counts as below range.
int clampChannel(float value)
{
    if (value > 255.0f)
        value = 255.0f;
    if (!(value >= 0.0f))
        value = 0.0f;
    return int(value);
}

// RGB32, or straight (not premultiplied) ARGB32 for a picture with transparency: the rules map
// the colours and keep the alpha channel, so a PNG or WEBP target stays transparent.
QImage toRgb32(QImage image)
{
    const QImage::Format format = image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    return std::move(image).convertToFormat(format);
}

// Calls map(r, g, b) for every pixel of the toRgb32() image, row by row, keeping the alpha byte.
template <typename Map> QImage mapPixels(QImage image, Map &&map)
{
    image = toRgb32(std::move(image));
    const int width = image.width();
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = line[x];
            int r = qRed(pixel);
            int g = qGreen(pixel);
            int b = qBlue(pixel);
            map(r, g, b);
            line[x] = (pixel & 0xff000000u) | (uint(r) << 16) | (uint(g) << 8) | uint(b);
        }
    }
    return image;
}

// Each channel depends only on its own value, so the formula runs 256 times, not per pixel.
QImage mapChannels(QImage image, const ChannelTable &table)
{
    return mapPixels(std::move(image), [&table](int &r, int &g, int &b) {
        r = table[r];
        g = table[g];
        b = table[b];
    });
}

template <typename Formula> ChannelTable makeTable(Formula &&formula)
{
    ChannelTable table {};
    for (int c = 0; c < 256; ++c)
        table[c] = uchar(formula(c));
    return table;
}

} // namespace

QImage applyAdjustments(QImage image, const AdjustRuleList &rules)
{
    QImage working = std::move(image);
    for (const AdjustRule &rule : rules) {
        qDebug().noquote() << "ruleList[i].ruleIndex: " + QString::number(rule.ruleIndex);
        const int value = rule.value();
        switch (rule.ruleIndex) {
        case AdjustRule::Grayscale:
            working = onProcessGrayscale(std::move(working));
            break;
        case AdjustRule::Sepia:
            working = onProcessSepia(std::move(working));
            break;
        case AdjustRule::Contrast:
            working = onProcessContrast(std::move(working), value);
            break;
        case AdjustRule::Brightness:
            working = onProcessBrightness(std::move(working), value);
            break;
        case AdjustRule::Gamma:
            working = onProcessGamma(std::move(working), value);
            break;
        case AdjustRule::InvertColors:
            working = onProcessInvertColors(std::move(working), value);
            break;
        case AdjustRule::GaussianBlur:
            working = onProcessGaussianBlur(std::move(working), value);
            break;
        default:
            break;
        }
    }
    return working;
}

QImage onProcessGrayscale(QImage image)
{
    qDebug() << "onProcessGrayscale";
    if (!image.hasAlphaChannel())
        return std::move(image).convertToFormat(QImage::Format_Grayscale8);
    // The grey of each colour as an opaque picture gets it, with the alpha channel put back.
    QImage argb = std::move(image).convertToFormat(QImage::Format_ARGB32);
    const QImage gray = argb.convertToFormat(QImage::Format_RGB32).convertToFormat(QImage::Format_Grayscale8);
    const int width = argb.width();
    for (int y = 0; y < argb.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(argb.scanLine(y));
        const uchar *levels = gray.constScanLine(y);
        for (int x = 0; x < width; ++x)
            line[x] = qRgba(levels[x], levels[x], levels[x], qAlpha(line[x]));
    }
    return argb;
}

QImage onProcessSepia(QImage image)
{
    return mapPixels(std::move(image), [](int &r, int &g, int &b) {
        const float red = float((r * 0.393 + g * 0.769) + b * 0.189);
        const float green = float((g * 0.686 + r * 0.349) + b * 0.168);
        const float blue = float((g * 0.534 + r * 0.272) + b * 0.131);
        r = clampChannel(red);
        g = clampChannel(green);
        b = clampChannel(blue);
    });
}

QImage onProcessContrast(QImage image, int contrast)
{
    // Channels are in range already, so clamping alone changes nothing.
    if (contrast == 0)
        return toRgb32(std::move(image));
    // 64-bit products: a value from a settings file may be far outside -255..255.
    const qint64 k = contrast;
    float denominator = float(66045 - 255 * k);
    if (denominator == 0.0f)
        denominator = float(65790 - 255 * k);
    const float factor = float((k + 255) * 259) / denominator;
    return mapChannels(std::move(image),
        makeTable([factor](int c) { return clampChannel(float(c - 128) * factor + 128.0f); }));
}

QImage onProcessBrightness(QImage image, int offset)
{
    const float v = float(offset);
    return mapChannels(std::move(image), makeTable([v](int c) { return clampChannel(float(c) + v); }));
}

QImage onProcessGamma(QImage image, int value)
{
    const qint64 g = qint64(value) + 101;
    qDebug().noquote() << "onProcessGamma: " + QString::number(g);
    if (float(g) <= 0.0f)
        return image;
    const float gamma = float(g) / 100.0f;
    const float exponent = 1.0f / gamma;
    return mapChannels(std::move(image), makeTable([exponent](int c) {
        const int entry = int(powf(float(c) / 255.0f, exponent) * 255.0f);
        return qBound(0, entry, 255);
    }));
}

QImage onProcessInvertColors(QImage image, int threshold)
{
    const float t = float(threshold);
    if (t == 0.0f)
        return toRgb32(std::move(image));
    return mapChannels(std::move(image), makeTable([t](int c) { return float(c) < t ? 255 - c : c; }));
}
