// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QSize>

// The largest of 1, 2, 4 and 8 by which libjpeg may divide a JPEG of `stored` pixels in the DCT
// domain (QImageReader::setScaledSize) and still give at least `wanted` (as stored, not turned),
// whole pixels counted; 1 for a picture whose full decode exceeds the reader's allocation limit,
// which is decoded whole so that it fails as before.
int jpegReduction(QSize stored, QSize wanted);

// The same for a shorter side of at least `shorterSide`.
inline int jpegReduction(QSize stored, int shorterSide)
{
    return jpegReduction(stored, QSize(shorterSide, shorterSide));
}
