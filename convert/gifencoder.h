// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>
#include <QString>

class QIODevice;

// Writes `image` as a single-frame, non-interlaced GIF89a through giflib. The palette is the
// colour table of Qt's 8-bit indexed conversion, padded with black to a power of two; there is
// no transparency, delay or loop count. The file is written to a temporary name in the target
// folder and renamed into place when complete, so a failure never leaves a partial file and
// never damages an existing one. On failure logs "Cannot write: ", sets *error and returns false;
// a null image writes nothing and fails.
bool writeGifFile(const QImage &image, const QString &targetPath, QString *error = nullptr);

// The encoder itself, onto an open device. On failure *error holds giflib's error text (and the
// device's, when a write was refused); what was written to the device so far is incomplete.
bool writeGif(const QImage &image, QIODevice *device, QString *error = nullptr);
