// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "smalldisk.h"

#include "mountnamespace.h"

#include <QFile>
#include <QStorageInfo>
#include <cerrno>
#include <cstring>
#include <sys/mount.h>

SmallDisk::SmallDisk(const QString &folder, qint64 bytes)
    : _folder(folder)
{
    if (!inPrivateMountNamespace()) {
        _problem = mountNamespaceProblem();
        return;
    }
    const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0755";
    if (mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
            options.constData())
        != 0) {
        _problem = QStringLiteral("cannot mount a tmpfs: ") + QString::fromLocal8Bit(strerror(errno));
        return;
    }
    _mounted = true;
}

SmallDisk::~SmallDisk()
{
    if (_mounted)
        umount2(QFile::encodeName(_folder).constData(), MNT_DETACH);
}

qint64 SmallDisk::freeBytes() const
{
    QStorageInfo storage(_folder);
    storage.refresh();
    return storage.bytesAvailable();
}
