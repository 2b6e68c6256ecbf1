#pragma once

#include <QByteArray>
#include <QString>

namespace Exiv2 {
class ExifData;
}

// What a camera RAW source adds to the metadata every source gives.
namespace RawMetadata {

// Whether the file's suffix names one of the camera RAW formats the program reads.
bool isRawSource(const QString &path);

// Drops from a RAW file's EXIF the directories and tags that describe the RAW's own storage: its
// sensor data and previews (sub-directories, further directories) and the DNG's tags for
// developing it. None of them is true of a converted picture.
void dropRawStructure(Exiv2::ExifData &exif);

// The XMP of a RAW source with the sidecar file beside it laid over it: "IMG_0001.CR2.xmp" (as
// darktable and digiKam write it) or else "IMG_0001.xmp" (as Lightroom does). Settings for
// developing the RAW (darktable's history, Camera Raw's settings) are left out: another program
// would apply them again to the converted picture. The embedded packet when there is no sidecar or
// it cannot be parsed (logged).
QByteArray withSidecar(const QString &path, const QByteArray &embeddedXmp);

} // namespace RawMetadata
