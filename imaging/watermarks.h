#pragma once

#include "convert/conversionoptions.h"

#include <QImage>

// True when at least one watermark (text, picture or QR code) is set.
bool hasWatermarks(const ConversionOptions &options);

// Paints the text, picture and QR code watermarks onto the transparent layer.
void drawWatermarks(QImage &layer, const ConversionOptions &options);
