// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "imaging/memorybudget.h"

#include "common/processmemory.h"
#include "imaging/failurereasons.h"
#include "plugins/imageformats/common/codecformats.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

namespace {

// Measured; see decoderBytesPerPixel().
constexpr double RawDecoderBytesPerPixel = 19.0;

// The writer's peak on top of the picture it is handed, per pixel: the job's peak resident memory
// in bench/compare (bench/RESULTS.md: 8 to 20 megapixel photos, largest 78 MB decoded) less the
// decoded picture (4 bytes a pixel), rounded up, and the larger figure where a 67-megapixel
// picture asked more (JPEG XL: 4.2 GB, about 63 bytes a pixel in all). GIF: pictomat_bench_convert
// on 3 and 12 megapixel pictures took 5 bytes a pixel more for the larger (1 on top of the
// picture; 2 kept as a margin). PDF, which the benchmark does not write, is given the JPEG
// figure and a page image.
const QHash<QString, double> &measuredBytesPerPixel()
{
    static const QHash<QString, double> table = {
        { QStringLiteral("png"), 3.0 },
        { QStringLiteral("jpg"), 5.0 },
        { QStringLiteral("tiff"), 3.0 },
        { QStringLiteral("gif"), 2.0 },
        { QStringLiteral("webp"), 11.0 },
        { QStringLiteral("avif"), 33.0 },
        { QStringLiteral("heic"), 22.0 },
        { QStringLiteral("heif"), 22.0 },
        { QStringLiteral("jxl"), 59.0 },
        { QStringLiteral("pdf"), 8.0 },
    };
    return table;
}

// A value of /proc/meminfo ("MemAvailable:  123456 kB") in bytes; -1 when absent.
qint64 meminfoBytes(const QByteArray &meminfo, const QByteArray &key)
{
    for (const QByteArray &line : meminfo.split('\n')) {
        if (!line.startsWith(key))
            continue;
        const QList<QByteArray> fields = line.mid(key.size()).simplified().split(' ');
        bool ok = false;
        const qint64 kilobytes = fields.value(0).toLongLong(&ok);
        return ok ? kilobytes * 1024 : -1;
    }
    return -1;
}

qint64 readNumber(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    bool ok = false;
    const qint64 value = file.readAll().trimmed().toLongLong(&ok);
    return ok ? value : -1;
}

// Walks from the group at `path` under `base` up to `base`, taking the least that a limit leaves.
qint64 leftInHierarchy(const QString &base, const QString &path, const char *limitFile, const char *usageFile)
{
    qint64 left = -1;
    QString dir = QDir::cleanPath(base + QLatin1Char('/') + path);
    for (;;) {
        const qint64 limit = readNumber(dir + QLatin1Char('/') + QLatin1String(limitFile));
        const qint64 used = readNumber(dir + QLatin1Char('/') + QLatin1String(usageFile));
        // cgroup v1 says "no limit" with a number near 2^63, v2 with "max".
        if (limit > 0 && limit < (qint64(1) << 60) && used >= 0) {
            const qint64 here = qMax<qint64>(0, limit - used);
            left = left < 0 ? here : qMin(left, here);
        }
        if (dir.size() <= base.size() || !dir.startsWith(base))
            return left;
        dir = QFileInfo(dir).path();
    }
}

} // namespace

