// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>

// The picture blurred with a radius of `radius` pixels, in Format_ARGB32 at the same size. The
// picture is set on a transparent border 2.5 radii wide, halved, run through an exponential
// filter forward and back along every row and then every column, and drawn back at full size,
// so its edges fade out. A radius of 1 gives the picture unblurred (in ARGB32); 0 or less gives
// the picture itself. Null when the memory for the work cannot be had.
// A pure function: any thread, no application object needed.
QImage gaussianBlur(const QImage &image, int radius);
