// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>

class QIODevice;

// ISO base media files (HEIF, AVIF): the brands of the file-type box at their start, and the
// boxes they are made of, read with bounds so that no size a file states is trusted.
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

// A box inside a block of bytes: its type and where its content lies in that block.
struct Box {
    QByteArray type;
    qint64 content = 0;
    qint64 end = 0;
};

// The boxes that follow one another in data[from, to); false when a header is cut short, a box
// claims to reach beyond `to`, or there are more than any real file has (65,536).
bool children(const QByteArray &data, qint64 from, qint64 to, QList<Box> *boxes);

// The first child of `type` among `boxes`, or null.
const Box *find(const QList<Box> &boxes, const char *type);

// The content of the first top-level box of `type` in the file that starts at `start` on
// `device`: empty when there is none, when the boxes before it are malformed or too many, or
// when the content is longer than `maxBytes`. The device's position is not kept.
QByteArray readTopLevel(QIODevice *device, qint64 start, const char *type, qint64 maxBytes);

// Big-endian fields read in order from data[from, to). A read beyond `to` gives 0 and leaves
// the reader failed for good, so that a parse checks ok() once after a group of fields.
class Reader {
public:
    Reader(const QByteArray &data, qint64 from, qint64 to)
        : m_data(data)
        , m_pos(from)
        , m_end(qMin<qint64>(to, data.size()))
    {
    }

    // An unsigned field of 0 to 8 bytes (0 gives 0 and reads nothing).
    quint64 take(int bytes);
    QByteArray fourCC();
    qint64 position() const { return m_pos; }
    bool ok() const { return m_ok; }

private:
    const QByteArray &m_data;
    qint64 m_pos;
    qint64 m_end;
    bool m_ok = true;
};

} // namespace IsoBmff
