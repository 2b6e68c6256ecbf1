// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/pngencoder.h"

#include "convert/pngfilter.h"

#include <QColorSpace>
#include <QIODevice>
#include <QMap>
#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <libdeflate.h>
#include <memory>
#include <new>
#include <vector>

namespace {

enum ColourType : uint8_t { Grey = 0, Rgb = 2, Palette = 3, RgbAlpha = 6 };

// The stored form of a picture: what the header says and how a source row becomes PNG bytes.
struct Layout {
    ColourType colourType = Rgb;
    int bitDepth = 8;
    int channels = 3;
    // The format a row is converted to before packing; Format_Invalid packs the source's own.
    QImage::Format rowFormat = QImage::Format_Invalid;
    size_t rowBytes(int width) const { return (size_t(width) * channels * bitDepth + 7) / 8; }
    int filterDistance() const { return std::max(1, channels * bitDepth / 8); }
    bool filtered() const { return colourType != Palette && bitDepth >= 8; }
};

// Chooses as Qt's writer does: palette or grey for indexed pictures, grey for grey formats,
// 16 bits for the 64-bit formats, RGB with alpha when the format has an alpha channel.
Layout layoutFor(const QImage &image)
{
    Layout layout;
    switch (image.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        return { Palette, 1, 1,
            image.format() == QImage::Format_Mono ? QImage::Format_Invalid : QImage::Format_Mono };
    case QImage::Format_Indexed8:
        return { image.isGrayscale() ? Grey : Palette, 8, 1, QImage::Format_Invalid };
    case QImage::Format_Grayscale8:
        return { Grey, 8, 1, QImage::Format_Invalid };
    case QImage::Format_Grayscale16:
        return { Grey, 16, 1, QImage::Format_Invalid };
    case QImage::Format_RGBX64:
        return { Rgb, 16, 3, QImage::Format_Invalid };
    case QImage::Format_RGBA64:
        return { RgbAlpha, 16, 4, QImage::Format_Invalid };
    case QImage::Format_RGBA64_Premultiplied:
        return { RgbAlpha, 16, 4, QImage::Format_RGBA64 };
    case QImage::Format_RGB32:
    case QImage::Format_RGB888:
        return { Rgb, 8, 3, QImage::Format_Invalid };
    case QImage::Format_ARGB32:
        return { RgbAlpha, 8, 4, QImage::Format_Invalid };
    default:
        break;
    }
    if (image.hasAlphaChannel())
        return { RgbAlpha, 8, 4, QImage::Format_ARGB32 };
    return { Rgb, 8, 3, QImage::Format_RGB32 };
}

// One row in PNG's byte order (big-endian samples, RGB(A) order) from a row of `format`.
void packRow(const uchar *line, QImage::Format format, int width, uint8_t *out)
{
    switch (format) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32: {
        const auto *pixels = reinterpret_cast<const QRgb *>(line);
        const bool alpha = format == QImage::Format_ARGB32;
        for (int x = 0; x < width; ++x) {
            const QRgb p = pixels[x];
            *out++ = uint8_t(qRed(p));
            *out++ = uint8_t(qGreen(p));
            *out++ = uint8_t(qBlue(p));
            if (alpha)
                *out++ = uint8_t(qAlpha(p));
        }
        return;
    }
    case QImage::Format_Grayscale16:
    case QImage::Format_RGBX64:
    case QImage::Format_RGBA64: {
        const auto *samples = reinterpret_cast<const quint16 *>(line);
        const int perPixel = format == QImage::Format_Grayscale16 ? 1 : 4;
        const int kept = format == QImage::Format_RGBX64 ? 3 : perPixel;
        for (int x = 0; x < width; ++x, samples += perPixel) {
            for (int c = 0; c < kept; ++c, out += 2)
                qToBigEndian(samples[c], out);
        }
        return;
    }
    case QImage::Format_RGB888:
        std::memcpy(out, line, size_t(width) * 3);
        return;
    case QImage::Format_Mono:
        std::memcpy(out, line, (size_t(width) + 7) / 8);
        return;
    default: // Indexed8, Grayscale8
        std::memcpy(out, line, size_t(width));
        return;
    }
}

