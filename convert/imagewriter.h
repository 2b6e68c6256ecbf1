#pragma once

#include "metadata/imagemetadata.h"

#include <QImage>
#include <QString>

// Writes one file target through QImageWriter (PNG through our own encoder), the format chosen
// from the target's suffix.
// `quality` is applied to "jpg" targets only; every other format gets its writer's default.
// The image goes to a temporary file in the target folder that replaces the target only once
// it is complete, so a failed write leaves no partial file and never damages an existing one.
// `metadata` goes into the temporary file before it replaces the target.
// On failure logs the "Cannot write: " diagnostics, sets *error (if given) and returns false.
bool writeImageFile(const QImage &image, const QString &targetPath, int quality, QString *error = nullptr,
    const ImageMetadata &metadata = ImageMetadata());
