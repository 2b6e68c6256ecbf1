// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "metadata/imagemetadata.h"

#include "common/logging.h"
#include "metadata/exiv2session.h"
#include "metadata/metadatafit.h"
#include "metadata/rawblocks.h"
#include "metadata/rawmetadata.h"
#include "plugins/imageformats/common/metadatakeys.h"

#include <QDebug>
#include <QFile>
#include <QImageReader>

#include <exiv2/exiv2.hpp>

#include <string>

namespace {

const Exiv2::byte *bytesOf(const QByteArray &block)
{
    return reinterpret_cast<const Exiv2::byte *>(block.constData());
}

QByteArray blockOf(const Exiv2::byte *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

void logLeftOut(const QString &what, const char *why)
{
    qCDebug(lcMetadata).noquote() << "Metadata left out: " + what + " " + QString::fromLocal8Bit(why);
}

QByteArray encodeExif(const Exiv2::ExifData &exif, Exiv2::ByteOrder order)
{
    if (exif.empty())
        return {};
    return MetadataFit::encodeWholeExif(exif, order == Exiv2::invalidByteOrder ? Exiv2::littleEndian : order);
}

QByteArray encodeIptc(const Exiv2::IptcData &iptc)
{
    if (iptc.empty())
        return {};
    const Exiv2::DataBuf buffer = Exiv2::IptcParser::encode(iptc);
    return blockOf(buffer.pData_, size_t(buffer.size_));
}

QByteArray encodeXmp(const Exiv2::XmpData &xmp)
{
    if (xmp.empty())
        return {};
    std::string packet;
    if (Exiv2::XmpParser::encode(packet, xmp, Exiv2::XmpParser::useCompactFormat) != 0)
        throw Exiv2::Error(Exiv2::kerErrorMessage, "XMP cannot be written");
    return QByteArray::fromStdString(packet);
}

// The location fields of XMP besides its GPS properties: the IPTC Core and Extension locations
// and Photoshop's city, state and country.
bool isXmpLocation(const std::string &key)
{
    static const char *const prefixes[] = { "Xmp.iptc.Location", "Xmp.iptc.CountryCode",
        "Xmp.iptcExt.LocationCreated", "Xmp.iptcExt.LocationShown", "Xmp.photoshop.City",
        "Xmp.photoshop.State", "Xmp.photoshop.Country" };
    for (const char *prefix : prefixes) {
        if (key.rfind(prefix, 0) == 0)
            return true;
    }
    // exif:GPS* and the drone and mapping makers' own properties (drone-dji:GpsLatitude,
    // drone-dji:AbsoluteAltitude, Pix4D's Camera:GPSXYAccuracy).
    const QByteArray property = QByteArray::fromStdString(key).toLower();
    for (const char *word : { "gps", "latitude", "longitude", "altitude" }) {
        if (property.contains(word))
            return true;
    }
    return false;
}

// GeoTIFF's tags, which place the picture on the map: ModelPixelScale, ModelTiePoint,
// ModelTransformation, GeoKeyDirectory, GeoDoubleParams, GeoAsciiParams, and Intergraph's matrix.
bool isGeoTiffTag(const Exiv2::Exifdatum &datum)
{
    static const uint16_t tags[] = { 0x830e, 0x8480, 0x8482, 0x85d8, 0x87af, 0x87b0, 0x87b1 };
    if (datum.groupName() != "Image")
        return false;
    for (const uint16_t tag : tags) {
        if (datum.tag() == tag)
            return true;
    }
    return false;
}

bool isIptcLocation(const std::string &key)
{
    static const char *const keys[] = { "Iptc.Application2.City", "Iptc.Application2.SubLocation",
        "Iptc.Application2.ProvinceState", "Iptc.Application2.CountryCode", "Iptc.Application2.CountryName",
        "Iptc.Application2.LocationCode", "Iptc.Application2.LocationName" };
    for (const char *name : keys) {
        if (key == name)
            return true;
    }
    return false;
}

template <typename Data, typename Predicate> void eraseWhere(Data &data, Predicate matches)
{
    for (auto it = data.begin(); it != data.end();) {
        if (matches(*it))
            it = data.erase(it);
        else
            ++it;
    }
}

// Tags of a TIFF source's first directory that describe how its own pixels are stored, or hold
// its profile, XMP and IPTC (which travel on their own ways): wrong for any other file.
bool isTiffStorageTag(const Exiv2::Exifdatum &datum)
{
    static const char *const names[] = { "NewSubfileType", "SubfileType", "ImageWidth", "ImageLength",
        "BitsPerSample", "Compression", "PhotometricInterpretation", "FillOrder", "StripOffsets",
        "SamplesPerPixel", "RowsPerStrip", "StripByteCounts", "PlanarConfiguration", "Predictor", "ColorMap",
        "TileWidth", "TileLength", "TileOffsets", "TileByteCounts", "SubIFDs", "ExtraSamples", "SampleFormat",
        "JPEGTables", "InterColorProfile", "XMLPacket", "IPTCNAA", "ImageResources" };
    if (datum.groupName() != "Image")
        return false;
    for (const char *name : names) {
        if (datum.tagName() == name)
            return true;
    }
    return false;
}

void setXmpIfPresent(Exiv2::XmpData &xmp, const char *key, int value)
{
    const auto it = xmp.findKey(Exiv2::XmpKey(key));
    if (it != xmp.end())
        it->setValue(std::to_string(value));
}

QByteArray trueExif(const QByteArray &block, const QSize &size, bool removeLocation)
{
    if (block.isEmpty())
        return {};
    Exiv2::ExifData exif;
    const Exiv2::ByteOrder order = Exiv2::ExifParser::decode(exif, bytesOf(block), uint32_t(block.size()));
    if (order == Exiv2::invalidByteOrder)
        throw Exiv2::Error(Exiv2::kerErrorMessage, "no TIFF header");
    Exiv2::ExifThumb(exif).erase();
    eraseWhere(exif, isTiffStorageTag);
    if (removeLocation) {
        eraseWhere(exif, [](const Exiv2::Exifdatum &datum) {
            return datum.groupName() == "GPSInfo" || datum.key() == "Exif.Image.GPSTag"
                || isGeoTiffTag(datum);
        });
    }
    // A source may state it twice (two eXIf chunks): the pixels are upright, whichever was applied.
    eraseWhere(exif, [](const Exiv2::Exifdatum &datum) { return datum.key() == "Exif.Image.Orientation"; });
    exif["Exif.Image.Orientation"] = uint16_t(1);
    exif["Exif.Photo.PixelXDimension"] = uint32_t(size.width());
    exif["Exif.Photo.PixelYDimension"] = uint32_t(size.height());
    return encodeExif(exif, order);
}

QByteArray trueXmp(const QByteArray &packet, const QSize &size, bool removeLocation)
{
    if (packet.isEmpty())
        return {};
    Exiv2::XmpData xmp;
    if (Exiv2::XmpParser::decode(xmp, packet.toStdString()) != 0)
        throw Exiv2::Error(Exiv2::kerErrorMessage, "XMP cannot be parsed");
    if (removeLocation)
        eraseWhere(xmp, [](const Exiv2::Xmpdatum &datum) { return isXmpLocation(datum.key()); });
    setXmpIfPresent(xmp, "Xmp.tiff.Orientation", 1);
    setXmpIfPresent(xmp, "Xmp.tiff.ImageWidth", size.width());
    setXmpIfPresent(xmp, "Xmp.tiff.ImageLength", size.height());
    setXmpIfPresent(xmp, "Xmp.exif.PixelXDimension", size.width());
    setXmpIfPresent(xmp, "Xmp.exif.PixelYDimension", size.height());
    return encodeXmp(xmp);
}

// A comment's lines without those of the form "key: value" whose key names a location.
QByteArray trueComment(const QByteArray &comment, bool removeLocation)
{
    if (!removeLocation || comment.isEmpty())
        return comment;
    static const char *const words[]
        = { "gps", "latitude", "longitude", "altitude", "city", "state", "country", "location", "province" };
    QList<QByteArray> kept;
    const QList<QByteArray> lines = comment.split('\n');
    for (const QByteArray &line : lines) {
        const qsizetype colon = line.indexOf(": ");
        const QByteArray key = colon > 0 ? line.left(colon).toLower() : QByteArray();
        bool location = false;
        for (const char *word : words)
            location = location || key.contains(word);
        if (!location)
            kept.append(line);
    }
    return kept.join('\n').trimmed();
}

QByteArray trueIptc(const QByteArray &block, bool removeLocation)
{
    if (block.isEmpty())
        return {};
    Exiv2::IptcData iptc;
    if (Exiv2::IptcParser::decode(iptc, bytesOf(block), uint32_t(block.size())) != 0)
        throw Exiv2::Error(Exiv2::kerErrorMessage, "IPTC cannot be parsed");
    if (removeLocation)
        eraseWhere(iptc, [](const Exiv2::Iptcdatum &datum) { return isIptcLocation(datum.key()); });
    return encodeIptc(iptc);
}

// Runs one block's step; a block that fails is left out, the others go on.
template <typename Step> QByteArray guarded(const QString &what, Step step)
{
    try {
        return step();
    } catch (const std::exception &error) {
        logLeftOut(what, error.what());
    } catch (...) {
        logLeftOut(what, "unknown error");
    }
    return {};
}

ImageMetadata readWithExiv2(const QString &path)
{
    ensureExiv2Ready();
    ImageMetadata metadata;
    try {
        auto image = Exiv2::ImageFactory::open(std::string(QFile::encodeName(path).constData()));
        if (!image.get())
            return metadata;
        image->readMetadata();
        if (RawMetadata::isRawSource(path))
            RawMetadata::dropRawStructure(image->exifData());
        metadata.exif = guarded(path, [&] { return encodeExif(image->exifData(), image->byteOrder()); });
        metadata.xmp = QByteArray::fromStdString(image->xmpPacket());
        metadata.iptc = guarded(path, [&] { return encodeIptc(image->iptcData()); });
        metadata.comment = QByteArray::fromStdString(image->comment());
    } catch (const std::exception &error) {
        logLeftOut(path, error.what());
        return {};
    } catch (...) {
        logLeftOut(path, "unknown error");
        return {};
    }
    return metadata;
}

// The EXIF and XMP our AVIF, HEIF and JPEG XL readers hand over as texts.
ImageMetadata readWithPlugin(const QString &path)
{
    QImageReader reader(path);
    const QByteArray format = reader.format();
    if (format != "avif" && format != "heic" && format != "heif" && format != "jxl")
        return {};
    ImageMetadata metadata;
    metadata.exif = QByteArray::fromBase64(reader.text(QLatin1String(MetadataKeys::Exif)).toLatin1());
    metadata.xmp = QByteArray::fromBase64(reader.text(QLatin1String(MetadataKeys::Xmp)).toLatin1());
    return metadata;
}

} // namespace

ImageMetadata readMetadata(const QString &path)
{
    ImageMetadata metadata = readWithExiv2(path);
    // exiv2 0.27 misreads some ISO-BMFF files (libheif's grids, AVIF colour profiles) and cannot
    // read JPEG XL's compressed boxes (cjxl's "brob"); our readers' libraries give their EXIF and XMP.
    const bool jxl = path.endsWith(QLatin1String(".jxl"), Qt::CaseInsensitive);
    if ((metadata.exif.isEmpty() && metadata.xmp.isEmpty())
        || (jxl && (metadata.exif.isEmpty() || metadata.xmp.isEmpty()))) {
        const ImageMetadata fromReader = readWithPlugin(path);
        if (metadata.exif.isEmpty())
            metadata.exif = fromReader.exif;
        if (metadata.xmp.isEmpty())
            metadata.xmp = fromReader.xmp;
    }
    // Blocks exiv2 0.27 does not read: a PNG's eXIf chunk, a GIF's XMP.
    if (metadata.exif.isEmpty())
        metadata.exif = pngExifChunk(path);
    if (metadata.xmp.isEmpty())
        metadata.xmp = gifXmpPacket(path);
    if (RawMetadata::isRawSource(path))
        metadata.xmp = RawMetadata::withSidecar(path, metadata.xmp);
    return metadata;
}

ImageMetadata metadataForOutput(const ImageMetadata &source, const QSize &outputSize, bool removeLocation)
{
    ensureExiv2Ready();
    ImageMetadata result;
    result.exif
        = guarded(QStringLiteral("EXIF"), [&] { return trueExif(source.exif, outputSize, removeLocation); });
    result.xmp
        = guarded(QStringLiteral("XMP"), [&] { return trueXmp(source.xmp, outputSize, removeLocation); });
    result.iptc = guarded(QStringLiteral("IPTC"), [&] { return trueIptc(source.iptc, removeLocation); });
    result.comment = trueComment(source.comment, removeLocation);
    return result;
}

ImageMetadata metadataForTarget(
    const QString &sourcePath, const QSize &outputSize, bool keep, bool removeLocation)
{
    if (!keep)
        return {};
    const ImageMetadata source = readMetadata(sourcePath);
    if (source.isEmpty())
        return {};
    return metadataForOutput(source, outputSize, removeLocation);
}

QByteArray xmpWithIptc(const ImageMetadata &metadata)
{
    if (metadata.iptc.isEmpty())
        return metadata.xmp;
    ensureExiv2Ready();
    const QByteArray merged = guarded(QStringLiteral("IPTC"), [&] {
        Exiv2::XmpData xmp;
        if (!metadata.xmp.isEmpty() && Exiv2::XmpParser::decode(xmp, metadata.xmp.toStdString()) != 0)
            throw Exiv2::Error(Exiv2::kerErrorMessage, "XMP cannot be parsed");
        Exiv2::IptcData iptc;
        if (Exiv2::IptcParser::decode(iptc, bytesOf(metadata.iptc), uint32_t(metadata.iptc.size())) != 0)
            throw Exiv2::Error(Exiv2::kerErrorMessage, "IPTC cannot be parsed");
        Exiv2::copyIptcToXmp(iptc, xmp);
        return encodeXmp(xmp);
    });
    return merged.isEmpty() ? metadata.xmp : merged;
}
