// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QImage>

class QIODevice;

// A baseline TIFF of the image with Deflate-compressed strips and the horizontal predictor: 8 bits
// per sample, RGB, or RGB with unassociated alpha when the image has an alpha channel. Qt's TIFF
// writer knows only no compression and LZW. Empty when the image is null or the result would not
// fit the format's 32-bit offsets. The strips start at `dataStart` (even, at least 8); the bytes
// between the header and them are zero.
QByteArray encodeDeflateTiff(const QImage &image, quint32 dataStart = 8);

// Writes encodeDeflateTiff() to `device` as libtiff does, so that a metadata writer can follow it:
// the header at 0, the strips from the device's end on, the directory in a write of its own.
bool writeDeflateTiff(const QImage &image, QIODevice *device);
