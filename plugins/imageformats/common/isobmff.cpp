// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "plugins/imageformats/common/isobmff.h"

#include <QIODevice>
#include <QtEndian>

namespace IsoBmff {

namespace {

    // Real files list a handful of brands; a longer box is read only as far as this.
    constexpr int MaxHeadBytes = 256;

    // A header is at most 32 bytes: size, type, 64-bit size and a 'uuid' box's extended type.
    constexpr int MaxHeaderBytes = 32;
    // Files put a handful of boxes before their 'meta'; millions of empty ones are not walked.
    constexpr int MaxTopLevelBoxes = 4096;
    // libheif takes no more than 20,000 children in a box.
    constexpr int MaxChildren = 65536;

    // The box whose header starts `head`, placed at `at` in a block with `room` bytes left.
    bool parseHeader(const QByteArray &head, qint64 at, qint64 room, Box *box)
    {
        if (head.size() < 8 || room < 8)
            return false;
        quint64 size = qFromBigEndian<quint32>(head.constData());
        qint64 length = 8;
        if (size == 1) {
            if (head.size() < 16)
                return false;
            size = qFromBigEndian<quint64>(head.constData() + 8);
            length = 16;
        } else if (size == 0) {
            size = quint64(room);
        }
        box->type = head.mid(4, 4);
        if (box->type == "uuid")
            length += 16;
        if (size < quint64(length) || size > quint64(room))
            return false;
        box->content = at + length;
        box->end = at + qint64(size);
        return true;
    }

    const QList<QByteArray> &hevcBrands()
    {
        static const QList<QByteArray> list { "heic", "heix", "heim", "heis", "hevc", "hevx", "hevm",
            "hevs" };
        return list;
    }

} // namespace

QList<QByteArray> brands(const QByteArray &head)
{
    if (head.size() < 16 || head.mid(4, 4) != "ftyp")
        return {};
    const quint32 boxSize = qFromBigEndian<quint32>(head.constData());
    if (boxSize < 16 || boxSize % 4 != 0)
        return {};
    const int end = int(qMin<quint32>(boxSize, quint32(head.size())));
    QList<QByteArray> result { head.mid(8, 4) };
    for (int offset = 16; offset + 4 <= end; offset += 4)
        result.append(head.mid(offset, 4));
    return result;
}

QList<QByteArray> peekBrands(QIODevice *device)
{
    if (!device || !device->isReadable())
        return {};
    return brands(device->peek(MaxHeadBytes));
}

bool isAvif(const QList<QByteArray> &brands)
{
    return brands.contains("avif") || brands.contains("avis");
}

bool isHevc(const QList<QByteArray> &brands)
{
    for (const QByteArray &brand : hevcBrands()) {
        if (brands.contains(brand))
            return true;
    }
    return false;
}

bool isHeif(const QList<QByteArray> &brands)
{
    if (brands.isEmpty() || isAvif(brands))
        return false;
    return isHevc(brands) || brands.contains("mif1") || brands.contains("msf1");
}

bool children(const QByteArray &data, qint64 from, qint64 to, QList<Box> *boxes)
{
    to = qMin<qint64>(to, data.size());
    boxes->clear();
    for (qint64 at = from; at < to;) {
        Box box;
        if (boxes->size() == MaxChildren)
            return false;
        if (!parseHeader(data.mid(at, MaxHeaderBytes), at, to - at, &box))
            return false;
        boxes->append(box);
        at = box.end;
    }
    return true;
}

const Box *find(const QList<Box> &boxes, const char *type)
{
    for (const Box &box : boxes) {
        if (box.type == type)
            return &box;
    }
    return nullptr;
}

QByteArray readTopLevel(QIODevice *device, qint64 start, const char *type, qint64 maxBytes)
{
    const qint64 end = device->size();
    qint64 at = start;
    for (int count = 0; count < MaxTopLevelBoxes && at < end; ++count) {
        Box box;
        if (!device->seek(at) || !parseHeader(device->read(MaxHeaderBytes), at, end - at, &box))
            return {};
        if (box.type == type) {
            const qint64 length = box.end - box.content;
            if (length > maxBytes || !device->seek(box.content))
                return {};
            const QByteArray content = device->read(length);
            return content.size() == length ? content : QByteArray();
        }
        at = box.end;
    }
    return {};
}

quint64 Reader::take(int bytes)
{
    if (!m_ok || bytes < 0 || bytes > 8 || m_end - m_pos < bytes) {
        m_ok = false;
        return 0;
    }
    quint64 value = 0;
    for (int i = 0; i < bytes; ++i)
        value = (value << 8) | quint8(m_data.at(m_pos + i));
    m_pos += bytes;
    return value;
}

QByteArray Reader::fourCC()
{
    if (!m_ok || m_end - m_pos < 4) {
        m_ok = false;
        return {};
    }
    m_pos += 4;
    return m_data.mid(m_pos - 4, 4);
}

} // namespace IsoBmff
