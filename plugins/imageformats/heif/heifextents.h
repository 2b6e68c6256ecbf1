// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

class QIODevice;

// The picture sizes a HEIF file states, read from its boxes before libheif sees the file.
// libheif 1.15 limits only each side, and applies that to every item it holds (grid tiles,
// overlays, thumbnails, alpha and depth pictures), most of which its API never shows; these are
// all of them, so that a file can be refused by its number of pixels before libheif sizes a
// buffer from any of them, and libheif's side limit raised to what the file was checked for.
namespace HeifExtents {

struct Extent {
    quint64 width = 0;
    quint64 height = 0;
    quint64 pixels() const { return width * height; }
};

struct Survey {
    // False when the boxes are malformed, a picture states no size (libheif would take it from
    // the coded data), or a grid's or overlay's canvas cannot be read.
    bool sound = false;
    // Every stated size: each 'ispe' property, each grid's and overlay's canvas.
    QList<Extent> extents;
    // The smallest size stated for the primary picture.
    Extent primary;
    // Pictures the file holds, grid tiles included: libheif reads the description of each before
    // anything is decoded, for seconds when they are thousands.
    int pictures = 0;
};

// More pictures than any camera writes: a 200-megapixel photo in 512-pixel tiles has 768.
inline constexpr int MaxPictures = 1024;

// Reads the file that starts at `start` on `device`: only its 'meta' box (within a bound) and
// the few bytes of each grid's and overlay's description. Leaves the position anywhere.
Survey survey(QIODevice *device, qint64 start);

// Why the file the survey describes is refused, in the program's words; empty when it is not. A
// primary picture (of `primaryPixels`) beyond the decoding budget passes here, so that its size is
// reported, and the allocation limit refuses it before anything is decoded; no other picture may
// be larger than both it and the budget, so that nothing libheif decodes along with a picture
// that fits is larger than the budget either. A file of more than MaxPictures pictures is refused.
QString refusal(const Survey &survey, quint64 primaryPixels);

// The first stated size of more than `maxPixels`, or null.
const Extent *firstBeyond(const Survey &survey, quint64 maxPixels);

quint64 longestSide(const Survey &survey);

} // namespace HeifExtents
