// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "metadata/rawblocks.h"

#include <QFile>
#include <QtEndian>

QByteArray pngExifChunk(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.read(8) != QByteArray("\x89PNG\r\n\x1a\n", 8))
        return {};
    // Chunks: a big-endian length, the type, the data and a CRC. The one chunk is read; the
    // others, the pixel data among them, are skipped.
    for (;;) {
        const QByteArray head = file.read(8);
        if (head.size() != 8)
            return {};
        const quint32 length = qFromBigEndian<quint32>(head.constData());
        const QByteArray type = head.mid(4);
        if (type == "IEND" || length > quint32(file.size() - file.pos()))
            return {};
        if (type == "eXIf") {
            // Some writers put the JPEG segment's "Exif" header first.
            const QByteArray exif = file.read(qint64(length));
            return exif.startsWith(QByteArray("Exif\0\0", 6)) ? exif.mid(6) : exif;
        }
        if (!file.seek(file.pos() + qint64(length) + 4))
            return {};
    }
}

// The XMP packet of a GIF file: an application extension "XMP DataXMP" whose data runs up to the
// 258-byte "magic trailer" that makes GIF readers skip it (0x01, 0xFF, 0xFE, ... 0x00, 0x00). Read
// in bounded pieces, never the whole file at once; a packet is at most MaxPacket bytes.
QByteArray gifXmpPacket(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.peek(4) != "GIF8")
        return {};
    static const QByteArray header("\x21\xff\x0bXMP DataXMP", 14);
    static const QByteArray trailer("\x01\xff\xfe\xfd\xfc", 5);
    constexpr qint64 Piece = 1 << 20;
    constexpr qsizetype MaxPacket = 16 << 20;
    QByteArray window;
    qsizetype start = -1;
    while (!file.atEnd()) {
        const QByteArray piece = file.read(Piece);
        if (piece.isEmpty())
            return {};
        // What is kept of the last piece lets a marker span two pieces.
        const qsizetype from
            = qMax<qsizetype>(0, window.size() - (start < 0 ? header.size() : trailer.size()));
        window.append(piece);
        if (start < 0) {
            start = window.indexOf(header, from);
            if (start < 0) {
                window = window.right(header.size() - 1);
                continue;
            }
            window.remove(0, start + header.size());
            start = 0;
            const qsizetype end = window.indexOf(trailer);
            if (end >= 0)
                return window.left(end);
            continue;
        }
        const qsizetype end = window.indexOf(trailer, from);
        if (end >= 0)
            return window.left(end);
        if (window.size() > MaxPacket)
            return {};
    }
    return {};
}
