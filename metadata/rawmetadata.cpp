#include "metadata/rawmetadata.h"

#include "common/logging.h"
#include "plugins/imageformats/common/codecformats.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>

#include <exiv2/exiv2.hpp>

namespace {

QString sidecarOf(const QString &path)
{
    const QFileInfo info(path);
    const QString beside = path + QStringLiteral(".xmp");
    if (QFileInfo(beside).isFile())
        return beside;
    for (const QString &suffix : { QStringLiteral(".xmp"), QStringLiteral(".XMP") }) {
        const QString named = info.absolutePath() + QLatin1Char('/') + info.completeBaseName() + suffix;
        if (QFileInfo(named).isFile())
            return named;
    }
    return {};
}

bool isDevelopSetting(const std::string &key)
{
    return key.rfind("Xmp.darktable.", 0) == 0 || key.rfind("Xmp.crs.", 0) == 0;
}

} // namespace

namespace RawMetadata {

bool isRawSource(const QString &path)
{
    return isRawFormat(QFileInfo(path).suffix().toLower().toLatin1());
}

void dropRawStructure(Exiv2::ExifData &exif)
{
    for (auto it = exif.begin(); it != exif.end();) {
        const std::string group = it->groupName();
        // DNG's own tags (DNGVersion to the last of them) sit in the first directory.
        const bool dngTag = group == "Image" && it->tag() >= 0xc612 && it->tag() <= 0xc7ff;
        const bool storage = group.rfind("SubImage", 0) == 0 || group.rfind("SubThumb", 0) == 0
            || group == "Thumbnail" || (group.rfind("Image", 0) == 0 && group != "Image");
        if (dngTag || storage)
            it = exif.erase(it);
        else
            ++it;
    }
}

QByteArray withSidecar(const QString &path, const QByteArray &embeddedXmp)
{
    const QString sidecar = sidecarOf(path);
    if (sidecar.isEmpty())
        return embeddedXmp;
    QFile file(sidecar);
    if (!file.open(QIODevice::ReadOnly))
        return embeddedXmp;
    const QByteArray packet = file.read(16 << 20);
    try {
        Exiv2::XmpData merged;
        if (!embeddedXmp.isEmpty() && Exiv2::XmpParser::decode(merged, embeddedXmp.toStdString()) != 0)
            merged.clear();
        Exiv2::XmpData side;
        if (Exiv2::XmpParser::decode(side, packet.toStdString()) != 0) {
            qCDebug(lcMetadata).noquote() << "Metadata left out: " + sidecar + " not XMP";
            return embeddedXmp;
        }
        for (const Exiv2::Xmpdatum &datum : side) {
            if (isDevelopSetting(datum.key()))
                continue;
            const auto old = merged.findKey(Exiv2::XmpKey(datum.key()));
            if (old != merged.end())
                merged.erase(old);
            merged.add(datum);
        }
        std::string out;
        if (merged.empty() || Exiv2::XmpParser::encode(out, merged, Exiv2::XmpParser::useCompactFormat) != 0)
            return embeddedXmp;
        return QByteArray::fromStdString(out);
    } catch (const std::exception &error) {
        qCDebug(lcMetadata).noquote()
            << "Metadata left out: " + sidecar + " " + QString::fromLocal8Bit(error.what());
    }
    return embeddedXmp;
}

} // namespace RawMetadata
