// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "imaging/gaussianblur.h"

#include <QPainter>
#include <QtMath>
#include <array>
#include <climits>
#include <vector>

namespace {

// Fixed-point precisions of the filter: its coefficient in 0.12, its state in 8.10.
constexpr int CoefficientBits = 12;
constexpr int StateBits = 10;

// One step of the filter on one premultiplied ARGB pixel, in place.
inline void filterPixel(QRgb &pixel, std::array<int, 4> &state, int coefficient)
{
    QRgb out = 0;
    for (int c = 0; c < 4; ++c) {
        const int shift = 24 - 8 * c;
        const int value = int((pixel >> shift) & 0xff) << StateBits;
        state[c] += coefficient * (value - (state[c] >> CoefficientBits));
        out |= QRgb((state[c] >> (StateBits + CoefficientBits)) & 0xff) << shift;
    }
    pixel = out;
}

// Forward along the line, then back, the state carried over.
void filterLine(QRgb *line, int length, int coefficient)
{
    std::array<int, 4> state { 0, 0, 0, 0 };
    for (int i = 0; i < length; ++i)
        filterPixel(line[i], state, coefficient);
    for (int i = length - 2; i >= 0; --i)
        filterPixel(line[i], state, coefficient);
}

// Every row, then every column. Columns run from the bottom up and back, as the blur this one
// replaces ran them, so that the pixels stay the same; all columns advance together, a row at a
// time, which keeps the reads in the cache.
void filterRowsAndColumns(QImage &image, int coefficient)
{
    const int width = image.width();
    const int height = image.height();
    for (int y = 0; y < height; ++y)
        filterLine(reinterpret_cast<QRgb *>(image.scanLine(y)), width, coefficient);
    std::vector<std::array<int, 4>> states(size_t(width), std::array<int, 4> { 0, 0, 0, 0 });
    const auto filterRow = [&](int y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            filterPixel(row[x], states[size_t(x)], coefficient);
    };
    for (int y = height - 1; y >= 0; --y)
        filterRow(y);
    for (int y = 1; y < height; ++y)
        filterRow(y);
}

// Half the width and height, each pixel the mean of a 2 x 2 block (byte by byte, rounded down).
QImage halved(const QImage &image)
{
    const auto mean = [](quint32 a, quint32 b) { return (((a ^ b) & 0xfefefefeu) >> 1) + (a & b); };
    QImage half(image.width() / 2, image.height() / 2, image.format());
    if (half.isNull())
        return half;
    for (int y = 0; y < half.height(); ++y) {
        const auto *top = reinterpret_cast<const quint32 *>(image.constScanLine(2 * y));
        const auto *bottom = reinterpret_cast<const quint32 *>(image.constScanLine(2 * y + 1));
        auto *out = reinterpret_cast<quint32 *>(half.scanLine(y));
        for (int x = 0; x < half.width(); ++x)
            out[x] = mean(mean(top[2 * x], top[2 * x + 1]), mean(bottom[2 * x], bottom[2 * x + 1]));
    }
    return half;
}

} // namespace

QImage gaussianBlur(const QImage &image, int radius)
{
    if (image.isNull() || radius <= 0)
        return image;
    const qint64 padding = (5 * qint64(radius) + 3) / 2; // 2.5 radii and a pixel, rounded up
    // Sides beyond what a 32-bit picture can hold have no memory to be had either.
    if (image.width() + 2 * padding > INT_MAX / 4 || image.height() + 2 * padding > INT_MAX / 4)
        return QImage();
    const int border = int(padding);
    QImage canvas(
        image.width() + 2 * border, image.height() + 2 * border, QImage::Format_ARGB32_Premultiplied);
    QImage result(image.size(), QImage::Format_ARGB32);
    if (canvas.isNull() || result.isNull())
        return QImage();
    canvas.fill(Qt::transparent);
    result.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        painter.drawImage(border, border, image);
    }
    QPainter painter(&result);
    painter.translate(-border, -border);
    if (radius == 1) {
        painter.drawImage(0, 0, canvas);
        return result;
    }
    canvas = halved(canvas);
    if (canvas.isNull())
        return QImage();
    // At half size, half the radius; pixels that far from a saturated one keep at most 2 of 255.
    const qreal halfRadius = 1.25 * radius;
    const int coefficient = qRound((1 << CoefficientBits) * (1 - qPow(2 / qreal(255), 1 / halfRadius)));
    filterRowsAndColumns(canvas, coefficient);
    painter.scale(2, 2);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint(0, 0), canvas.size()), canvas);
    return result;
}
