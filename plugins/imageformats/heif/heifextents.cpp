// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "plugins/imageformats/heif/heifextents.h"

#include "plugins/imageformats/common/decodelimits.h"
#include "plugins/imageformats/common/isobmff.h"

#include <QCoreApplication>
#include <QHash>
#include <QIODevice>
#include <optional>

namespace HeifExtents {

namespace {

    using IsoBmff::Box;
    using IsoBmff::Reader;

    // Real 'meta' boxes take a few kilobytes, some tens for a grid of hundreds of tiles.
    constexpr qint64 MaxMetaBytes = 64 << 20;
    // Real pictures have a handful of properties; every size among them is checked all the same.
    constexpr int MaxAssociations = 1024;
    // A grid's or overlay's description up to its canvas: version, flags, a grid's rows and
    // columns or an overlay's four fill values, then width and height of up to 32 bits each.
    constexpr int CanvasBytes = 18;

    // The item types libheif 1.15 decodes as pictures.
    bool isPicture(const QByteArray &type)
    {
        static const QList<QByteArray> types { "hvc1", "av01", "grid", "iovl", "iden", "jpeg" };
        return types.contains(type);
    }

    bool hasCanvas(const QByteArray &type)
    {
        return type == "grid" || type == "iovl";
    }

    struct Location {
        quint64 method = 0;
        quint64 base = 0;
        QList<QPair<quint64, quint64>> extents; // offset, length (0: to the end)
    };

    struct Meta {
        QByteArray data;
        QList<Box> boxes;
        quint32 primary = 0;
        QHash<quint32, QByteArray> types;
        QList<std::optional<Extent>> properties;
        QHash<quint32, QList<int>> associations;
        QHash<quint32, Location> locations;
    };

    // Version and flags of a full box.
    quint64 versionAndFlags(Reader &reader, quint64 *flags)
    {
        const quint64 word = reader.take(4);
        *flags = word & 0xffffff;
        return word >> 24;
    }

    // The full box `type` among the meta box's own, read up to its content after its version and
    // flags; none when the file has no such box.
    std::optional<Reader> openFullBox(const Meta &meta, const char *type, quint64 *version, quint64 *flags)
    {
        const Box *box = IsoBmff::find(meta.boxes, type);
        if (!box)
            return std::nullopt;
        Reader reader(meta.data, box->content, box->end);
        *version = versionAndFlags(reader, flags);
        return reader;
    }

    bool readPrimary(Meta *meta)
    {
        quint64 version = 0, flags = 0;
        std::optional<Reader> reader = openFullBox(*meta, "pitm", &version, &flags);
        meta->primary = reader ? quint32(reader->take(version == 0 ? 2 : 4)) : 0;
        return reader && reader->ok();
    }

    bool readItems(Meta *meta)
    {
        const Box *iinf = IsoBmff::find(meta->boxes, "iinf");
        if (!iinf)
            return false;
        Reader reader(meta->data, iinf->content, iinf->end);
        quint64 flags = 0;
        reader.take(versionAndFlags(reader, &flags) == 0 ? 2 : 4);
        QList<Box> entries;
        if (!reader.ok() || !IsoBmff::children(meta->data, reader.position(), iinf->end, &entries))
            return false;
        for (const Box &entry : std::as_const(entries)) {
            Reader infe(meta->data, entry.content, entry.end);
            const quint64 version = versionAndFlags(infe, &flags);
            // Entries before version 2 name no item type: libheif takes them for no picture.
            if (entry.type != "infe" || version < 2)
                continue;
            const auto id = quint32(infe.take(version == 2 ? 2 : 4));
            infe.take(2);
            const QByteArray type = infe.fourCC();
            if (!infe.ok())
                return false;
            meta->types.insert(id, type);
        }
        return true;
    }

