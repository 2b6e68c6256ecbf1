// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QStringList>

#include <exiv2/exif.hpp>

// exiv2 stores EXIF of at most 64 KB, and a JPEG each metadata block in one segment of that size.
// What does not fit is made to: EXIF loses its largest tags, named for the user, XMP moves its
// largest properties into Adobe's Extended XMP segments.
namespace MetadataFit {

// `exif` as a TIFF structure with every tag, also beyond 64 KB (for targets with room for it).
QByteArray encodeWholeExif(const Exiv2::ExifData &exif, Exiv2::ByteOrder order);

// Removes the largest tags until exiv2 stores `exif` whole in one JPEG segment; their keys go into
// *leftOut. (exiv2 would otherwise drop every tag over 4 KB without a word.)
void fitExif(Exiv2::ExifData &exif, QStringList *leftOut);

// An XMP packet too large for its segment, split into Extended XMP as Adobe lays it out for JPEG: the
// standard packet, naming the extension by its GUID, and the extension, a serialized XMP of the
// moved properties. The packet itself and no extension when it fits. Throws exiv2's errors.
struct SplitXmp {
    QByteArray standard;
    QByteArray extension;
    QByteArray guid; // 32 upper-case hexadecimal digits, the MD5 of the extension
};
SplitXmp splitXmp(const QByteArray &packet);

// `jpeg` with the extension's segments after its standard XMP segment; false (and `jpeg`
// untouched) when it has none.
bool insertExtendedXmp(QByteArray *jpeg, const SplitXmp &xmp);

} // namespace MetadataFit
