// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "imaging/adjustments.h"

#include "common/logging.h"
#include "imaging/gaussianblur.h"
#include "imaging/imagelimits.h"

#include <QDebug>

namespace {

// The editor offers radii up to this; they are always honoured.
constexpr int editorMaximumRadius = 50;

// The blur pads its source by 2.5 radii plus a pixel on every side before blurring, so a radius
// from a settings file (10^6) would ask for a canvas of terabytes. Larger radii are lowered until
// that canvas, of which the blur holds up to four 32-bit copies at once, fits the allocation
// limit; beyond that the picture is a uniform haze anyway.
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

} // namespace

QImage onProcessGaussianBlur(QImage image, int radius)
{
    if (radius <= 0 || image.isNull())
        return image;
    // The result is as large as the scaled picture the user asked for, so the result's budget holds.
    if (!fitsResultBudget(image.width(), image.height())) {
        qCDebug(lcImaging) << "onProcessGaussianBlur: result exceeds the memory budget" << image.size();
        return QImage();
    }
    return gaussianBlur(image, effectiveBlurRadius(image.size(), radius));
}
