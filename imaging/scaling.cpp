// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "imaging/scaling.h"

#include "common/logging.h"
#include "imaging/failurereasons.h"
#include "imaging/imagelimits.h"
#include "imaging/pixelformat.h"

#include <QColorSpace>
#include <QCoreApplication>
#include <QDebug>
#include <QSemaphore>
#include <QThread>
#include <QThreadPool>
#include <algorithm>
#include <cmath>
#include <limits>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

int clampToInt(qint64 value)
{
    return int(std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// The fixed side is `fixed`; the other side keeps the source's proportions, rounded to the
// nearest pixel (halves up). Whole numbers throughout: a floating-point ratio truncated lost a
// pixel (4224 x 3168 at width 1920 gave 1439). Both factors are below 2^31, so the product fits.
int proportionalSide(int sourceFixed, int sourceOther, int fixed)
{
    if (fixed <= 0 || sourceFixed <= 0 || sourceOther <= 0)
        return 0;
    const qint64 product = qint64(sourceOther) * fixed;
    const qint64 quotient = product / sourceFixed;
    const qint64 remainder = product % sourceFixed;
    return clampToInt(quotient + (2 * remainder >= sourceFixed ? 1 : 0));
}

// Rows [first, last) of halveImage(): the mean of each 2 x 2 block, rounded down, per channel.
void halveRows(const QImage &image, QImage &half, int first, int last)
{
    const quint32 opaque = image.format() == QImage::Format_RGB32 ? 0xff000000u : 0u;
    const int width = half.width();
    for (int y = first; y < last; ++y) {
        const auto *top = reinterpret_cast<const quint32 *>(image.constScanLine(2 * y));
        const auto *bottom = reinterpret_cast<const quint32 *>(image.constScanLine(2 * y + 1));
        auto *out = reinterpret_cast<quint32 *>(half.scanLine(y));
        int x = 0;
#ifdef __SSE2__
        // Two output pixels a step: the channels of four source pixels widened to 16 bits, the
        // two rows added, then each pixel pair, then a quarter of the sum packed back.
        const __m128i zero = _mm_setzero_si128();
        const __m128i alpha = _mm_set1_epi32(int(opaque));
        for (; x + 2 <= width; x += 2) {
            const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i *>(top + 2 * x));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(bottom + 2 * x));
            const __m128i left = _mm_add_epi16(_mm_unpacklo_epi8(t, zero), _mm_unpacklo_epi8(b, zero));
            const __m128i right = _mm_add_epi16(_mm_unpackhi_epi8(t, zero), _mm_unpackhi_epi8(b, zero));
            const __m128i sums = _mm_unpacklo_epi64(
                _mm_add_epi16(left, _mm_srli_si128(left, 8)), _mm_add_epi16(right, _mm_srli_si128(right, 8)));
            const __m128i means = _mm_packus_epi16(_mm_srli_epi16(sums, 2), zero);
            _mm_storel_epi64(reinterpret_cast<__m128i *>(out + x), _mm_or_si128(means, alpha));
        }
#endif
        // Two channels per 32-bit word with 16 bits of room each, so four bytes add without carrying.
        constexpr quint32 evenBytes = 0x00ff00ff;
        for (; x < width; ++x) {
            const quint32 a = top[2 * x], b = top[2 * x + 1], c = bottom[2 * x], d = bottom[2 * x + 1];
            const quint32 even = (a & evenBytes) + (b & evenBytes) + (c & evenBytes) + (d & evenBytes);
            const quint32 odd = ((a >> 8) & evenBytes) + ((b >> 8) & evenBytes) + ((c >> 8) & evenBytes)
                + ((d >> 8) & evenBytes);
            out[x] = ((even >> 2) & evenBytes) | (((odd >> 2) & evenBytes) << 8) | opaque;
        }
    }
}

} // namespace

namespace {

// The absolute box with the picture's proportions kept: the side that meets the box first is fixed.
QSize fitWithin(int w, int h, int boxWidth, int boxHeight)
{
    if (qint64(w) * boxHeight >= qint64(h) * boxWidth)
        return QSize(boxWidth, proportionalSide(w, h, boxWidth));
    return QSize(proportionalSide(h, w, boxHeight), boxHeight);
}

// "Do not enlarge": a size that keeps the proportions grows no side, so it is either all reduction
// or the picture keeps its size; a stretched size is limited side by side.
QSize withoutEnlarging(QSize size, int w, int h, bool proportional)
{
    if (!proportional)
        return QSize(qMin(size.width(), w), qMin(size.height(), h));
    if (size.width() > w || size.height() > h)
        return QSize(w, h);
    return size;
}

std::optional<QSize> unlimitedScaledSize(const ConversionOptions &options, int w, int h)
{
    switch (options.scaleType) {
    case 0: {
        // In 64 bits: a percentage from a settings file must not overflow the product.
        const qint64 p = options.scalePercentage;
        return QSize(clampToInt(qint64(w) * p / 100), clampToInt(qint64(h) * p / 100));
    }
    case 1:
        if (options.scaleKeepAspect)
            return fitWithin(w, h, options.scaleAbsoluteWitdh, options.scaleAbsoluteHeight);
        return QSize(options.scaleAbsoluteWitdh, options.scaleAbsoluteHeight);
    case 2:
        if (options.scaleRelativeTo == 2 || options.scaleRelativeTo == 3) {
            // Long edge or short edge: whichever side that is gets the length.
            const bool widthIsIt = (w >= h) == (options.scaleRelativeTo == 2);
            const int edge = options.scaleRelativeEdge;
            return widthIsIt ? QSize(edge, proportionalSide(w, h, edge))
                             : QSize(proportionalSide(h, w, edge), edge);
        }
        if (options.scaleRelativeTo == 0) {
            const int width = options.scaleRelativeWidth;
            return QSize(width, proportionalSide(w, h, width));
        } else {
            const int height = options.scaleRelativeHeight;
            return QSize(proportionalSide(h, w, height), height);
        }
    default:
        return std::nullopt;
    }
}

} // namespace