    std::optional<Extent> spatialExtent(const QByteArray &data, const Box &box, bool *sound)
    {
        if (box.type != "ispe")
            return std::nullopt;
        Reader reader(data, box.content, box.end);
        reader.take(4);
        const Extent extent { reader.take(4), reader.take(4) };
        *sound = *sound && reader.ok() && extent.pixels() > 0;
        return extent;
    }

    bool readAssociations(Meta *meta, const Box &ipma)
    {
        Reader reader(meta->data, ipma.content, ipma.end);
        quint64 flags = 0;
        const quint64 version = versionAndFlags(reader, &flags);
        const bool wide = flags & 1;
        for (quint64 entries = reader.take(4); reader.ok() && entries > 0; --entries) {
            const auto id = quint32(reader.take(version < 1 ? 2 : 4));
            QList<int> *list = meta->types.contains(id) ? &meta->associations[id] : nullptr;
            for (quint64 count = reader.take(1); count > 0; --count) {
                const int index = int(reader.take(wide ? 2 : 1) & (wide ? 0x7fff : 0x7f));
                if (list && list->size() < MaxAssociations)
                    list->append(index);
            }
        }
        return reader.ok();
    }

    bool readProperties(Meta *meta)
    {
        const Box *iprp = IsoBmff::find(meta->boxes, "iprp");
        QList<Box> children;
        QList<Box> properties;
        if (!iprp || !IsoBmff::children(meta->data, iprp->content, iprp->end, &children))
            return false;
        const Box *ipco = IsoBmff::find(children, "ipco");
        if (!ipco || !IsoBmff::children(meta->data, ipco->content, ipco->end, &properties))
            return false;
        bool sound = true;
        for (const Box &property : std::as_const(properties))
            meta->properties.append(spatialExtent(meta->data, property, &sound));
        for (const Box &child : std::as_const(children)) {
            if (child.type == "ipma" && !readAssociations(meta, child))
                return false;
        }
        return sound;
    }

    // Where each grid and overlay keeps its description.
    bool readLocations(Meta *meta)
    {
        quint64 version = 0, flags = 0;
        std::optional<Reader> opened = openFullBox(*meta, "iloc", &version, &flags);
        if (!opened)
            return false;
        Reader &reader = *opened;
        const quint64 sizes = reader.take(2);
        const int offsetSize = int(sizes >> 12), lengthSize = int(sizes >> 8) & 15;
        const int baseSize = int(sizes >> 4) & 15, indexSize = version >= 1 ? int(sizes & 15) : 0;
        for (quint64 count = reader.take(version < 2 ? 2 : 4); reader.ok() && count > 0; --count) {
            const auto id = quint32(reader.take(version < 2 ? 2 : 4));
            Location location;
            location.method = version >= 1 ? reader.take(2) & 15 : 0;
            reader.take(2);
            location.base = reader.take(baseSize);
            quint64 extents = reader.take(2);
            // Extents of no bytes at all are all alike.
            if (offsetSize + lengthSize + indexSize == 0)
                extents = qMin<quint64>(extents, 1);
            for (; reader.ok() && extents > 0; --extents) {
                reader.take(indexSize);
                const quint64 offset = reader.take(offsetSize);
                const quint64 length = reader.take(lengthSize);
                if (location.extents.size() < CanvasBytes)
                    location.extents.append({ offset, length });
            }
            if (hasCanvas(meta->types.value(id)))
                meta->locations.insert(id, location);
        }
        return reader.ok();
    }

    // The first CanvasBytes of an item's data, fewer when it has fewer.
    QByteArray itemHead(QIODevice *device, qint64 start, const Meta &meta, const Location &location)
    {
        const Box *idat = IsoBmff::find(meta.boxes, "idat");
        const quint64 fileBytes = quint64(qMax<qint64>(0, device->size() - start));
        QByteArray head;
        for (const auto &[offset, length] : location.extents) {
            const quint64 at = location.base + offset;
            const qint64 want = qint64(length == 0 ? CanvasBytes : qMin<quint64>(length, CanvasBytes));
            if (head.size() >= CanvasBytes || at < offset)
                break;
            if (location.method == 0 && at < fileBytes && device->seek(start + qint64(at)))
                head += device->read(want);
            else if (location.method == 1 && idat && at < quint64(idat->end - idat->content))
                head += meta.data.mid(
                    idat->content + qint64(at), qMin(want, idat->end - idat->content - qint64(at)));
            else
                break;
        }
        return head;
    }

