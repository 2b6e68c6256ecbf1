// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The QImageWriter text keys under which the program hands a file's metadata to our writers,
// base64-encoded so that the writer's whitespace folding leaves it intact: EXIF as a TIFF
// structure (byte-order mark first), XMP as its packet. Our writers store them and never write
// these texts as such.
namespace MetadataKeys {
inline constexpr char Exif[] = "PictomatExif";
inline constexpr char Xmp[] = "PictomatXmp";
// The reader text under which our readers say, in words for the user, why they refused a file of
// their format that they cannot show correctly.
inline constexpr char Refusal[] = "PictomatRefusal";
// The reader text that lists, as "WxH" separated by commas, the upright sizes of the smaller
// pictures a file holds (thumbnails, a low-resolution pass) that a scaled read starts from.
inline constexpr char ReducedSizes[] = "PictomatReducedSizes";
} // namespace MetadataKeys
