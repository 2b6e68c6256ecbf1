// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

// A photo's metadata as the blocks the file formats store: EXIF as a TIFF structure (byte-order
// mark first, no "Exif" header), XMP as its packet, IPTC as IIM data sets. The colour profile is
// not here: it travels with the pixels as the QImage's colour space. The comment is a JPEG's
// comment (or a PNG's Description) as UTF-8, written where the target format holds one.
struct ImageMetadata {
    QByteArray exif;
    QByteArray xmp;
    QByteArray iptc;
    QByteArray comment;

    bool isEmpty() const { return exif.isEmpty() && xmp.isEmpty() && iptc.isEmpty() && comment.isEmpty(); }
};

// The metadata of an image file; empty when it has none or it cannot be read (logged).
ImageMetadata readMetadata(const QString &path);

// The metadata made true for a new file of `outputSize` pixels: orientation normal (the pixels are
// upright), the pixel sizes of the new file, no EXIF thumbnail (it shows the picture before scaling,
// watermarks and adjustments) and, with `removeLocation`, no GPS tag nor location field (nor a
// comment line naming one, as ImageMagick writes "exif:GPSLatitude: 48/1, ..."). A block
// that cannot be parsed is left out (logged).
ImageMetadata metadataForOutput(const ImageMetadata &source, const QSize &outputSize, bool removeLocation);

// What a conversion writes into the target made from `sourcePath`: metadataForOutput() of the
// source's metadata when `keep`, else nothing.
ImageMetadata metadataForTarget(
    const QString &sourcePath, const QSize &outputSize, bool keep, bool removeLocation);

// The XMP packet with the IPTC data sets added as their XMP properties, for formats that hold no
// IPTC block; the packet itself when there is no IPTC or it cannot be parsed.
QByteArray xmpWithIptc(const ImageMetadata &metadata);