std::optional<QSize> computeScaledSize(const ConversionOptions &options, int w, int h)
{
    const std::optional<QSize> size = unlimitedScaledSize(options, w, h);
    if (!size || !options.scaleNoEnlarge)
        return size;
    const bool stretched = options.scaleType == 1 && !options.scaleKeepAspect;
    return withoutEnlarging(*size, w, h, !stretched);
}

QString scalingProblem(const ConversionOptions &options)
{
    if (!options.scaleImage)
        return QString();
    const auto tr = [](const char *text) { return QCoreApplication::translate("Scaling", text); };
    switch (options.scaleType) {
    case 0:
        return options.scalePercentage < 1 ? tr("The percentage must be at least 1 %") : QString();
    case 1:
        if (options.scaleAbsoluteWitdh < 1)
            return tr("The width must be at least 1 pixel");
        return options.scaleAbsoluteHeight < 1 ? tr("The height must be at least 1 pixel") : QString();
    case 2:
        switch (options.scaleRelativeTo) {
        case 0:
            return options.scaleRelativeWidth < 1 ? tr("The width must be at least 1 pixel") : QString();
        case 1:
            return options.scaleRelativeHeight < 1 ? tr("The height must be at least 1 pixel") : QString();
        case 2:
            return options.scaleRelativeEdge < 1 ? tr("The long edge must be at least 1 pixel") : QString();
        case 3:
            return options.scaleRelativeEdge < 1 ? tr("The short edge must be at least 1 pixel") : QString();
        }
        break;
    }
    return QString();
}

Qt::TransformationMode scalingMode(const ConversionOptions &options, bool fastPreview, bool pdfPage)
{
    if (fastPreview)
        return Qt::FastTransformation;
    if (pdfPage && !options.pdfSmoothEdges)
        return Qt::FastTransformation;
    return Qt::SmoothTransformation;
}

QImage applyScaling(
    const QImage &input, const ConversionOptions &options, bool fastPreview, bool pdfPage, QString *reason)
{
    if (!options.scaleImage)
        return input;
    const std::optional<QSize> size = computeScaledSize(options, input.width(), input.height());
    if (!size || *size == input.size())
        return input;
    if (size->isEmpty())
        return QImage();
    // The user's own enlargement may go beyond the reader's limit for untrusted files, up to what
    // the machine's memory allows; the smooth scaler works in 32 bits per pixel.
    if (!fitsResultBudget(size->width(), size->height(), qMax(4, input.depth() / 8))) {
        qCDebug(lcImaging).noquote() << QStringLiteral("applyScaling: %1 x %2 exceeds the memory budget")
                                            .arg(size->width())
                                            .arg(size->height());
        if (reason)
            *reason = FailureReason::resultTooLarge(*size);
        return QImage();
    }
    const Qt::TransformationMode mode = scalingMode(options, fastPreview, pdfPage);
    const QImage image = mode == Qt::SmoothTransformation ? toPaintableFormat(input) : input;
    if (mode == Qt::SmoothTransformation && canHalveExactly(image, *size))
        return halveImage(image);
    QImage scaled = image.scaled(*size, Qt::IgnoreAspectRatio, mode);
    if (scaled.isNull() && reason)
        *reason = FailureReason::resultTooLarge(*size);
    return scaled;
}

bool canHalveExactly(const QImage &image, QSize size)
{
    const bool directFormat
        = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32_Premultiplied;
    return directFormat && size.width() > 0 && size.height() > 0 && image.width() == 2 * size.width()
        && image.height() == 2 * size.height();
}

QImage halveImage(const QImage &image)
{
    QImage half(image.width() / 2, image.height() / 2, image.format());
    if (half.isNull())
        return half;
    // The scaler keeps the metadata; the writers put resolution, text and colour space into the file.
    half.setDotsPerMeterX(image.dotsPerMeterX());
    half.setDotsPerMeterY(image.dotsPerMeterY());
    half.setDevicePixelRatio(image.devicePixelRatio());
    half.setColorSpace(image.colorSpace());
    const QStringList keys = image.textKeys();
    for (const QString &key : keys)
        half.setText(key, image.text(key));

    // Spread over the thread pool as the toolkit's scaler is, so that it is never the slower of
    // the two on a machine with more cores; a pool thread does it alone rather than wait on the pool.
    const int rows = half.height();
    QThreadPool *pool = QThreadPool::globalInstance();
    const qint64 enoughPixels = 1 << 16;
    const int segments = pool->contains(QThread::currentThread())
        ? 1
        : int(std::clamp<qint64>(
            qint64(half.width()) * rows / enoughPixels, 1, qMax(1, pool->maxThreadCount())));
    QSemaphore done;
    for (int i = 1; i < segments; ++i) {
        pool->start([&, i] {
            halveRows(image, half, rows * i / segments, rows * (i + 1) / segments);
            done.release();
        });
    }
    halveRows(image, half, 0, rows / segments);
    done.acquire(segments - 1);
    return half;
}
