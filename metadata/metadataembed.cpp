// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "metadata/metadataembed.h"

#include "common/logging.h"
#include "metadata/exiv2session.h"
#include "metadata/metadatafit.h"
#include "metadata/tiffmetadatadevice.h"
#include "plugins/imageformats/common/metadatakeys.h"

#include <QCoreApplication>
#include <QDebug>
#include <QImageWriter>

#include <exiv2/exiv2.hpp>

namespace {

bool canWrite(const Exiv2::Image &image, Exiv2::MetadataId kind)
{
    return (image.checkMode(kind) & Exiv2::amWrite) != 0;
}

Exiv2::ExifData decodedExif(const QByteArray &block)
{
    Exiv2::ExifData exif;
    if (!block.isEmpty()
        && Exiv2::ExifParser::decode(
               exif, reinterpret_cast<const Exiv2::byte *>(block.constData()), uint32_t(block.size()))
            == Exiv2::invalidByteOrder)
        throw Exiv2::Error(Exiv2::kerErrorMessage, "EXIF cannot be parsed");
    return exif;
}

Exiv2::IptcData decodedIptc(const QByteArray &block)
{
    Exiv2::IptcData iptc;
    if (!block.isEmpty()
        && Exiv2::IptcParser::decode(
               iptc, reinterpret_cast<const Exiv2::byte *>(block.constData()), uint32_t(block.size()))
            != 0)
        throw Exiv2::Error(Exiv2::kerErrorMessage, "IPTC cannot be parsed");
    return iptc;
}

QString leftOutText(const QString &what)
{
    return QCoreApplication::translate("MetadataWriter", "metadata left out: %1").arg(what);
}

// Puts the metadata into the file; what a JPEG's segments could not hold is named in *leftOut.
void embed(QByteArray *file, const ImageMetadata &metadata, QStringList *leftOut)
{
    auto image = Exiv2::ImageFactory::open(
        reinterpret_cast<const Exiv2::byte *>(file->constData()), long(file->size()));
    if (!image.get())
        throw Exiv2::Error(Exiv2::kerErrorMessage, "unknown file type");
    // Reading first keeps what the encoder wrote, the colour profile among it.
    image->readMetadata();
    const bool jpeg = image->mimeType() == "image/jpeg";
    if (canWrite(*image, Exiv2::mdExif)) {
        Exiv2::ExifData exif = decodedExif(metadata.exif);
        QStringList tags;
        MetadataFit::fitExif(exif, &tags);
        if (!tags.isEmpty())
            leftOut->append(QCoreApplication::translate("MetadataWriter", "EXIF over 64 KB, left out: %1")
                                .arg(tags.join(QLatin1String(", "))));
        image->setExifData(exif);
    }
    const bool iptcBlock = canWrite(*image, Exiv2::mdIptc);
    if (iptcBlock)
        image->setIptcData(decodedIptc(metadata.iptc));
    MetadataFit::SplitXmp xmp { iptcBlock ? metadata.xmp : xmpWithIptc(metadata), {}, {} };
    if (jpeg && !xmp.standard.isEmpty())
        xmp = MetadataFit::splitXmp(xmp.standard);
    if (!xmp.standard.isEmpty() && canWrite(*image, Exiv2::mdXmp)) {
        image->setXmpPacket(xmp.standard.toStdString());
        image->writeXmpFromPacket(true);
    }
    if (!metadata.comment.isEmpty() && canWrite(*image, Exiv2::mdComment))
        image->setComment(metadata.comment.toStdString());
    image->writeMetadata();

    Exiv2::BasicIo &io = image->io();
    if (io.open() != 0)
        throw Exiv2::Error(Exiv2::kerErrorMessage, "cannot reopen the file");
    const long size = long(io.size());
    const Exiv2::DataBuf written = io.read(size);
    io.close();
    if (written.size_ != size)
        throw Exiv2::Error(Exiv2::kerErrorMessage, "short read");
    QByteArray result(reinterpret_cast<const char *>(written.pData_), qsizetype(written.size_));
    if (!xmp.extension.isEmpty() && !MetadataFit::insertExtendedXmp(&result, xmp))
        leftOut->append(leftOutText(QStringLiteral("Extended XMP")));
    *file = std::move(result);
}

bool exiv2Writes(const QByteArray &format)
{
    return format == "jpg" || format == "jpeg" || format == "png" || format == "webp";
}

bool pluginWrites(const QByteArray &format)
{
    return format == "avif" || format == "heic" || format == "heif" || format == "jxl";
}

} // namespace

bool embedMetadata(QByteArray *file, const ImageMetadata &metadata, QString *error, QStringList *leftOut)
{
    if (metadata.isEmpty())
        return true;
    ensureExiv2Ready();
    try {
        QByteArray result = *file;
        QStringList notes;
        embed(&result, metadata, &notes);
        *file = std::move(result);
        if (leftOut)
            *leftOut += notes;
        return true;
    } catch (const std::exception &failure) {
        if (error)
            *error = QString::fromLocal8Bit(failure.what());
    } catch (...) {
        if (error)
            *error = QStringLiteral("unknown error");
    }
    return false;
}

MetadataWriter::MetadataWriter(const ImageMetadata &metadata, const QByteArray &format)
    : m_metadata(metadata)
{
    if (metadata.isEmpty())
        return;
    m_buffered = exiv2Writes(format);
    m_tiff = format == "tif" || format == "tiff";
    m_throughWriter = pluginWrites(format);
    if (m_buffered)
        m_buffer.open(QIODevice::WriteOnly);
}

MetadataWriter::~MetadataWriter() = default;

QIODevice *MetadataWriter::device(QIODevice *file)
{
    if (m_tiff) {
        m_tiffDevice = std::make_unique<TiffMetadataDevice>(file, m_metadata);
        return m_tiffDevice.get();
    }
    return m_buffered ? &m_buffer : file;
}

void MetadataWriter::prepare(QImageWriter *writer) const
{
    if (!m_throughWriter)
        return;
    if (!m_metadata.exif.isEmpty())
        writer->setText(QLatin1String(MetadataKeys::Exif), QString::fromLatin1(m_metadata.exif.toBase64()));
    const QByteArray xmp = xmpWithIptc(m_metadata);
    if (!xmp.isEmpty())
        writer->setText(QLatin1String(MetadataKeys::Xmp), QString::fromLatin1(xmp.toBase64()));
}

bool MetadataWriter::finish(QIODevice *file, QString *error)
{
    if (m_tiffDevice)
        return m_tiffDevice->finish(error);
    if (!m_buffered)
        return true;
    m_buffer.close();
    QByteArray bytes;
    bytes.swap(m_buffer.buffer());
    QString why;
    if (!embedMetadata(&bytes, m_metadata, &why, &m_leftOut)) {
        qCDebug(lcMetadata).noquote() << "Metadata left out: " + why;
        m_leftOut.append(leftOutText(why));
    }
    for (const QString &note : std::as_const(m_leftOut))
        qCDebug(lcMetadata).noquote() << note;
    if (file->write(bytes) == bytes.size())
        return true;
    if (error)
        *error = file->errorString();
    return false;
}
