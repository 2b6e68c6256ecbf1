#include "plugins/imageformats/raw/rawdetect.h"

#include <QIODevice>
#include <QtEndian>

namespace {

// Enough for a TIFF's first directory in the files cameras write.
constexpr qint64 PeekBytes = 64 * 1024;

bool startsWith(const QByteArray &head, qsizetype at, const char *magic, qsizetype size)
{
    return head.size() >= at + size && head.mid(at, size) == QByteArray::fromRawData(magic, size);
}

bool isTiff(const QByteArray &head)
{
    return startsWith(head, 0, "II*\0", 4) || startsWith(head, 0, "MM\0*", 4);
}

// LibRaw takes any file with "IIII" or "MMMM" among its first 32 bytes for Phase One's format.
bool mentionsPhaseOne(const QByteArray &head)
{
    const QByteArray first = head.left(32);
    return first.contains("IIII") || first.contains("MMMM");
}

bool isPhaseOne(const QByteArray &head)
{
    return (startsWith(head, 0, "IIII", 4) && startsWith(head, 5, "waR", 3))
        || (startsWith(head, 0, "MMMM", 4) && startsWith(head, 4, "Raw", 3));
}

// What a TIFF structure's first directory says: whether it has a DNGVersion and its maker.
struct FirstDirectory {
    bool dng = false;
    QByteArray make;
};

FirstDirectory readFirstDirectory(const QByteArray &head)
{
    FirstDirectory found;
    const bool little = head.startsWith("II");
    const auto u16 = [&](qsizetype at) -> quint32 {
        if (at < 0 || at + 2 > head.size())
            return 0;
        const auto *p = reinterpret_cast<const uchar *>(head.constData() + at);
        return little ? qFromLittleEndian<quint16>(p) : qFromBigEndian<quint16>(p);
    };
    const auto u32 = [&](qsizetype at) -> quint32 {
        if (at < 0 || at + 4 > head.size())
            return 0;
        const auto *p = reinterpret_cast<const uchar *>(head.constData() + at);
        return little ? qFromLittleEndian<quint32>(p) : qFromBigEndian<quint32>(p);
    };
    const qsizetype directory = qsizetype(u32(4));
    const quint32 entries = u16(directory);
    for (quint32 i = 0; i < entries && i < 1000; ++i) {
        const qsizetype entry = directory + 2 + qsizetype(i) * 12;
        if (entry + 12 > head.size())
            break;
        const quint32 tag = u16(entry);
        if (tag == 0xc612) {
            found.dng = true;
        } else if (tag == 0x010f && u16(entry + 2) == 2) {
            const quint32 count = u32(entry + 4);
            const qsizetype at = count <= 4 ? entry + 8 : qsizetype(u32(entry + 8));
            if (count > 0 && count < 64 && at + qsizetype(count) <= head.size())
                found.make = head.mid(at, qsizetype(count)).split('\0').first().trimmed();
        }
    }
    return found;
}

// The format of a TIFF-structured RAW from its first directory and header; empty when they say
// nothing of a camera.
QByteArray tiffRaw(const QByteArray &head)
{
    if (startsWith(head, 8, "CR\x02", 3))
        return QByteArrayLiteral("cr2");
    const FirstDirectory first = readFirstDirectory(head);
    if (first.dng)
        return QByteArrayLiteral("dng");
    const QByteArray make = first.make.toUpper();
    // Nikon's scanners write "Nikon" into their TIFF pictures; its cameras the company's name.
    if (make.startsWith("NIKON CORPORATION"))
        return QByteArrayLiteral("nef");
    if (make.startsWith("SONY"))
        return QByteArrayLiteral("arw");
    if (make.startsWith("PENTAX") || make.startsWith("RICOH IMAGING"))
        return QByteArrayLiteral("pef");
    if (make.startsWith("SAMSUNG"))
        return QByteArrayLiteral("srw");
    if (make.startsWith("HASSELBLAD"))
        return QByteArrayLiteral("3fr");
    return {};
}

QByteArray detect(QIODevice *device, bool byContent)
{
    if (!device || !device->isReadable())
        return {};
    QByteArray head = device->peek(32);
    if (isPhaseOne(head))
        return QByteArrayLiteral("iiq");
    if (mentionsPhaseOne(head))
        return {};
    if (startsWith(head, 0, "FUJIFILMCCD-RAW ", 16))
        return QByteArrayLiteral("raf");
    if (startsWith(head, 4, "ftypcrx ", 8))
        return QByteArrayLiteral("cr3");
    if (startsWith(head, 0, "IIRO", 4) || startsWith(head, 0, "IIRS", 4) || startsWith(head, 0, "MMOR", 4))
        return QByteArrayLiteral("orf");
    if (startsWith(head, 0, "IIU\0", 4))
        return QByteArrayLiteral("rw2");
    if (!isTiff(head))
        return {};
    // Only a TIFF structure is read further, up to its first directory.
    head = device->peek(PeekBytes);
    const QByteArray format = tiffRaw(head);
    if (!format.isEmpty() || byContent)
        return format;
    // Named as a RAW by its suffix: LibRaw and the decoder check decide.
    return QByteArrayLiteral("dng");
}

} // namespace

namespace RawDetect {

QByteArray byName(QIODevice *device)
{
    return detect(device, false);
}

QByteArray byContent(QIODevice *device)
{
    return detect(device, true);
}

} // namespace RawDetect
