// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "plugins/imageformats/common/decodelimits.h"

#include <QCoreApplication>
#include <QIODevice>
#include <QImageReader>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcCodec, "pictomat.imageformats.common", QtWarningMsg)

namespace DecodeLimits {

bool isSaneSize(const QSize &size)
{
    // QImage addresses lines with int byte counts; 16 bytes per pixel is the widest format.
    return size.width() > 0 && size.height() > 0 && size.width() <= (1 << 27) / 16
        && size.height() <= (1 << 27);
}

qint64 maxFileBytes()
{
    constexpr qint64 MetadataBytes = 64 << 20;
    // With the limit off, Qt's own ceiling for a QImage (2 GB of pixels) stands in for it.
    const qint64 limitMegabytes
        = QImageReader::allocationLimit() > 0 ? QImageReader::allocationLimit() : 2048;
    return 2 * limitMegabytes * 1024 * 1024 + MetadataBytes;
}

bool fitsFileLimit(QIODevice *device)
{
    const qint64 left = device->isSequential() ? device->bytesAvailable() : device->size() - device->pos();
    if (left <= maxFileBytes())
        return true;
    qCWarning(lcCodec, "A %lld-byte file is larger than any picture within the decoding limit needs", left);
    return false;
}

quint64 maxPixels()
{
    const int limitMegabytes
        = QImageReader::allocationLimit() > 0 ? QImageReader::allocationLimit() : AllocationLimitMB;
    return quint64(limitMegabytes) * 1024 * 1024 / 4;
}

QString tooLarge(quint64 width, quint64 height)
{
    return QCoreApplication::translate(
        "FailureReason", "picture too large (%1 x %2, the limit is %3 megapixels)")
        .arg(width)
        .arg(height)
        .arg(maxPixels() / 1000000);
}

QString damaged()
{
    return QCoreApplication::translate("FailureReason", "damaged or incomplete image");
}

} // namespace DecodeLimits
