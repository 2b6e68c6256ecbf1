#pragma once

#include <QByteArray>

class QIODevice;

// Which of our camera RAW formats a file's first bytes say it is. Only peeks.
namespace RawDetect {

// The format name for a file of one of our formats' containers: a TIFF structure (DNG, CR2, NEF,
// NRW, ARW, SR2, PEF, SRW, 3FR), Olympus', Panasonic's, Fujifilm's, Canon's CR3 and Phase One's
// headers. Used when the file's name already says RAW. Empty for anything else, and for a header
// that would also lead LibRaw into one of the parsers of formats we do not read.
QByteArray byName(QIODevice *device);

// The same where nothing but the content speaks: a TIFF structure counts only when its first
// directory says DNG, its header says CR2, or its maker is a camera maker of our formats, so that
// an ordinary TIFF picture stays with the TIFF reader.
QByteArray byContent(QIODevice *device);

} // namespace RawDetect
