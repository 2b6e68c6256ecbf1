// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/tiffdeflate.h"

#include <QColorSpace>
#include <QIODevice>
#include <QVarLengthArray>
#include <QtEndian>
#include <cstring>
#include <libdeflate.h>
#include <memory>

namespace {

enum Type : quint16 { Short = 3, Long = 4, Rational = 5, Undefined = 7 };

constexpr qint64 StripTarget = 64 * 1024; // uncompressed bytes per strip, as libtiff suggests
constexpr quint16 AdobeDeflate = 8;
constexpr quint16 HorizontalPredictor = 2;
constexpr quint16 UnassociatedAlpha = 2;

struct Entry {
    Entry(quint16 tag, Type type, const QList<quint32> &values, const QByteArray &bytes = {})
        : tag(tag)
        , type(type)
        , values(values)
        , bytes(bytes)
    {
    }

    quint16 tag;
    Type type;
    QList<quint32> values; // rationals as numerator, denominator pairs
    QByteArray bytes; // the value of an Undefined entry
};

int typeSize(Type type)
{
    return type == Undefined ? 1 : type == Short ? 2 : type == Long ? 4 : 8;
}

void put16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void put32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

int countOf(const Entry &entry)
{
    if (entry.type == Undefined)
        return int(entry.bytes.size());
    return entry.type == Rational ? entry.values.size() / 2 : entry.values.size();
}

void putValues(QByteArray &out, const Entry &entry)
{
    out.append(entry.bytes);
    for (const quint32 value : entry.values) {
        if (entry.type == Short)
            put16(out, quint16(value));
        else
            put32(out, value);
    }
}

struct CompressorDeleter {
    void operator()(libdeflate_compressor *compressor) const { libdeflate_free_compressor(compressor); }
};
using Compressor = std::unique_ptr<libdeflate_compressor, CompressorDeleter>;

// zlib's default level, as libtiff uses it.
constexpr int DeflateLevel = 6;

// How the picture's samples are stored: greyness, alpha and depth as the source has them.
struct SampleLayout {
    QImage image; // in a format whose rows give the samples below
    int samples = 3; // 1 (grey), 3 (RGB) or 4 (RGBA)
    int bits = 8;
    bool alpha = false;
};

SampleLayout layoutFor(const QImage &source)
{
    SampleLayout layout;
    layout.alpha = source.hasAlphaChannel();
    layout.bits = source.depth() == 64 || source.format() == QImage::Format_Grayscale16 ? 16 : 8;
    // Grey pictures stay grey. Grey with alpha is stored as RGBA, as Qt's writer does: Qt 6.4's
    // reader misreads two samples a pixel.
    const bool grey = !layout.alpha && source.isGrayscale();
    layout.samples = (grey ? 1 : 3) + (layout.alpha ? 1 : 0);
    QImage::Format format;
    if (grey)
        format = layout.bits == 16 ? QImage::Format_Grayscale16 : QImage::Format_Grayscale8;
    else if (layout.bits == 16)
        format = layout.alpha ? QImage::Format_RGBA64 : QImage::Format_RGBX64;
    else
        format = layout.alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888;
    layout.image = source.convertToFormat(format);
    return layout;
}

// One row's samples in the file's (little-endian) order, differenced against the left neighbour.
void predictedRow(const SampleLayout &layout, int y, uchar *target)
{
    const int width = layout.image.width();
    const uchar *line = layout.image.constScanLine(y);
    const int perPixel = layout.samples;
    if (layout.bits == 8) {
        memcpy(target, line, size_t(width) * size_t(perPixel));
        for (qsizetype i = qsizetype(width) * perPixel - 1; i >= perPixel; --i)
            target[i] = uchar(target[i] - target[i - perPixel]);
        return;
    }
    const auto *words = reinterpret_cast<const quint16 *>(line);
    // RGBX64 and RGBA64 hold four words a pixel; Grayscale16 one.
    const int stride = layout.image.format() == QImage::Format_Grayscale16 ? 1 : 4;
    QVarLengthArray<quint16, 4096> values(qsizetype(width) * perPixel);
    for (int x = 0; x < width; ++x) {
        quint16 *pixel = values.data() + qsizetype(x) * perPixel;
        const quint16 *from = words + qsizetype(x) * stride;
        for (int c = 0; c < perPixel; ++c)
            pixel[c] = from[c];
    }
    for (qsizetype i = values.size() - 1; i >= perPixel; --i)
        values[i] = quint16(values[i] - values[i - perPixel]);
    for (qsizetype i = 0; i < values.size(); ++i)
        qToLittleEndian(values[i], target + 2 * i);
}

// One strip: every row differenced against its left neighbour, per sample, then deflated.
QByteArray deflateStrip(libdeflate_compressor *compressor, const SampleLayout &layout, int firstRow, int rows)
{
    const qsizetype rowBytes = qsizetype(layout.image.width()) * layout.samples * layout.bits / 8;
    QByteArray raw(rowBytes * rows, Qt::Uninitialized);
    for (int r = 0; r < rows; ++r)
        predictedRow(layout, firstRow + r, reinterpret_cast<uchar *>(raw.data()) + r * rowBytes);
    QByteArray packed(
        qsizetype(libdeflate_zlib_compress_bound(compressor, size_t(raw.size()))), Qt::Uninitialized);
    const size_t size = libdeflate_zlib_compress(
        compressor, raw.constData(), size_t(raw.size()), packed.data(), size_t(packed.size()));
    if (size == 0)
        return {};
    packed.truncate(qsizetype(size));
    return packed;
}

quint32 dotsPerInch(int dotsPerMeter)
{
    return dotsPerMeter > 0 ? quint32(qRound(dotsPerMeter * 0.0254)) : 72;
}

} // namespace