// The rows, packed and filtered, one after the other: the data the IDAT stream compresses.
bool filteredRows(const QImage &image, const Layout &layout, std::vector<uint8_t> &data)
{
    const int width = image.width();
    const size_t rowBytes = layout.rowBytes(width);
    data.resize((rowBytes + 1) * size_t(image.height()));
    std::vector<uint8_t> rows(rowBytes * 2, 0), scratch(rowBytes * 2);
    uint8_t *current = rows.data(), *previous = rows.data() + rowBytes;
    const QImage::Format packFormat
        = layout.rowFormat == QImage::Format_Invalid ? image.format() : layout.rowFormat;
    for (int y = 0; y < image.height(); ++y) {
        const uchar *line = image.constScanLine(y);
        QImage converted;
        if (layout.rowFormat != QImage::Format_Invalid) {
            // Row by row, as Qt's writer converts, so no second full-size copy is ever made.
            const QImage row(line, width, 1, image.bytesPerLine(), image.format());
            QImage withTable = row;
            if (!image.colorTable().isEmpty())
                withTable.setColorTable(image.colorTable());
            converted = withTable.convertToFormat(layout.rowFormat);
            if (converted.isNull())
                return false;
            line = converted.constScanLine(0);
        }
        packRow(line, packFormat, width, current);
        uint8_t *out = data.data() + size_t(y) * (rowBytes + 1);
        if (layout.filtered())
            filterRowAdaptive(current, previous, rowBytes, layout.filterDistance(), out, scratch.data());
        else
            filterRowNone(current, rowBytes, out);
        std::swap(current, previous);
    }
    return true;
}

struct CompressorDeleter {
    void operator()(libdeflate_compressor *c) const { libdeflate_free_compressor(c); }
};

// A zlib stream of `size` bytes at `level`; empty when memory ran out.
QByteArray zlibCompress(const void *input, size_t size, int level)
{
    std::unique_ptr<libdeflate_compressor, CompressorDeleter> compressor(libdeflate_alloc_compressor(level));
    if (!compressor)
        return {};
    const size_t bound = libdeflate_zlib_compress_bound(compressor.get(), size);
    QByteArray out;
    try {
        // Pages of the bound that the stream does not reach are never touched.
        out.resize(qsizetype(bound));
    } catch (const std::bad_alloc &) {
        return {};
    }
    const size_t written = libdeflate_zlib_compress(compressor.get(), input, size, out.data(), bound);
    out.truncate(qsizetype(written));
    return out;
}

// libpng's keyword rule: Latin-1 printable characters, runs of spaces and unprintable characters
// made one space, no space at either end, at most 79 characters.
QByteArray pngKeyword(const QByteArray &key)
{
    QByteArray out;
    bool space = true;
    for (const char c : key) {
        if (out.size() >= 79)
            break;
        const auto ch = uint8_t(c);
        if ((ch > 32 && ch <= 126) || ch >= 161) {
            out.append(c);
            space = false;
        } else if (!space) {
            out.append(' ');
            space = true;
        }
    }
    if (out.endsWith(' '))
        out.chop(1);
    return out;
}

class ChunkWriter {
public:
    explicit ChunkWriter(QIODevice *device)
        : _device(device)
    {
    }
    bool write(const char type[4], const QByteArray &body)
    {
        return write(type, body.constData(), size_t(body.size()));
    }
    bool write(const char type[4], const char *body, size_t size)
    {
        uchar head[8];
        qToBigEndian(quint32(size), head);
        std::memcpy(head + 4, type, 4);
        uint32_t crc = libdeflate_crc32(0, head + 4, 4);
        if (size > 0) // a null buffer would restart the checksum
            crc = libdeflate_crc32(crc, body, size);
        uchar tail[4];
        qToBigEndian(crc, tail);
        return put(reinterpret_cast<const char *>(head), 8) && put(body, qint64(size))
            && put(reinterpret_cast<const char *>(tail), 4);
    }
    bool put(const char *data, qint64 size) { return size == 0 || _device->write(data, size) == size; }

private:
    QIODevice *_device;
};

QByteArray be32(quint32 v)
{
    QByteArray out(4, Qt::Uninitialized);
    qToBigEndian(v, out.data());
    return out;
}

QByteArray headerChunk(const QImage &image, const Layout &layout)
{
    QByteArray body = be32(quint32(image.width())) + be32(quint32(image.height()));
    body.append(char(layout.bitDepth)).append(char(layout.colourType)).append(3, '\0');
    return body;
}

