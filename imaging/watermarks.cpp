// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "imaging/watermarks.h"

#include "common/logging.h"
#include "imaging/imagelimits.h"
#include "imaging/qrcode.h"
#include "imaging/sourcecheck.h"

#include <QDebug>
#include <QFileInfo>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Glyph outlines much larger than this overflow the rasterizer's fixed-point coordinates and come
// out as garbage; it is ten times what the editor offers and larger than any image side shown whole.
constexpr int maxTextPointSize = 9999;

Qt::Alignment textAlignment(int position)
{
    switch (position) {
    case TopLeft:
        return Qt::AlignLeft | Qt::AlignTop;
    case TopCenter:
        return Qt::AlignHCenter | Qt::AlignTop;
    case TopRight:
        return Qt::AlignRight | Qt::AlignTop;
    case CenterLeft:
        return Qt::AlignLeft | Qt::AlignVCenter;
    case CenterCenter:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case CenterRight:
        return Qt::AlignRight | Qt::AlignVCenter;
    case BottomLeft:
        return Qt::AlignLeft | Qt::AlignBottom;
    case BottomCenter:
        return Qt::AlignHCenter | Qt::AlignBottom;
    default:
        return Qt::AlignRight | Qt::AlignBottom;
    }
}

// Single-precision scaling of a picture side, truncated toward zero and kept in the int range.
int scaledSide(int side, float factor)
{
    const float scaled = float(side) * factor;
    if (!(scaled > 0.0f))
        return 0;
    return scaled >= float(std::numeric_limits<int>::max()) ? std::numeric_limits<int>::max() : int(scaled);
}

// An offset such that offset + extent - 1, which QRect computes from left to right, stays in
// the int range at every step.
int clampOffset(qint64 offset, int extent)
{
    constexpr qint64 low = std::numeric_limits<int>::min();
    constexpr qint64 high = std::numeric_limits<int>::max();
    return int(std::clamp(offset, std::max(low, low - extent + 1), std::min(high, high - extent)));
}

// A length given in percent of the layer's width, for sizes relative to the image width: one
// setting then gives the same look on a large and a small source once both are scaled alike.
int percentOfWidth(const QImage &layer, int percent)
{
    return std::max(1, int(std::lround(double(layer.width()) * percent / 100.0)));
}

// The drawn size of the picture watermark: a percentage of its own size, or (relative) of the
// layer's width with the picture's proportions kept.
QSize pictureWatermarkSize(const QImage &layer, QSize picture, const ConversionOptions &options)
{
    if (!options.imageSizeRelative) {
        const float factor = float(options.imageSize / 100.0);
        return QSize(scaledSide(picture.width(), factor), scaledSide(picture.height(), factor));
    }
    const int width = percentOfWidth(layer, options.imageSize);
    const double height = std::round(double(picture.height()) * width / picture.width());
    return QSize(width,
        height >= double(std::numeric_limits<int>::max()) ? std::numeric_limits<int>::max() : int(height));
}

} // namespace

bool hasWatermarks(const ConversionOptions &options)
{
    return !options.textContent.isEmpty() || !options.imagePath.isEmpty() || !options.qrCodeText.isEmpty();
}

bool drawWatermarks(QImage &layer, const ConversionOptions &options)
{
    QPainter painter;
    if (!painter.begin(&layer))
        return true;
    drawTextWatermark(layer, painter, options);
    const bool ok
        = drawImageWatermark(layer, painter, options) && drawQrCodeWatermark(layer, painter, options);
    painter.end();
    return ok;
}

