#include "imaging/scaling.h"

std::optional<QSize> computeScaledSize(const ConversionOptions &options, int w, int h)
{
    Q_UNUSED(options);
    return QSize(w, h);
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
    return image.scaled(*size, Qt::IgnoreAspectRatio, scalingMode(options, fastPreview, pdfActive));
}
