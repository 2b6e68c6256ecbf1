#include "imaging/watermarks.h"

bool hasWatermarks(const ConversionOptions &options)
{
    return !options.textContent.isEmpty() || !options.imagePath.isEmpty() || !options.qrCodeText.isEmpty();
}

void drawWatermarks(QImage &layer, const ConversionOptions &options)
{
    Q_UNUSED(layer);
    Q_UNUSED(options);
}
