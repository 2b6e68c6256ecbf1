#include "imaging/imagelimits.h"

#include <QFile>
#include <QImageReader>
#include <limits>

bool fitsAllocationLimit(qint64 width, qint64 height, int bytesPerPixel)
{
    if (width <= 0 || height <= 0 || bytesPerPixel <= 0)
        return false;
    constexpr qint64 maxSide = std::numeric_limits<int>::max();
    if (width > maxSide || height > maxSide)
        return false;
    // A limit of 0 turns the reader's check off; the steps keep the loader's default instead,
    // since nothing else stops a hand-edited option from asking for terabytes.
    const int limitMegabytes = QImageReader::allocationLimit() > 0 ? QImageReader::allocationLimit() : 256;
    const qint64 limitBytes = qint64(limitMegabytes) * 1024 * 1024;
    const qint64 bytesPerLine = width * bytesPerPixel;
    return bytesPerLine <= limitBytes && height <= limitBytes / bytesPerLine;
}

namespace {

// MemAvailable of /proc/meminfo in bytes, or -1 where the system has no such file.
qint64 availableMemoryBytes()
{
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    if (!meminfo.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    while (!meminfo.atEnd()) {
        const QByteArray line = meminfo.readLine();
        if (!line.startsWith("MemAvailable:"))
            continue;
        bool ok = false;
        const qint64 kilobytes = line.mid(13).trimmed().split(' ').value(0).toLongLong(&ok);
        return ok ? kilobytes * 1024 : -1;
    }
    return -1;
}

} // namespace

qint64 resultBudgetBytes()
{
    // Without a figure from the system, 1 GB: enough for a 24-megapixel photo at 200 %.
    const qint64 available = availableMemoryBytes();
    const qint64 share = available > 0 ? available / 4 : qint64(1) << 30;
    const int limitMegabytes = QImageReader::allocationLimit() > 0 ? QImageReader::allocationLimit() : 256;
    return qMax(share, qint64(limitMegabytes) * 1024 * 1024);
}

bool fitsResultBudget(qint64 width, qint64 height, int bytesPerPixel)
{
    if (width <= 0 || height <= 0 || bytesPerPixel <= 0)
        return false;
    constexpr qint64 maxSide = std::numeric_limits<int>::max();
    if (width > maxSide || height > maxSide)
        return false;
    const qint64 budget = resultBudgetBytes();
    const qint64 bytesPerLine = width * bytesPerPixel;
    return bytesPerLine <= budget && height <= budget / bytesPerLine;
}
