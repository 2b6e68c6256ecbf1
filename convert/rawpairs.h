#pragma once

#include <QStringList>

// A camera that writes RAW and JPEG writes both of one shot with one name in one folder
// (IMG_0001.CR2 and IMG_0001.JPG).
namespace RawPairs {

// The sources, in their order, without each JPEG whose shot's RAW is among them too: same folder,
// same name before the suffix (compared as the platform's file system does).
QStringList withoutPairedJpegs(const QStringList &sources);

} // namespace RawPairs