void drawTextWatermark(QImage &layer, QPainter &painter, const ConversionOptions &options)
{
    if (options.textContent.isEmpty())
        return;
    painter.setPen(QPen(options.textColor));
    QFont font = options.textFont;
    // Relative: the text is that percentage of the picture's width high, in pixels.
    if (options.textSizeRelative)
        font.setPixelSize(qMin(percentOfWidth(layer, options.textSize), maxTextPointSize));
    else
        font.setPointSize(qMin(options.textSize, maxTextPointSize));
    font.setWeight(QFont::Weight(700));
    painter.setFont(font);
    painter.setOpacity(options.textOpacity / 100.0f);
    // In floating point: a margin from a settings file must not overflow W - 2m.
    const double m = options.textMargin;
    const QRectF area(m, m, layer.width() - 2 * m, layer.height() - 2 * m);
    painter.drawText(area, int(textAlignment(options.textPosition)), options.textContent);
}

bool drawImageWatermark(QImage &layer, QPainter &painter, const ConversionOptions &options)
{
    if (!QFileInfo::exists(options.imagePath))
        return true;
    const QImage picture = SourceCheck::read(options.imagePath);
    if (picture.isNull())
        return true;
    const QSize size = pictureWatermarkSize(layer, picture.size(), options);
    const int width = size.width();
    const int height = size.height();
    if (width <= 0 || height <= 0)
        return true;
    if (!fitsAllocationLimit(width, height)) {
        qCDebug(lcImaging).noquote() << QStringLiteral(
            "drawImageWatermark: %1 x %2 exceeds the image allocation limit")
                                            .arg(width)
                                            .arg(height);
        return false;
    }
    const QImage scaled = picture.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QRect target = placeWatermarkRect(
        options.imagePosition, options.imageMargin, layer.width(), layer.height(), width, height);
    if (scaled.isNull() || target.isEmpty())
        return true;
    painter.setOpacity(options.imageOpacity / 100.0f);
    painter.drawImage(target, scaled);
    return true;
}

bool drawQrCodeWatermark(QImage &layer, QPainter &painter, const ConversionOptions &options)
{
    if (options.qrCodeText.isEmpty())
        return true;
    // Relative: a square of that percentage of the picture's width, at most the whole width.
    const int side = options.qrCodeSizeRelative ? percentOfWidth(layer, qMin(options.qrCodeSize, 100))
                                                : options.qrCodeSize;
    if (side > 0 && !fitsAllocationLimit(side, side)) {
        qCDebug(lcImaging).noquote()
            << QStringLiteral("drawQrCodeWatermark: %1 pixels exceed the image allocation limit").arg(side);
        return false;
    }
    // Null for a text too long for any symbol (logged there): only this watermark is skipped.
    const QImage code = createQrCodeImage(options.qrCodeText, side);
    if (code.isNull())
        return true;
    const QRect target = placeWatermarkRect(options.qrCodePosition, options.qrCodeMargin, layer.width(),
        layer.height(), code.width(), code.height());
    if (target.isEmpty())
        return true;
    painter.setOpacity(1.0);
    painter.drawImage(target, code);
    return true;
}

QRect placeWatermarkRect(int position, int margin, int W, int H, int w, int h)
{
    const qint64 m = margin;
    const qint64 left = m;
    const qint64 centerX = (qint64(W) - w) / 2;
    const qint64 right = qint64(W) - m - w;
    const qint64 top = m;
    const qint64 centerY = (qint64(H) - h) / 2;
    const qint64 bottom = qint64(H) - m - h;
    qint64 x = 0;
    qint64 y = 0;
    switch (position) {
    case TopLeft:
        x = left, y = top;
        break;
    case TopCenter:
        x = centerX, y = top;
        break;
    case TopRight:
        x = right, y = top;
        break;
    case CenterLeft:
        x = left, y = centerY;
        break;
    case CenterCenter:
        x = centerX, y = centerY;
        break;
    case CenterRight:
        x = right, y = centerY;
        break;
    case BottomLeft:
        x = left, y = bottom;
        break;
    case BottomCenter:
        x = centerX, y = bottom;
        break;
    case BottomRight:
        x = right, y = bottom;
        break;
    default:
        return QRect();
    }
    return QRect(clampOffset(x, w), clampOffset(y, h), w, h);
}
