// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "imaging/adjustments.h"

#include "common/logging.h"
#include "imaging/imagelimits.h"

#include <QApplication>
#include <QDebug>
#include <QGraphicsBlurEffect>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QMutex>
#include <QPainter>
#include <memory>

namespace {

// The editor offers radii up to this; they are always honoured.
constexpr int editorMaximumRadius = 50;

// The blur effect pads its source by 2.5 radii plus a pixel on every side before blurring, so a
// radius from a settings file (10^6) would ask for a canvas of terabytes. Larger radii are lowered
// until that canvas, of which the effect holds about four 32-bit copies at once, fits the
// allocation limit; beyond that the picture is a uniform haze anyway.
qint64 blurPadding(qint64 radius)
{
    return (radius * 5 + 1) / 2 + 2;
}

int effectiveBlurRadius(const QSize &size, int radius)
{
    const auto fits = [&size](qint64 r) {
        const qint64 pad = 2 * blurPadding(r);
        return fitsAllocationLimit(size.width() + pad, size.height() + pad, 4 * 4);
    };
    if (radius <= editorMaximumRadius || fits(radius))
        return radius;
    qint64 low = editorMaximumRadius;
    qint64 high = radius;
    while (low < high) {
        const qint64 middle = low + (high - low + 1) / 2;
        if (fits(middle))
            low = middle;
        else
            high = middle - 1;
    }
    qCDebug(lcImaging).noquote()
        << QStringLiteral("onProcessGaussianBlur: radius %1 lowered to %2").arg(radius).arg(low);
    return int(low);
}

// QGraphicsScene registers every scene in a process-wide list of QApplication without a lock, so
// scenes are made and destroyed one at a time when several workers blur at once.
QMutex &sceneMutex()
{
    static QMutex mutex;
    return mutex;
}

} // namespace

QImage onProcessGaussianBlur(QImage image, int radius)
{
    if (float(radius) <= 0.0f || image.isNull())
        return image;
    auto *effect = new QGraphicsBlurEffect;
    effect->setBlurRadius(effectiveBlurRadius(image.size(), radius));
    return applyEffectToImage(image, effect, 0);
}

QImage applyEffectToImage(const QImage &image, QGraphicsEffect *effect, int extent)
{
    std::unique_ptr<QGraphicsEffect> ownedEffect(effect);
    if (image.isNull())
        return QImage();
    if (!effect)
        return image;
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
        qCDebug(lcImaging) << "applyEffectToImage: the graphics scene needs a QApplication";
        return QImage();
    }
    const QSize canvasSize(int(qMin<qint64>(image.width() + 2 * qint64(extent), INT_MAX)),
        int(qMin<qint64>(image.height() + 2 * qint64(extent), INT_MAX)));
    // The canvas is as large as the scaled result the user asked for, so the result's budget holds.
    if (!fitsResultBudget(canvasSize.width(), canvasSize.height())) {
        qCDebug(lcImaging) << "applyEffectToImage: canvas exceeds the memory budget" << canvasSize;
        return QImage();
    }
    const QPixmap pixmap = QPixmap::fromImage(image);
    if (pixmap.isNull()) {
        qCDebug(lcImaging) << "applyEffectToImage: no pixmap for the image on this thread";
        return QImage();
    }
    QImage result(canvasSize, QImage::Format_ARGB32);
    if (result.isNull())
        return result;
    result.fill(Qt::transparent);

    QMutexLocker locker(&sceneMutex());
    {
        QGraphicsScene scene;
        auto *item = new QGraphicsPixmapItem(pixmap);
        item->setGraphicsEffect(ownedEffect.release());
        scene.addItem(item);
        QPainter painter(&result);
        scene.render(&painter, QRectF(result.rect()),
            QRectF(-extent, -extent, canvasSize.width(), canvasSize.height()), Qt::KeepAspectRatio);
    }
    return result;
}
