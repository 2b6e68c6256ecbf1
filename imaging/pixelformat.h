// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QColor>
#include <QImage>

// Whether QPainter can begin on images of this pixel format (it cannot on 8-bit indexed or 1-bit).
bool isPaintableFormat(QImage::Format format);

// The image in a 32-bit format the painter, the smooth scaler and the adjustments work in: a
// palette or 1-bit picture becomes RGB32, or ARGB32_Premultiplied when it has transparency.
// Any other format comes back as it is. Pure.
QImage toPaintableFormat(QImage image);

// The image drawn onto an opaque `background`, for targets that cannot hold transparency (JPG,
// the pages of a PDF); an image without an alpha channel comes back as it is. Pure.
QImage flattenOntoBackground(const QImage &image, const QColor &background = Qt::white);

// The same pixels, read-only and without the source's text keys: the writers would put them into
// the file (PNG text chunks, JPEG comments), outside what the metadata step decides. Shares
// `image`'s pixels, which must outlive the result.
QImage withoutTexts(const QImage &image);

// Draws `layer` (ARGB32, the size of `image`) over `image` in place, source over. Pixels the
// layer leaves fully transparent keep their exact values, hidden colour of transparent pixels
// included. The toolkit's painter mixes straight and premultiplied alpha on some formats with
// straight alpha (16-bit RGBA), so those are composited here, in straight alpha throughout.
void drawLayerOver(QImage &image, const QImage &layer);