    std::optional<Extent> canvas(QIODevice *device, qint64 start, const Meta &meta, quint32 id)
    {
        const auto location = meta.locations.constFind(id);
        if (location == meta.locations.cend())
            return std::nullopt;
        const QByteArray head = itemHead(device, start, meta, *location);
        Reader reader(head, 0, head.size());
        reader.take(1);
        const int field = (reader.take(1) & 1) ? 4 : 2;
        reader.take(meta.types.value(id) == "iovl" ? 8 : 2);
        const Extent extent { reader.take(field), reader.take(field) };
        return reader.ok() ? std::optional<Extent>(extent) : std::nullopt;
    }

    // The sizes the properties of item `id` state.
    QList<Extent> statedSizes(const Meta &meta, quint32 id)
    {
        QList<Extent> sizes;
        for (const int index : meta.associations.value(id)) {
            if (index > 0 && index <= meta.properties.size() && meta.properties.at(index - 1))
                sizes.append(*meta.properties.at(index - 1));
        }
        return sizes;
    }

} // namespace

Survey survey(QIODevice *device, qint64 start)
{
    Survey result;
    Meta meta;
    meta.data = IsoBmff::readTopLevel(device, start, "meta", MaxMetaBytes);
    if (meta.data.size() < 4 || !IsoBmff::children(meta.data, 4, meta.data.size(), &meta.boxes)
        || !readPrimary(&meta) || !readItems(&meta) || !readProperties(&meta) || !readLocations(&meta))
        return result;
    for (const std::optional<Extent> &property : std::as_const(meta.properties)) {
        if (property)
            result.extents.append(*property);
    }
    for (auto item = meta.types.cbegin(); item != meta.types.cend(); ++item) {
        const QList<Extent> stated = statedSizes(meta, item.key());
        if (isPicture(item.value()) && stated.isEmpty())
            return result;
        if (isPicture(item.value()))
            ++result.pictures;
        for (const Extent &extent : stated) {
            if (item.key() == meta.primary
                && (result.primary.pixels() == 0 || extent.pixels() < result.primary.pixels()))
                result.primary = extent;
        }
        if (hasCanvas(item.value())) {
            const std::optional<Extent> extent = canvas(device, start, meta, item.key());
            if (!extent)
                return result;
            result.extents.append(*extent);
        }
    }
    result.sound = result.primary.pixels() > 0;
    return result;
}

QString refusal(const Survey &survey, quint64 primaryPixels)
{
    if (!survey.sound)
        return DecodeLimits::damaged();
    if (survey.pictures > MaxPictures)
        return QCoreApplication::translate(
            "FailureReason", "HEIF of %1 pictures (grid tiles), more than the %2 any camera writes")
            .arg(survey.pictures)
            .arg(MaxPictures);
    const Extent *beyond = firstBeyond(survey, qMax(DecodeLimits::maxPixels(), primaryPixels));
    return beyond ? DecodeLimits::tooLarge(beyond->width, beyond->height) : QString();
}

const Extent *firstBeyond(const Survey &survey, quint64 maxPixels)
{
    for (const Extent &extent : survey.extents) {
        if (extent.pixels() > maxPixels)
            return &extent;
    }
    return nullptr;
}

quint64 longestSide(const Survey &survey)
{
    quint64 side = 0;
    for (const Extent &extent : survey.extents)
        side = qMax(side, qMax(extent.width, extent.height));
    return side;
}

} // namespace HeifExtents
