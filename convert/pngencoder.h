// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>
#include <QString>

class QIODevice;

// Writes `image` as a PNG onto an open device: the file Qt's own PNG writer makes (colour type,
// bit depth, palette and transparency, ICC profile, resolution, offset and text chunks, the
// zlib level it takes from the quality, libpng's default row filters), with the pixel data
// compressed by libdeflate in one call. `quality` is Qt's writer quality: -1 for its default
// level 6, else 0..100 mapped to levels 9..0. On failure sets *error and returns false; what
// was written to the device so far is incomplete.
bool writePng(const QImage &image, QIODevice *device, int quality = -1, QString *error = nullptr);

// The zlib level Qt's PNG writer uses for `quality` (-1: its default).
int pngCompressionLevel(int quality);
