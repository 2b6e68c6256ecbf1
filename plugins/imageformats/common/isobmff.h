#pragma once

#include <QByteArray>
#include <QList>

class QIODevice;

// The file-type box at the start of an ISO base media file (HEIF, AVIF): its major brand
// followed by its compatible brands.
namespace IsoBmff {

// Empty when `head` does not start with a well-formed 'ftyp' box.
QList<QByteArray> brands(const QByteArray &head);

// The brands of the file on `device`, read with peek() so that the device is not consumed.
QList<QByteArray> peekBrands(QIODevice *device);

bool isAvif(const QList<QByteArray> &brands);

// HEIF files that are not AVIF: AVIF files carry HEIF's structural brands ('mif1') as well,
// and they belong to the AVIF reader.
bool isHeif(const QList<QByteArray> &brands);

// Whether the HEIF brands name HEVC coding ("heic") rather than the generic container ("heif").
bool isHevc(const QList<QByteArray> &brands);

} // namespace IsoBmff