// The text chunks Qt writes for the image's text keys, in key order: tEXt for short Latin-1
// values, zTXt for long ones (40 characters or more), iTXt when a value needs more than Latin-1.
bool writeTextChunks(const QImage &image, ChunkWriter &chunks)
{
    QMap<QString, QString> texts;
    for (const QString &key : image.textKeys()) {
        if (!key.isEmpty())
            texts.insert(key, image.text(key));
    }
    for (auto it = texts.cbegin(); it != texts.cend(); ++it) {
        const QByteArray keyword = pngKeyword(QStringView(it.key()).left(79).toLatin1());
        if (keyword.isEmpty())
            continue;
        const bool compress = it.value().size() >= 40;
        bool needsUtf8 = false;
        for (const QChar c : it.value()) {
            const uchar ch = c.cell();
            needsUtf8 = needsUtf8 || c.row() || (ch < 0x20 && ch != '\n') || (ch > 0x7e && ch < 0xa0);
        }
        QByteArray body = keyword + '\0';
        bool ok;
        if (needsUtf8) {
            const QByteArray value = it.value().toUtf8();
            body += QByteArray(1, char(compress)) + '\0' + "UTF-8" + '\0' + it.key().toUtf8() + '\0';
            body += compress ? zlibCompress(value.constData(), size_t(value.size()), 6) : value;
            ok = chunks.write("iTXt", body);
        } else if (compress) {
            const QByteArray value = it.value().toLatin1();
            body += '\0' + zlibCompress(value.constData(), size_t(value.size()), 6);
            ok = chunks.write("zTXt", body);
        } else {
            ok = chunks.write("tEXt", body + it.value().toLatin1());
        }
        if (!ok)
            return false;
    }
    return true;
}

// Everything between the header and the pixel data, in libpng's order.
bool writeAncillaryChunks(const QImage &image, const Layout &layout, ChunkWriter &chunks)
{
    const QColorSpace colourSpace = image.colorSpace();
    const QByteArray profile = colourSpace.isValid() ? colourSpace.iccProfile() : QByteArray();
    if (!profile.isEmpty()) {
        QByteArray name = pngKeyword(colourSpace.description().toLatin1());
        if (name.isEmpty())
            name = QByteArrayLiteral("Custom");
        if (!chunks.write(
                "iCCP", name + '\0' + '\0' + zlibCompress(profile.constData(), size_t(profile.size()), 6)))
            return false;
    }
    if (layout.colourType == Palette) {
        const QList<QRgb> table = image.colorTable();
        QByteArray palette, alpha;
        int transparentCount = 0;
        for (qsizetype i = 0; i < std::min<qsizetype>(256, table.size()); ++i) {
            const QRgb c = table.at(i);
            palette.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
            alpha.append(char(qAlpha(c)));
            if (qAlpha(c) < 255)
                transparentCount = int(i) + 1;
        }
        if (!chunks.write("PLTE", palette))
            return false;
        if (transparentCount > 0 && !chunks.write("tRNS", alpha.left(transparentCount)))
            return false;
    }
    const QPoint offset = image.offset();
    if ((offset.x() || offset.y())
        && !chunks.write("oFFs", be32(quint32(offset.x())) + be32(quint32(offset.y())) + '\0'))
        return false;
    if ((image.dotsPerMeterX() > 0 || image.dotsPerMeterY() > 0)
        && !chunks.write(
            "pHYs", be32(quint32(image.dotsPerMeterX())) + be32(quint32(image.dotsPerMeterY())) + '\1'))
        return false;
    return writeTextChunks(image, chunks);
}

bool fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

} // namespace

int pngCompressionLevel(int quality)
{
    if (quality < 0)
        return 6;
    return (100 - std::min(quality, 100)) * 9 / 91;
}

bool writePng(const QImage &image, QIODevice *device, int quality, QString *error)
{
    if (image.isNull())
        return fail(error, QStringLiteral("Image is empty"));
    const Layout layout = layoutFor(image);
    if (layout.colourType == Palette && image.colorCount() == 0)
        return fail(error, QStringLiteral("Indexed image without colours"));

    QByteArray stream;
    {
        std::vector<uint8_t> rows;
        try {
            if (!filteredRows(image, layout, rows))
                return fail(error, QStringLiteral("Out of memory"));
        } catch (const std::bad_alloc &) {
            return fail(error, QStringLiteral("Out of memory"));
        }
        stream = zlibCompress(rows.data(), rows.size(), pngCompressionLevel(quality));
    }
    if (stream.isEmpty())
        return fail(error, QStringLiteral("Out of memory"));

    ChunkWriter chunks(device);
    // Large IDAT chunks: fewer chunk headers than libpng's 8 KiB ones, any reader takes them.
    constexpr qsizetype IdatChunk = 1 << 20;
    bool ok = chunks.put("\x89PNG\r\n\x1a\n", 8) && chunks.write("IHDR", headerChunk(image, layout))
        && writeAncillaryChunks(image, layout, chunks);
    for (qsizetype at = 0; ok && at < stream.size(); at += IdatChunk)
        ok = chunks.write("IDAT", stream.constData() + at, size_t(std::min(IdatChunk, stream.size() - at)));
    ok = ok && chunks.write("IEND", nullptr, 0);
    if (!ok)
        return fail(error, device->errorString());
    return true;
}
