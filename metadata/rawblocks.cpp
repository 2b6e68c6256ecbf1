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
// 258-byte "magic trailer" that makes GIF readers skip it (0x01, 0xFF, 0xFE, ... 0x00, 0x00).
QByteArray gifXmpPacket(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.peek(4) != "GIF8")
        return {};
    const uchar *mapped = file.map(0, file.size());
    if (!mapped)
        return {};
    const QByteArrayView bytes(mapped, file.size());
    static const QByteArray header("\x21\xff\x0bXMP DataXMP", 14);
    static const QByteArray trailer("\x01\xff\xfe\xfd\xfc", 5);
    const qsizetype start = bytes.indexOf(header);
    if (start < 0)
        return {};
    const qsizetype end = bytes.indexOf(trailer, start + header.size());
    if (end < 0)
        return {};
    return bytes.sliced(start + header.size(), end - start - header.size()).toByteArray();
}
