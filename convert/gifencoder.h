#pragma once

#include <QImage>
#include <QString>

// Writes a single-frame GIF89a through giflib. False, with *error set, when nothing was written.
bool writeGifFile(const QImage &image, const QString &targetPath, QString *error = nullptr);
