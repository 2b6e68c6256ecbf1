#pragma once

#include "convert/conversionoptions.h"

#include <QImage>
#include <QSize>
#include <optional>

// The size the scaling step resizes a w x h image to, or nothing when scaleType is outside 0..2.
std::optional<QSize> computeScaledSize(const ConversionOptions &options, int w, int h);

// The transformation mode of the scaling step for one render.
Qt::TransformationMode scalingMode(const ConversionOptions &options, bool fastPreview, bool pdfActive);

// The scaling step: the image resized as the options say, or unchanged when scaling is off.
QImage applyScaling(const QImage &image, const ConversionOptions &options, bool fastPreview, bool pdfActive);
