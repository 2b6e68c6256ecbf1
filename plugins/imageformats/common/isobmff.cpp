#include "plugins/imageformats/common/isobmff.h"

#include <QIODevice>
#include <QtEndian>

namespace IsoBmff {

namespace {

    // Real files list a handful of brands; a longer box is read only as far as this.
    constexpr int MaxHeadBytes = 256;

    const QList<QByteArray> &hevcBrands()
    {
        static const QList<QByteArray> list { "heic", "heix", "heim", "heis", "hevc", "hevx", "hevm",
            "hevs" };
        return list;
    }

} // namespace

QList<QByteArray> brands(const QByteArray &head)
{
    if (head.size() < 16 || head.mid(4, 4) != "ftyp")
        return {};
    const quint32 boxSize = qFromBigEndian<quint32>(head.constData());
    if (boxSize < 16 || boxSize % 4 != 0)
        return {};
    const int end = int(qMin<quint32>(boxSize, quint32(head.size())));
    QList<QByteArray> result { head.mid(8, 4) };
    for (int offset = 16; offset + 4 <= end; offset += 4)
        result.append(head.mid(offset, 4));
    return result;
}

QList<QByteArray> peekBrands(QIODevice *device)
{
    if (!device || !device->isReadable())
        return {};
    return brands(device->peek(MaxHeadBytes));
}

bool isAvif(const QList<QByteArray> &brands)
{
    return brands.contains("avif") || brands.contains("avis");
}

bool isHevc(const QList<QByteArray> &brands)
{
    for (const QByteArray &brand : hevcBrands()) {
        if (brands.contains(brand))
            return true;
    }
    return false;
}

bool isHeif(const QList<QByteArray> &brands)
{
    if (brands.isEmpty() || isAvif(brands))
        return false;
    return isHevc(brands) || brands.contains("mif1") || brands.contains("msf1");
}

} // namespace IsoBmff