namespace MemoryBudget {

qint64 controlGroupLeft(const QString &root, const QByteArray &procSelfCgroup)
{
    qint64 left = -1;
    const auto take = [&left](qint64 value) {
        if (value >= 0)
            left = left < 0 ? value : qMin(left, value);
    };
    for (const QByteArray &line : procSelfCgroup.split('\n')) {
        // "hierarchy-ID:controllers:path"; the path may hold colons.
        const qsizetype first = line.indexOf(':');
        const qsizetype second = line.indexOf(':', first + 1);
        if (first < 0 || second < 0)
            continue;
        const QByteArray controllers = line.mid(first + 1, second - first - 1);
        const QString path = QString::fromUtf8(line.mid(second + 1));
        if (line.left(first) == "0" && controllers.isEmpty()) {
            // cgroup v2, alone at the root or beside v1 under "unified".
            const QString base = QFileInfo::exists(root + QLatin1String("/cgroup.controllers"))
                ? root
                : root + QLatin1String("/unified");
            take(leftInHierarchy(base, path, "memory.max", "memory.current"));
        } else if (controllers.split(',').contains("memory")) {
            take(leftInHierarchy(
                root + QLatin1String("/memory"), path, "memory.limit_in_bytes", "memory.usage_in_bytes"));
        }
    }
    return left;
}

double encoderBytesPerPixel(const QString &targetExt)
{
    QString key = targetExt.toLower();
    if (key.startsWith(QLatin1Char('.')))
        key.remove(0, 1);
    if (key == QLatin1String("jpeg"))
        key = QStringLiteral("jpg");
    else if (key == QLatin1String("tif"))
        key = QStringLiteral("tiff");
    // An unknown writer is given the largest figure rather than none.
    return measuredBytesPerPixel().value(key, 60.0);
}

qint64 encoderBytes(QSize size, const QString &targetExt)
{
    if (size.isEmpty())
        return 0;
    return qint64(double(size.width()) * size.height() * encoderBytesPerPixel(targetExt));
}

double decoderBytesPerPixel(const QByteArray &sourceFormat)
{
    // LibRaw's development holds the mosaic (2 bytes a pixel), its four-sample working picture (8)
    // and our 16-bit copy (8) at once: /usr/bin/time -v of pictomat-cli --threads 1 on a
    // 24-megapixel DNG as bench/raw makes it peaked at 18.2 bytes a pixel above the program's own
    // (to PNG; 17.8 to JPG, whose writer peaks lower), rounded up.
    return isRawFormat(sourceFormat.toLower()) ? RawDecoderBytesPerPixel : 4.0;
}

qint64 conversionBytes(QSize size, const QString &targetExt, const QByteArray &sourceFormat)
{
    if (size.isEmpty())
        return 0;
    const double pixels = double(size.width()) * size.height();
    // The reader's buffers are gone before the writer starts: the larger of the two peaks counts.
    const double picture = isRawFormat(sourceFormat.toLower()) ? 8.0 : 4.0;
    const double reader = pixels * decoderBytesPerPixel(sourceFormat);
    const double writer = pixels * picture + double(encoderBytes(size, targetExt));
    return qint64(qMax(reader, writer));
}

bool fitsDecoder(QSize size, const QByteArray &sourceFormat, QString *reason, qint64 available)
{
    const double perPixel = decoderBytesPerPixel(sourceFormat);
    if (available < 0 || size.isEmpty()
        || double(size.width()) * size.height() * perPixel <= double(available))
        return true;
    if (reason)
        *reason = FailureReason::pictureTooLarge(size, qint64(double(available) / perPixel / 1e6));
    return false;
}

qint64 availableBytes()
{
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    qint64 available = -1;
    if (meminfo.open(QIODevice::ReadOnly))
        available = meminfoBytes(meminfo.readAll(), "MemAvailable:");
    // A container's or a scope's limit is not in /proc/meminfo; its control groups give it.
    QFile cgroup(QStringLiteral("/proc/self/cgroup"));
    const qint64 groupLeft = cgroup.open(QIODevice::ReadOnly)
        ? controlGroupLeft(QStringLiteral("/sys/fs/cgroup"), cgroup.readAll())
        : -1;
    for (const qint64 left : { groupLeft, addressSpaceLeft() }) {
        if (left >= 0)
            available = available < 0 ? left : qMin(available, left);
    }
    return available;
}

qint64 jobBytes()
{
    const qint64 available = availableBytes();
    return available < 0 ? -1 : available / 4 * 3;
}

bool fitsEncoder(QSize size, const QString &targetExt, QString *reason, qint64 available)
{
    if (available < 0 || encoderBytes(size, targetExt) <= available)
        return true;
    if (reason) {
        const qint64 megapixels = qint64(double(available) / encoderBytesPerPixel(targetExt) / 1e6);
        *reason = FailureReason::pictureTooLarge(size, megapixels);
    }
    return false;
}

} // namespace MemoryBudget
