// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "convert/conversionoptions.h"

#include <QImage>
#include <QRect>

class QPainter;

// The nine anchors of a watermark, as stored in textPosition, imagePosition and qrCodePosition
// and listed in the position combo boxes.
enum WatermarkPosition {
    TopLeft = 0,
    TopCenter,
    TopRight,
    CenterLeft,
    CenterCenter,
    CenterRight,
    BottomLeft,
    BottomCenter,
    BottomRight
};

// True when at least one watermark (text, picture or QR code) is set.
bool hasWatermarks(const ConversionOptions &options);

// Paints the text, picture and QR code watermarks, in that order, onto the transparent layer.
// False when a watermark would need an image beyond the allocation limit: the render then fails
// rather than writing a picture without the watermark that was asked for.
bool drawWatermarks(QImage &layer, const ConversionOptions &options);

void drawTextWatermark(QImage &layer, QPainter &painter, const ConversionOptions &options);
bool drawImageWatermark(QImage &layer, QPainter &painter, const ConversionOptions &options);
bool drawQrCodeWatermark(QImage &layer, QPainter &painter, const ConversionOptions &options);

// Where a w x h watermark goes on a W x H layer at `position` with `margin`; its size is always
// w x h. An empty rectangle for a position outside 0..8.
QRect placeWatermarkRect(int position, int margin, int W, int H, int w, int h);
