// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "imaging/sourcecheck.h"

#include "common/logging.h"
#include "imaging/failurereasons.h"
#include "imaging/imagelimits.h"
#include "imaging/jpegscans.h"
#include "plugins/imageformats/common/codecformats.h"
#include "plugins/imageformats/common/decodelimits.h"

#include <QDebug>
#include <QImageReader>

namespace {

bool refuse(QString *reason, const QString &why)
{
    if (reason)
        *reason = why;
    return false;
}

int bytesPerPixel(QImage::Format format)
{
    const int bits = QImage::toPixelFormat(format).bitsPerPixel();
    return qMax(1, (bits + 7) / 8);
}

} // namespace

namespace SourceCheck {

bool isSupportedFormat(const QByteArray &format)
{
    static const QList<QByteArray> formats
        = { "gif", "heif", "heic", "avif", "jxl", "jpeg", "jpg", "png", "tif", "tiff", "webp" };
    return formats.contains(format.toLower()) || isRawFormat(format.toLower());
}

qint64 maxFileBytes()
{
    // The rule of our own readers' file limit: twice the bytes of the largest picture the
    // allocation limit lets a reader decode, plus room for metadata.
    const qint64 limitMegabytes
        = QImageReader::allocationLimit() > 0 ? QImageReader::allocationLimit() : 2048;
    return 2 * limitMegabytes * 1024 * 1024 + (qint64(64) << 20);
}

bool accept(QImageReader &reader, QString *reason)
{
    // No decoder knows the content at all: it is no picture, or one too damaged to recognise.
    const QByteArray format = reader.format();
    if (format.isEmpty())
        return refuse(reason, FailureReason::cannotRead());
    if (!isSupportedFormat(format)) {
        qCDebug(lcImaging).noquote()
            << QStringLiteral("SourceCheck: refused content \"%1\"").arg(QString::fromLatin1(format));
        return refuse(reason, FailureReason::notSupported());
    }
    // Qt's WebP and GIF readers take the whole file into memory, and a JPEG without its end is read
    // to the file's end: no picture within the decoding budget needs a file larger than this.
    const qint64 fileBytes = reader.device() ? reader.device()->size() : 0;
    if (fileBytes > maxFileBytes())
        return refuse(reason, FailureReason::fileTooLarge(fileBytes, maxFileBytes()));
    if (format == "jpeg" || format == "jpg") {
        const int scans = JpegScans::count(reader.device());
        if (scans > JpegScans::Limit)
            return refuse(reason, FailureReason::tooManyScans(JpegScans::Limit));
    }
    const QSize size = reader.size();
    if (size.isValid()
        && !fitsAllocationLimit(size.width(), size.height(), bytesPerPixel(reader.imageFormat()))) {
        const int limitMegabytes = QImageReader::allocationLimit() > 0 ? QImageReader::allocationLimit()
                                                                       : DecodeLimits::AllocationLimitMB;
        const qint64 megapixels
            = qint64(limitMegabytes) * 1024 * 1024 / bytesPerPixel(reader.imageFormat()) / 1000000;
        return refuse(reason, FailureReason::pictureTooLarge(size, megapixels));
    }
    return true;
}

QImage read(const QString &path)
{
    QImageReader reader(path);
    QImage image;
    if (accept(reader))
        reader.read(&image);
    return image;
}

} // namespace SourceCheck
