// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "metadata/tiffmetadatadevice.h"

#include "common/logging.h"
#include "metadata/exiv2session.h"
#include "metadata/metadatafit.h"

#include <QBitArray>
#include <QDebug>
#include <QSysInfo>
#include <QtEndian>

#include <exiv2/exiv2.hpp>
#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <map>

namespace {

constexpr qint64 HeaderSize = 8;
constexpr int EntrySize = 12;
// Pixel data comes in bigger writes; headers, directories and short values in smaller ones.
constexpr qint64 SmallWrite = 4096;
constexpr quint16 XmpTag = 700;
constexpr quint16 IptcTag = 33723;
constexpr quint16 ByteType = 1;
constexpr quint16 LongType = 4;

// Tag to the twelve bytes of its entry; a map keeps a directory's entries in tag order.
using Entries = std::map<quint16, QByteArray>;

quint16 get16(const char *data, bool bigEndian)
{
    return bigEndian ? qFromBigEndian<quint16>(data) : qFromLittleEndian<quint16>(data);
}

quint32 get32(const char *data, bool bigEndian)
{
    return bigEndian ? qFromBigEndian<quint32>(data) : qFromLittleEndian<quint32>(data);
}

void put16(QByteArray &out, quint16 value, bool bigEndian)
{
    char bytes[2];
    bigEndian ? qToBigEndian(value, bytes) : qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void put32(QByteArray &out, quint32 value, bool bigEndian)
{
    char bytes[4];
    bigEndian ? qToBigEndian(value, bytes) : qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

// The byte order of a classic TIFF header; false for anything else, BigTIFF among it.
bool classicHeader(const QByteArray &header, bool *bigEndian)
{
    if (header.size() < HeaderSize)
        return false;
    if (header.startsWith(QByteArray("II*\0", 4)))
        *bigEndian = false;
    else if (header.startsWith(QByteArray("MM\0*", 4)))
        *bigEndian = true;
    else
        return false;
    return true;
}

// `directory` holds the entry count and the entries; the entries go into *entries.
void readEntries(const QByteArray &directory, bool bigEndian, Entries *entries)
{
    const int count = get16(directory.constData(), bigEndian);
    for (int i = 0; i < count; ++i) {
        const QByteArray entry = directory.mid(2 + i * EntrySize, EntrySize);
        (*entries)[get16(entry.constData(), bigEndian)] = entry;
    }
}

// Tags that say how this file stores its pixels, or their colour profile: the encoder's, never
// the source's. Below 1000 only the tags that describe the photo are taken: the rest of that range
// is pixel layout, which libtiff checks strictly, so one odd source tag would make the file
// unreadable.
bool isImageTag(quint16 tag)
{
    if (tag < 1000) {
        static const quint16 described[] = { 269, 270, 271, 272, 274, 285, 305, 306, 315, 316 };
        return std::find(std::begin(described), std::end(described), tag) == std::end(described);
    }
    static const quint16 tags[] = { 32995, 32996, 32997, 32998, 33421, 33422, 33423, 34675 };
    return std::find(std::begin(tags), std::end(tags), tag) != std::end(tags);
}

// The EXIF as exiv2 lays it out at the start of a TIFF file in the given byte order, without the
// tags that are the encoder's and without a thumbnail directory, which in a TIFF would be a second
// page; empty when nothing is left.
QByteArray exifForTiff(const QByteArray &block, bool bigEndian)
{
    Exiv2::ExifData exif;
    if (Exiv2::ExifParser::decode(
            exif, reinterpret_cast<const Exiv2::byte *>(block.constData()), uint32_t(block.size()))
        == Exiv2::invalidByteOrder)
        throw Exiv2::Error(Exiv2::kerErrorMessage, "EXIF cannot be parsed");
    for (auto it = exif.begin(); it != exif.end();) {
        if ((it->groupName() == "Image" && isImageTag(it->tag())) || it->groupName() == "Thumbnail")
            it = exif.erase(it);
        else
            ++it;
    }
    if (exif.empty())
        return {};
    return MetadataFit::encodeWholeExif(exif, bigEndian ? Exiv2::bigEndian : Exiv2::littleEndian);
}

QByteArray guardedExif(const QByteArray &block, bool bigEndian)
{
    if (block.isEmpty())
        return {};
    try {
        return exifForTiff(block, bigEndian);
    } catch (const std::exception &error) {
        qCDebug(lcMetadata).noquote() << "Metadata left out: EXIF " + QString::fromLocal8Bit(error.what());
    } catch (...) {
        qCDebug(lcMetadata).noquote() << "Metadata left out: EXIF unknown error";
    }
    return {};
}

// The first directory of an EXIF block made by exifForTiff(), whose offsets hold at the start of
// a file; false when it is not one.
bool exifEntries(const QByteArray &exif, bool bigEndian, Entries *entries)
{
    bool order = false;
    if (!classicHeader(exif, &order) || order != bigEndian)
        return false;
    const qint64 directory = get32(exif.constData() + 4, bigEndian);
    if (directory < HeaderSize || directory + 2 > exif.size())
        return false;
    const qint64 count = get16(exif.constData() + directory, bigEndian);
    if (directory + 2 + count * EntrySize > exif.size())
        return false;
    readEntries(exif.mid(directory, 2 + count * EntrySize), bigEndian, entries);
    return true;
}

bool failed(QString *why, const char *text)
{
    *why = QString::fromLatin1(text);
    return false;
}

// The file as it would be with a layout written: its head and tail over the encoder's bytes, read
// back from the file, for libtiff to judge before anything is changed.
struct LaidOutFile {
    QIODevice *file;
    qint64 fileEnd;
    const QByteArray &head;
    const QByteArray &tail;
    qint64 tailPosition;
    qint64 size;
    qint64 position = 0;
    QString error;

    static void overlay(const QByteArray &bytes, qint64 at, char *out, qint64 from, qint64 length)
    {
        const qint64 start = qMax(from, at);
        const qint64 end = qMin(from + length, at + bytes.size());
        if (start < end)
            std::memcpy(out + (start - from), bytes.constData() + (start - at), size_t(end - start));
    }

    static tmsize_t read(thandle_t handle, void *buffer, tmsize_t length)
    {
        auto *self = static_cast<LaidOutFile *>(handle);
        const qint64 count = qBound(qint64(0), self->size - self->position, qint64(length));
        char *out = static_cast<char *>(buffer);
        std::memset(out, 0, size_t(count));
        const qint64 fromFile = qMin(count, self->fileEnd - self->position);
        if (fromFile > 0 && (!self->file->seek(self->position) || self->file->read(out, fromFile) < 0))
            return -1;
        overlay(self->head, 0, out, self->position, count);
        overlay(self->tail, self->tailPosition, out, self->position, count);
        self->position += count;
        return tmsize_t(count);
    }
    static tmsize_t write(thandle_t, void *, tmsize_t) { return -1; }
    static toff_t seek(thandle_t handle, toff_t offset, int whence)
    {
        auto *self = static_cast<LaidOutFile *>(handle);
        const qint64 base = whence == SEEK_CUR ? self->position : whence == SEEK_END ? self->size : 0;
        self->position = base + qint64(offset);
        return toff_t(self->position);
    }
    static int close(thandle_t) { return 0; }
    static toff_t fileSize(thandle_t handle) { return toff_t(static_cast<LaidOutFile *>(handle)->size); }
    static int map(thandle_t, void **, toff_t *) { return 0; }
    static void unmap(thandle_t, void *, toff_t) { }
    static int onError(TIFF *, void *user, const char *module, const char *format, va_list arguments)
    {
        auto *self = static_cast<LaidOutFile *>(user);
        if (self->error.isEmpty()) {
            char text[512];
            std::vsnprintf(text, sizeof text, format, arguments);
            self->error = QString::fromLocal8Bit(module ? module : "") + QLatin1String(": ")
                + QString::fromLocal8Bit(text);
        }
        return 1;
    }
    static int onWarning(TIFF *, void *, const char *, const char *, va_list) { return 1; }
};

} // namespace

TiffMetadataDevice::TiffMetadataDevice(QIODevice *file, const ImageMetadata &metadata)
    : m_file(file)
    , m_metadata(metadata)
    , m_exifBigEndian(QSysInfo::ByteOrder == QSysInfo::BigEndian)
{
    ensureExiv2Ready();
    // Our encoders write in the machine's byte order (libtiff) or little-endian (Deflate).
    m_exif = guardedExif(metadata.exif, m_exifBigEndian);
    m_reserved = m_exif.isEmpty() ? 0 : (m_exif.size() + 1) & ~qint64(1);
    QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 TiffMetadataDevice::writeData(const char *data, qint64 length)
{
    const qint64 start = pos();
    const qint64 written = m_file->write(data, length);
    if (written != length) {
        setErrorString(m_file->errorString());
        return -1;
    }
    remember(start, data, length);
    m_end = qMax(m_end, start + length);
    return written;
}

void TiffMetadataDevice::remember(qint64 position, const char *data, qint64 length)
{
    const qint64 end = position + length;
    if (position < m_reserved && end > HeaderSize)
        m_reserveTaken = true;
    if (length <= SmallWrite) {
        m_pieces.append({ position, QByteArray(data, length) });
        m_piecesEnd = qMax(m_piecesEnd, end);
        return;
    }
    // What a big write covers is no longer what the small ones said.
    if (position < m_piecesEnd) {
        m_pieces.removeIf([&](const Piece &piece) {
            return piece.position < end && piece.position + piece.bytes.size() > position;
        });
    }
    if (position < HeaderSize) {
        m_pieces.append({ position, QByteArray(data, HeaderSize - position) });
        m_piecesEnd = qMax(m_piecesEnd, HeaderSize);
    }
}

// The bytes the encoder last wrote at [position, position + length), from its small writes;
// empty when they do not cover the range.
QByteArray TiffMetadataDevice::written(qint64 position, qint64 length) const
{
    QByteArray bytes(length, '\0');
    QBitArray covered { int(length) };
    for (const Piece &piece : m_pieces) {
        const qint64 from = qMax(position, piece.position);
        const qint64 to = qMin(position + length, piece.position + piece.bytes.size());
        if (from >= to)
            continue;
        std::copy_n(
            piece.bytes.constData() + (from - piece.position), to - from, bytes.data() + (from - position));
        covered.fill(true, int(from - position), int(to - position));
    }
    return covered.count(true) == length ? bytes : QByteArray();
}

bool TiffMetadataDevice::layOut(Layout *layout, QString *why) const
{
    bool bigEndian = false;
    const QByteArray header = written(0, HeaderSize);
    if (!classicHeader(header, &bigEndian))
        return failed(why, "not a classic TIFF");
    const qint64 first = get32(header.constData() + 4, bigEndian);
    const QByteArray countBytes = written(first, 2);
    if (countBytes.size() != 2)
        return failed(why, "first directory not found");
    const qint64 count = get16(countBytes.constData(), bigEndian);
    const QByteArray directory = written(first, 2 + count * EntrySize + 4);
    if (directory.isEmpty())
        return failed(why, "first directory not found");
    Entries entries;
    readEntries(directory, bigEndian, &entries);
    const quint32 next = get32(directory.constData() + 2 + count * EntrySize, bigEndian);

    QByteArray exif = m_exif;
    if (!exif.isEmpty() && bigEndian != m_exifBigEndian)
        exif = guardedExif(m_metadata.exif, bigEndian);
    if (!exif.isEmpty()) {
        if (m_reserveTaken || exif.size() > m_reserved)
            return failed(why, "no room for the EXIF");
        Entries exifTags;
        if (!exifEntries(exif, bigEndian, &exifTags))
            return failed(why, "EXIF cannot be laid out");
        // The metadata's own tags win, as exiv2 has it; the encoder's pixel tags are not among them.
        for (const auto &[tag, entry] : exifTags)
            entries[tag] = entry;
    }

    layout->tailPosition = (m_end + 1) & ~qint64(1);
    QByteArray &tail = layout->tail;
    const auto addEntry = [&](quint16 tag, quint16 type, quint32 valueCount, const QByteArray &value) {
        QByteArray entry;
        put16(entry, tag, bigEndian);
        put16(entry, type, bigEndian);
        put32(entry, valueCount, bigEndian);
        if (value.size() <= 4) {
            entry.append(value).append(4 - value.size(), '\0');
        } else {
            put32(entry, quint32(layout->tailPosition + tail.size()), bigEndian);
            tail.append(value);
            if (tail.size() % 2 != 0)
                tail.append('\0');
        }
        entries[tag] = entry;
    };
    if (!m_metadata.xmp.isEmpty())
        addEntry(XmpTag, ByteType, quint32(m_metadata.xmp.size()), m_metadata.xmp);
    if (!m_metadata.iptc.isEmpty()) {
        // IPTC goes as longs, as image editors write it; the last one padded.
        const QByteArray iptc = m_metadata.iptc + QByteArray((4 - m_metadata.iptc.size() % 4) % 4, '\0');
        addEntry(IptcTag, LongType, quint32(iptc.size() / 4), iptc);
    }

    const qint64 newFirst = layout->tailPosition + tail.size();
    if (entries.size() > 0xffff || newFirst + 2 + qint64(entries.size()) * EntrySize + 4 > 0xffffffffLL)
        return failed(why, "file too large for the metadata");
    put16(tail, quint16(entries.size()), bigEndian);
    for (const auto &[tag, entry] : entries)
        tail.append(entry);
    put32(tail, next, bigEndian);

    layout->head = exif.isEmpty() ? header : exif;
    char offset[4];
    bigEndian ? qToBigEndian(quint32(newFirst), offset) : qToLittleEndian(quint32(newFirst), offset);
    layout->head.replace(4, 4, offset, 4);
    return true;
}

// Whether libtiff reads the first directory of the file laid out. Only the directory and the
// values it points to are read, never the strips.
bool TiffMetadataDevice::readsBack(const Layout &layout, QString *why) const
{
    if (!m_file->isReadable())
        return failed(why, "the file cannot be read back");
    LaidOutFile laidOut { m_file, m_end, layout.head, layout.tail, layout.tailPosition,
        qMax(m_end, layout.tailPosition + layout.tail.size()), 0, QString() };
    TIFFOpenOptions *options = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(options, &LaidOutFile::onError, &laidOut);
    TIFFOpenOptionsSetWarningHandlerExtR(options, &LaidOutFile::onWarning, &laidOut);
    TIFF *tiff = TIFFClientOpenExt("metadata", "rm", &laidOut, &LaidOutFile::read, &LaidOutFile::write,
        &LaidOutFile::seek, &LaidOutFile::close, &LaidOutFile::fileSize, &LaidOutFile::map,
        &LaidOutFile::unmap, options);
    TIFFOpenOptionsFree(options);
    if (tiff) {
        TIFFClose(tiff);
        return true;
    }
    *why = QLatin1String("libtiff cannot read the new directory: ")
        + (laidOut.error.isEmpty() ? QLatin1String("unknown error") : laidOut.error);
    return false;
}

bool TiffMetadataDevice::writeAt(qint64 position, const QByteArray &bytes)
{
    return m_file->seek(position) && m_file->write(bytes) == bytes.size();
}

bool TiffMetadataDevice::finish(QString *error)
{
    Layout layout;
    QString why;
    if (!layOut(&layout, &why)) {
        qCDebug(lcMetadata).noquote() << "Metadata left out: " + why;
        return true;
    }
    // A directory libtiff refuses would make the whole picture unreadable: the file stays the
    // encoder's, without the metadata.
    if (!readsBack(layout, &why)) {
        qCWarning(lcMetadata).noquote() << "Metadata left out: " + why;
        return true;
    }
    // The header last: until it points to the new directory, the file is the encoder's.
    if (writeAt(layout.tailPosition, layout.tail) && writeAt(0, layout.head))
        return true;
    if (error)
        *error = m_file->errorString();
    return false;
}