QByteArray encodeDeflateTiff(const QImage &source, quint32 dataStart)
{
    if (source.isNull() || dataStart < 8 || dataStart % 2 != 0 || dataStart > 0xF0000000U)
        return {};
    const SampleLayout layout = layoutFor(source);
    const QImage &image = layout.image;
    if (image.isNull())
        return {};
    const bool alpha = layout.alpha;
    const int samples = layout.samples;
    const qint64 rowBytes = qint64(image.width()) * samples * layout.bits / 8;
    const int rowsPerStrip = int(qBound(qint64(1), StripTarget / rowBytes, qint64(image.height())));

    const Compressor compressor(libdeflate_alloc_compressor(DeflateLevel));
    if (!compressor)
        return {};
    QByteArray out("II*\0\0\0\0\0", 8);
    out.append(QByteArray(dataStart - 8, '\0'));
    QList<quint32> offsets, counts;
    for (int row = 0; row < image.height(); row += rowsPerStrip) {
        const QByteArray strip
            = deflateStrip(compressor.get(), layout, row, qMin(rowsPerStrip, image.height() - row));
        if (strip.isEmpty())
            return {};
        offsets.append(quint32(out.size()));
        counts.append(quint32(strip.size()));
        out.append(strip);
        if (out.size() & 1)
            out.append('\0');
        if (out.size() > 0xF0000000LL)
            return {};
    }

    QList<Entry> entries = {
        { 256, Long, { quint32(image.width()) } },
        { 257, Long, { quint32(image.height()) } },
        { 258, Short, QList<quint32>(samples, quint32(layout.bits)) },
        { 259, Short, { AdobeDeflate } },
        { 262, Short, { samples <= 2 ? 1U : 2U } }, // black is zero, or RGB
        { 273, Long, offsets },
        { 277, Short, { quint32(samples) } },
        { 278, Long, { quint32(rowsPerStrip) } },
        { 279, Long, counts },
        { 282, Rational, { dotsPerInch(image.dotsPerMeterX()), 1 } },
        { 283, Rational, { dotsPerInch(image.dotsPerMeterY()), 1 } },
        { 284, Short, { 1 } }, // samples interleaved
        { 296, Short, { 2 } }, // inch
        { 317, Short, { HorizontalPredictor } },
    };
    if (alpha)
        entries.append({ 338, Short, { UnassociatedAlpha } });
    // The colour profile, as Qt's writer stores it.
    const QByteArray profile = image.colorSpace().iccProfile();
    if (!profile.isEmpty())
        entries.append({ 34675, Undefined, {}, profile });

    // Values longer than four bytes go before the directory, which points at them.
    QList<quint32> valueOffsets;
    for (const Entry &entry : std::as_const(entries)) {
        const int count = countOf(entry);
        if (count * typeSize(entry.type) <= 4) {
            valueOffsets.append(0);
            continue;
        }
        valueOffsets.append(quint32(out.size()));
        putValues(out, entry);
        if (out.size() % 2 != 0)
            out.append('\0');
    }
    qToLittleEndian(quint32(out.size()), out.data() + 4);
    put16(out, quint16(entries.size()));
    for (int i = 0; i < entries.size(); ++i) {
        const Entry &entry = entries.at(i);
        const int count = countOf(entry);
        put16(out, entry.tag);
        put16(out, entry.type);
        put32(out, quint32(count));
        if (valueOffsets.at(i) != 0) {
            put32(out, valueOffsets.at(i));
            continue;
        }
        const qsizetype start = out.size();
        putValues(out, entry);
        out.append(QByteArray(4 - (out.size() - start), '\0'));
    }
    put32(out, 0);
    return out;
}

bool writeDeflateTiff(const QImage &image, QIODevice *device)
{
    const qint64 end = device->size();
    if (end > 0xF0000000LL)
        return false;
    const quint32 dataStart = quint32(qMax<qint64>(8, (end + 1) & ~qint64(1)));
    const QByteArray bytes = encodeDeflateTiff(image, dataStart);
    if (bytes.isEmpty())
        return false;
    const qsizetype directory = qsizetype(qFromLittleEndian<quint32>(bytes.constData() + 4));
    const auto writeAt = [device](qint64 position, QByteArrayView part) {
        return device->seek(position) && device->write(part.data(), part.size()) == part.size();
    };
    return writeAt(0, QByteArrayView(bytes).first(8))
        && writeAt(dataStart, QByteArrayView(bytes).sliced(dataStart, directory - dataStart))
        && writeAt(directory, QByteArrayView(bytes).sliced(directory));
}
