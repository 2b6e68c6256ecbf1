#pragma once

#include <QImage>
#include <QString>

// The finished image for a source file: loaded, watermarked, scaled and adjusted with one
// snapshot of the options. Null when the file cannot be loaded. Runs on worker threads.
QImage renderImage(const QString &path, bool fastPreview);

namespace ImageMagickUtil {
// Decodes the file into *image at full size, upright; false when it cannot be read.
bool loadImage(const QString &path, QImage *image);
}

// Whether the path names an existing regular file with a readable image extension.
bool isSupportedImageFile(const QString &path);

// Drops the one-entry load cache (tests, and callers that know a file changed).
void clearLoadCache();
