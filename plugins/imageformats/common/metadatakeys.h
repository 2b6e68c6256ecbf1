#pragma once

// The QImageWriter text keys under which the program hands a file's metadata to our writers,
// base64-encoded so that the writer's whitespace folding leaves it intact: EXIF as a TIFF
// structure (byte-order mark first), XMP as its packet. Our writers store them and never write
// these texts as such.
namespace MetadataKeys {
inline constexpr char Exif[] = "PictomatExif";
inline constexpr char Xmp[] = "PictomatXmp";
} // namespace MetadataKeys
