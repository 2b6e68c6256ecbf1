// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "metadata/metadatafit.h"

#include <QCryptographicHash>
#include <QSet>
#include <QtEndian>

#include <exiv2/exiv2.hpp>

#include <algorithm>
#include <map>

namespace {

// A segment's length field counts itself: 65,533 bytes remain for the signature and the data.
constexpr qsizetype SegmentRoom = 65533;
const QByteArray ExifSignature("Exif\0\0", 6);
const QByteArray XmpSignature("http://ns.adobe.com/xap/1.0/\0", 29);
const QByteArray ExtensionSignature("http://ns.adobe.com/xmp/extension/\0", 35);
// What Adobe's writers put in one extension segment (the room is 65,458).
constexpr qsizetype ExtensionChunk = 65400;

bool isPointer(const std::string &key)
{
    return key == "Exif.Image.ExifTag" || key == "Exif.Image.GPSTag"
        || key == "Exif.Photo.InteroperabilityTag";
}

// Whether `blob`, encoded from `exif`, holds every tag.
bool holdsAll(const Exiv2::Blob &blob, const Exiv2::ExifData &exif)
{
    Exiv2::ExifData stored;
    Exiv2::ExifParser::decode(stored, blob.data(), uint32_t(blob.size()));
    QSet<std::string> keys;
    for (const Exiv2::Exifdatum &datum : stored)
        keys.insert(datum.key());
    return std::all_of(exif.begin(), exif.end(),
        [&](const Exiv2::Exifdatum &datum) { return isPointer(datum.key()) || keys.contains(datum.key()); });
}

// Whether `exif` is stored with every tag in one segment.
bool storedWhole(const Exiv2::ExifData &exif)
{
    Exiv2::Blob blob;
    Exiv2::ExifParser::encode(blob, Exiv2::littleEndian, exif);
    return qsizetype(blob.size()) <= SegmentRoom - ExifSignature.size() && holdsAll(blob, exif);
}

QByteArray encodeXmp(const Exiv2::XmpData &xmp, uint32_t flags)
{
    std::string packet;
    if (Exiv2::XmpParser::encode(packet, xmp, Exiv2::XmpParser::useCompactFormat | flags) != 0)
        throw Exiv2::Error(Exiv2::kerErrorMessage, "XMP cannot be written");
    return QByteArray::fromStdString(packet);
}

// The top-level property a key belongs to: "Xmp.photoshop.DocumentAncestors" for its items.
std::string propertyOf(const std::string &key)
{
    const size_t third = key.find_first_of("[/", key.find('.', 4) + 1);
    return third == std::string::npos ? key : key.substr(0, third);
}

} // namespace

namespace MetadataFit {

QByteArray encodeWholeExif(const Exiv2::ExifData &exif, Exiv2::ByteOrder order)
{
    Exiv2::Blob blob;
    Exiv2::ExifParser::encode(blob, order, exif);
    if (!holdsAll(blob, exif)) {
        // exiv2's TIFF writer drops nothing.
        Exiv2::MemIo io;
        Exiv2::TiffParser::encode(io, nullptr, 0, order, exif, Exiv2::IptcData(), Exiv2::XmpData());
        if (io.open() != 0)
            throw Exiv2::Error(Exiv2::kerErrorMessage, "EXIF cannot be written");
        const Exiv2::DataBuf whole = io.read(long(io.size()));
        io.close();
        return QByteArray(reinterpret_cast<const char *>(whole.pData_), qsizetype(whole.size_));
    }
    return QByteArray(reinterpret_cast<const char *>(blob.data()), qsizetype(blob.size()));
}

void fitExif(Exiv2::ExifData &exif, QStringList *leftOut)
{
    while (!exif.empty() && !storedWhole(exif)) {
        const auto largest = std::max_element(exif.begin(), exif.end(),
            [](const Exiv2::Exifdatum &a, const Exiv2::Exifdatum &b) { return a.size() < b.size(); });
        if (leftOut)
            leftOut->append(QString::fromStdString(largest->key()));
        exif.erase(largest);
    }
}

SplitXmp splitXmp(const QByteArray &packet)
{
    const qsizetype room = SegmentRoom - XmpSignature.size();
    if (packet.size() <= room)
        return { packet, {}, {} };
    Exiv2::XmpData standard;
    if (Exiv2::XmpParser::decode(standard, packet.toStdString()) != 0)
        throw Exiv2::Error(Exiv2::kerErrorMessage, "XMP cannot be parsed");
    std::map<std::string, size_t> sizes;
    for (const Exiv2::Xmpdatum &datum : standard)
        sizes[propertyOf(datum.key())] += datum.key().size() + size_t(datum.size());
    std::vector<std::pair<std::string, size_t>> largestFirst(sizes.begin(), sizes.end());
    std::sort(largestFirst.begin(), largestFirst.end(),
        [](const auto &a, const auto &b) { return a.second > b.second; });

    // The largest properties move until the rest, with the GUID, fits; the GUID's length is known.
    Exiv2::XmpData extension;
    standard["Xmp.xmpNote.HasExtendedXMP"] = std::string(32, '0');
    for (const auto &[property, size] : largestFirst) {
        Q_UNUSED(size);
        if (encodeXmp(standard, 0).size() <= room)
            break;
        for (auto it = standard.begin(); it != standard.end();) {
            if (propertyOf(it->key()) == property) {
                extension.add(*it);
                it = standard.erase(it);
            } else {
                ++it;
            }
        }
    }
    SplitXmp split;
    split.extension = encodeXmp(extension, Exiv2::XmpParser::omitPacketWrapper);
    split.guid = QCryptographicHash::hash(split.extension, QCryptographicHash::Md5).toHex().toUpper();
    standard["Xmp.xmpNote.HasExtendedXMP"] = split.guid.toStdString();
    split.standard = encodeXmp(standard, 0);
    if (split.standard.size() > room)
        throw Exiv2::Error(Exiv2::kerErrorMessage, "XMP too large for JPEG");
    return split;
}

bool insertExtendedXmp(QByteArray *jpeg, const SplitXmp &xmp)
{
    // Markers from the start of the file up to the first without a length (the scan's start).
    qsizetype at = 2;
    while (at + 4 <= jpeg->size() && uchar(jpeg->at(at)) == 0xff) {
        const uchar marker = uchar(jpeg->at(at + 1));
        if (marker == 0xda || marker == 0xd9)
            return false;
        const qsizetype length = qFromBigEndian<quint16>(jpeg->constData() + at + 2);
        const qsizetype end = at + 2 + length;
        if (marker == 0xe1 && jpeg->mid(at + 4, XmpSignature.size()) == XmpSignature) {
            QByteArray segments;
            const quint32 total = quint32(xmp.extension.size());
            for (qsizetype offset = 0; offset < xmp.extension.size(); offset += ExtensionChunk) {
                const QByteArray chunk = xmp.extension.mid(offset, ExtensionChunk);
                uchar header[4 + 8];
                qToBigEndian<quint16>(0xffe1, header);
                qToBigEndian<quint16>(
                    quint16(2 + ExtensionSignature.size() + 32 + 8 + chunk.size()), header + 2);
                qToBigEndian<quint32>(total, header + 4);
                qToBigEndian<quint32>(quint32(offset), header + 8);
                segments += QByteArray(reinterpret_cast<const char *>(header), 4) + ExtensionSignature
                    + xmp.guid + QByteArray(reinterpret_cast<const char *>(header + 4), 8) + chunk;
            }
            jpeg->insert(end, segments);
            return true;
        }
        at = end;
    }
    return false;
}

} // namespace MetadataFit
