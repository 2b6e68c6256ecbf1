#include "imaging/scaling.h"

#include "imaging/imagelimits.h"

#include <QDebug>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

int clampToInt(qint64 value)
{
    return int(std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// Truncation toward zero, limited to the int range (a cast of an out-of-range double is undefined).
int truncateToInt(double value)
{
    if (std::isnan(value))
        return 0;
    return int(std::clamp<double>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// The fixed side is `fixed`; the other side follows the source's proportions. Reducing divides by
// the ratio, enlarging multiplies by its inverse: the two can differ by one in the last place.
int proportionalSide(int sourceFixed, int sourceOther, int fixed)
{
    // A ratio against 0 is infinite either way, which truncates the other side to 0.
    if (fixed == 0 || sourceFixed == 0)
        return 0;
    if (sourceFixed > fixed) {
        const double ratio = double(sourceFixed) / fixed;
        return truncateToInt(sourceOther / ratio);
    }
    const double ratio = double(fixed) / sourceFixed;
    return truncateToInt(sourceOther * ratio);
}

} // namespace

std::optional<QSize> computeScaledSize(const ConversionOptions &options, int w, int h)
{
    switch (options.scaleType) {
    case 0: {
        // In 64 bits: a percentage from a settings file must not overflow the product.
        const qint64 p = options.scalePercentage;
        return QSize(clampToInt(qint64(w) * p / 100), clampToInt(qint64(h) * p / 100));
    }
    case 1:
        return QSize(options.scaleAbsoluteWitdh, options.scaleAbsoluteHeight);
    case 2:
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

Qt::TransformationMode scalingMode(const ConversionOptions &options, bool fastPreview, bool pdfActive)
{
    if (fastPreview)
        return Qt::FastTransformation;
    if (pdfActive && !options.pdfSmoothEdges)
        return Qt::FastTransformation;
    return Qt::SmoothTransformation;
}

QImage applyScaling(const QImage &image, const ConversionOptions &options, bool fastPreview, bool pdfActive)
{
    if (!options.scaleImage)
        return image;
    const std::optional<QSize> size = computeScaledSize(options, image.width(), image.height());
    if (!size || *size == image.size())
        return image;
    if (size->isEmpty())
        return QImage();
    // The smooth scaler works in 32 bits per pixel whatever the source format.
    if (!fitsAllocationLimit(size->width(), size->height(), qMax(4, image.depth() / 8))) {
        qDebug().noquote() << QStringLiteral("applyScaling: %1 x %2 exceeds the image allocation limit")
                                  .arg(size->width())
                                  .arg(size->height());
        return QImage();
    }
    return image.scaled(*size, Qt::IgnoreAspectRatio, scalingMode(options, fastPreview, pdfActive));
}
