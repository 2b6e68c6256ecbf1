// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mountedfolder.h"

#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStorageInfo>
#include <unistd.h>

namespace TestSupport {

namespace {

    // Administration tools live in sbin, which a test's PATH may leave out.
    QString findTool(const QString &name)
    {
        const QString found = QStandardPaths::findExecutable(name);
        if (!found.isEmpty())
            return found;
        return QStandardPaths::findExecutable(name, { QStringLiteral("/usr/sbin"), QStringLiteral("/sbin") });
    }

} // namespace

MountedFolder::MountedFolder(Kind kind, int megabytes)
{
    if (::geteuid() != 0) {
        fail(QStringLiteral("mounting a file system image needs root"));
        return;
    }
    if (!work.isValid()) {
        fail(QStringLiteral("no temporary folder"));
        return;
    }
    image = work.filePath(QStringLiteral("volume.img"));
    mountPoint = work.filePath(QStringLiteral("mnt"));
    QFile file(image);
    if (!QDir().mkpath(mountPoint) || !file.open(QIODevice::WriteOnly)
        || !file.resize(qint64(megabytes) * 1024 * 1024)) {
        fail(QStringLiteral("cannot make the image file"));
        return;
    }
    file.close();
    if (kind == ExfatFuse)
        mountExfat();
    else if (kind == FatFuse)
        mountFat();
    else
        mountExt4CaseFolding();
}

bool MountedFolder::fail(const QString &reason)
{
    _skipReason = reason;
    _folder.clear();
    return false;
}

bool MountedFolder::mountExfat()
{
    const QString mkfs = findTool(QStringLiteral("mkfs.exfat"));
    const QString losetup = findTool(QStringLiteral("losetup"));
    const QString mount = findTool(QStringLiteral("mount.exfat-fuse"));
    if (mkfs.isEmpty() || losetup.isEmpty() || mount.isEmpty())
        return fail(
            QStringLiteral("mkfs.exfat, losetup or mount.exfat-fuse missing (exfatprogs, exfat-fuse)"));
    if (!QFile::exists(QStringLiteral("/dev/fuse")))
        return fail(QStringLiteral("no /dev/fuse"));
    QByteArray output;
    if (runTool(mkfs, { image }, &output) != 0)
        return fail(QStringLiteral("mkfs.exfat failed: ")
            + QString::fromLocal8Bit(output).trimmed().section(QLatin1Char(QChar::LineFeed), 0, 0));
    if (runTool(losetup, { QStringLiteral("-f"), QStringLiteral("--show"), image }, &output) != 0)
        return fail(QStringLiteral("no loop device: ")
            + QString::fromLocal8Bit(output).trimmed().section(QLatin1Char(QChar::LineFeed), 0, 0));
    loopDevice = QString::fromLocal8Bit(output).trimmed();
    if (runTool(mount, { loopDevice, mountPoint }, &output) != 0)
        return fail(QStringLiteral("mount.exfat-fuse failed: ")
            + QString::fromLocal8Bit(output).trimmed().section(QLatin1Char(QChar::LineFeed), 0, 0));
    mounted = fuse = true;
    _folder = mountPoint;
    return true;
}

bool MountedFolder::mountExt4CaseFolding()
{
    const QString mkfs = findTool(QStringLiteral("mkfs.ext4"));
    const QString mount = findTool(QStringLiteral("mount"));
    const QString chattr = findTool(QStringLiteral("chattr"));
    if (mkfs.isEmpty() || mount.isEmpty() || chattr.isEmpty())
        return fail(QStringLiteral("mkfs.ext4, mount or chattr missing (e2fsprogs)"));
    QByteArray output;
    if (runTool(
            mkfs, { QStringLiteral("-q"), QStringLiteral("-O"), QStringLiteral("casefold"), image }, &output)
        != 0)
        return fail(QStringLiteral("mkfs.ext4 -O casefold failed: ")
            + QString::fromLocal8Bit(output).trimmed().section(QLatin1Char(QChar::LineFeed), 0, 0));
    if (runTool(mount, { QStringLiteral("-o"), QStringLiteral("loop"), image, mountPoint }, &output) != 0)
        return fail(QStringLiteral("this kernel cannot mount ext4 with case folding (CONFIG_UNICODE): ")
            + QString::fromLocal8Bit(output).trimmed().section(QLatin1Char(QChar::LineFeed), 0, 0));
    mounted = true;
    const QString folding = mountPoint + QStringLiteral("/folding");
    if (!QDir().mkpath(folding) || runTool(chattr, { QStringLiteral("+F"), folding }, &output) != 0)
        return fail(QStringLiteral("chattr +F failed: ")
            + QString::fromLocal8Bit(output).trimmed().section(QLatin1Char(QChar::LineFeed), 0, 0));
    _folder = folding;
    return true;
}

bool MountedFolder::mountFat()
{
    const QString mkfs = findTool(QStringLiteral("mkfs.vfat"));
    const QString fusefat = findTool(QStringLiteral("fusefat"));
    if (mkfs.isEmpty() || fusefat.isEmpty())
        return fail(QStringLiteral("mkfs.vfat or fusefat missing (dosfstools, fusefat)"));
    if (!QFile::exists(QStringLiteral("/dev/fuse")))
        return fail(QStringLiteral("no /dev/fuse"));
    QByteArray output;
    if (runTool(mkfs, { QStringLiteral("-F"), QStringLiteral("32"), image }, &output) != 0)
        return fail(QStringLiteral("mkfs.vfat failed: ")
            + QString::fromLocal8Bit(output).trimmed().section(QLatin1Char(QChar::LineFeed), 0, 0));
    // The driver stays behind as a daemon that keeps writing to its output: a file, not a pipe
    // that closes with the process object and would end it by SIGPIPE.
    const QString log = work.filePath(QStringLiteral("fusefat.log"));
    QProcess process;
    process.setStandardOutputFile(log);
    process.setStandardErrorFile(log, QIODevice::Append);
    process.start(fusefat, { QStringLiteral("-o"), QStringLiteral("rw+"), image, mountPoint });
    const bool started = process.waitForFinished(30000) && process.exitCode() == 0;
    mounted = fuse = started;
    if (!started || QStorageInfo(mountPoint).fileSystemType() != "fuse.fusefat") {
        QFile written(log);
        const QByteArray said = written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray();
        return fail(QStringLiteral("fusefat failed: ")
            + QString::fromLocal8Bit(said).trimmed().section(QLatin1Char(QChar::LineFeed), 0, 0));
    }
    _folder = mountPoint;
    return true;
}

MountedFolder::~MountedFolder()
{
    if (mounted) {
        const QString fusermount = findTool(QStringLiteral("fusermount"));
        if (!fuse || fusermount.isEmpty() || runTool(fusermount, { QStringLiteral("-u"), mountPoint }) != 0)
            runTool(findTool(QStringLiteral("umount")), { mountPoint });
    }
    if (!loopDevice.isEmpty())
        runTool(findTool(QStringLiteral("losetup")), { QStringLiteral("-d"), loopDevice });
}

} // namespace TestSupport
