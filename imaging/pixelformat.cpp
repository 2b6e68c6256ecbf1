// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "imaging/pixelformat.h"

#include <QColorSpace>
#include <QHash>
#include <QMutex>
#include <QPainter>
#include <algorithm>

// Asked once per format with a one-pixel image, so the answer is the painter's own.
bool isPaintableFormat(QImage::Format format)
{
    static QMutex mutex;
    static QHash<int, bool> known;
    QMutexLocker locker(&mutex);
    const auto it = known.constFind(format);
    if (it != known.constEnd())
        return *it;
    QImage probe(1, 1, format);
    QPainter painter;
    const bool ok = painter.begin(&probe);
    if (ok)
        painter.end();
    known.insert(format, ok);
    return ok;
}

QImage toPaintableFormat(QImage image)
{
    // A 1-bit picture paints, but the toolkit scales it as a bitmap: a smooth reduction of a red
    // and white picture would come back black and white.
    if (image.isNull() || (image.depth() > 1 && isPaintableFormat(image.format())))
        return image;
    const QImage::Format format
        = image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    return std::move(image).convertToFormat(format);
}

QImage flattenOntoBackground(const QImage &image, const QColor &background)
{
    if (image.isNull() || !image.hasAlphaChannel())
        return image;
    QImage flat(image.size(), QImage::Format_RGB32);
    if (flat.isNull())
        return flat;
    flat.setDotsPerMeterX(image.dotsPerMeterX());
    flat.setDotsPerMeterY(image.dotsPerMeterY());
    flat.setColorSpace(image.colorSpace());
    const QStringList keys = image.textKeys();
    for (const QString &key : keys)
        flat.setText(key, image.text(key));
    flat.fill(QColor(background.red(), background.green(), background.blue()));
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    painter.end();
    return flat;
}

QImage withoutTexts(const QImage &image)
{
    if (image.isNull() || image.textKeys().isEmpty())
        return image;
    QImage bare(image.constBits(), image.width(), image.height(), image.bytesPerLine(), image.format());
    bare.setColorTable(image.colorTable());
    bare.setColorSpace(image.colorSpace());
    bare.setDotsPerMeterX(image.dotsPerMeterX());
    bare.setDotsPerMeterY(image.dotsPerMeterY());
    bare.setDevicePixelRatio(image.devicePixelRatio());
    bare.setOffset(image.offset());
    return bare;
}

namespace {

bool hasStraightAlpha(QImage::Format format)
{
    switch (format) {
    case QImage::Format_ARGB32:
    case QImage::Format_RGBA8888:
    case QImage::Format_RGBA64:
    case QImage::Format_RGBA16FPx4:
    case QImage::Format_RGBA32FPx4:
        return true;
    default:
        return false;
    }
}

// Source over in straight alpha, channels from 0 to 1; a pixel the layer covers partly keeps the
// share of its own colour the layer lets through.
QColor over(QRgb layer, const QColor &below)
{
    const float sa = qAlpha(layer) / 255.0f;
    const float da = below.alphaF();
    const float outAlpha = sa + da * (1.0f - sa);
    if (outAlpha <= 0.0f)
        return below;
    const float keep = da * (1.0f - sa);
    const auto channel = [&](int top, float under) {
        return std::clamp((top / 255.0f * sa + under * keep) / outAlpha, 0.0f, 1.0f);
    };
    QColor mixed;
    mixed.setRgbF(channel(qRed(layer), below.redF()), channel(qGreen(layer), below.greenF()),
        channel(qBlue(layer), below.blueF()), outAlpha);
    return mixed;
}

} // namespace

void drawLayerOver(QImage &image, const QImage &layer)
{
    if (!hasStraightAlpha(image.format())) {
        QPainter painter;
        if (!painter.begin(&image))
            return;
        painter.drawImage(layer.rect(), layer);
        painter.end();
        return;
    }
    const QImage straight = layer.convertToFormat(QImage::Format_ARGB32);
    const int width = qMin(image.width(), straight.width());
    const int height = qMin(image.height(), straight.height());
    for (int y = 0; y < height; ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(straight.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            if (qAlpha(row[x]) != 0)
                image.setPixelColor(x, y, over(row[x], image.pixelColor(x, y)));
        }
    }
}
