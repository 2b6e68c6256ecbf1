// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Feeds random EXIF, XMP and IPTC blocks through what a conversion does with a source's metadata:
// made true for the new file (orientation, sizes, thumbnail, location) and written into small
// JPEG, PNG and WEBP files by exiv2 and after a small TIFF's data as it is encoded, both as made
// and as they came; the TIFF must still read as its picture. The input is the EXIF block's length
// (2 bytes, big-endian), the block, the XMP packet's length, the packet, and the IPTC data sets as
// the rest.
#include "metadata/imagemetadata.h"
#include "metadata/metadataembed.h"
#include "metadata/tiffmetadatadevice.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QList>
#include <cstdint>
#include <cstdlib>

namespace {

QList<QByteArray> &smallFiles()
{
    static QList<QByteArray> files;
    return files;
}

QImage smallImage()
{
    QImage image(5, 3, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    return image;
}

void makeSmallFiles()
{
    const QImage image = smallImage();
    for (const char *format : { "jpg", "png", "webp" }) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, format);
        if (writer.write(image))
            smallFiles().append(buffer.data());
    }
}

QByteArray takeBlock(const uint8_t *&data, size_t &size)
{
    if (size < 2)
        return {};
    size_t length = (size_t(data[0]) << 8) | data[1];
    data += 2;
    size -= 2;
    length = qMin(length, size);
    const QByteArray block(reinterpret_cast<const char *>(data), qsizetype(length));
    data += length;
    size -= length;
    return block;
}

void writeTiff(const ImageMetadata &metadata)
{
    static const QImage image = smallImage();
    QBuffer file;
    file.open(QIODevice::ReadWrite);
    TiffMetadataDevice device(&file, metadata);
    QImageWriter writer(&device, "tiff");
    if (!writer.write(image) || !device.finish(nullptr))
        abort();
    if (QImage::fromData(file.data(), "tiff").size() != image.size())
        abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(*argc, *argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    makeSmallFiles();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ImageMetadata source;
    source.exif = takeBlock(data, size);
    source.xmp = takeBlock(data, size);
    source.iptc = QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
    const bool removeLocation = source.exif.size() % 2 == 1;
    const ImageMetadata made = metadataForOutput(source, QSize(5, 3), removeLocation);
    xmpWithIptc(source);
    // The blocks as made true for the new file, and as they came: both must be written or refused.
    const ImageMetadata *const kinds[] = { &made, &source };
    for (const ImageMetadata *metadata : kinds)
        writeTiff(*metadata);
    for (const QByteArray &file : std::as_const(smallFiles())) {
        for (const ImageMetadata *metadata : kinds) {
            QByteArray copy = file;
            embedMetadata(&copy, *metadata);
        }
    }
    return 0;
}
