// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "imaging/pixelformat.h"

#include <QColorSpace>
#include <QHash>
#include <QMutex>
#include <QPainter>

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
