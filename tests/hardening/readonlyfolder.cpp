// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "readonlyfolder.h"

#include "mountnamespace.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString lastError()
{
    return QString::fromLocal8Bit(strerror(errno));
}

bool setImmutable(const QByteArray &path, bool on, QString *problem)
{
    const int fd = open(path.constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) {
        *problem = lastError();
        return false;
    }
    int flags = 0;
    bool ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    if (!ok)
        *problem = lastError();
    close(fd);
    return ok;
}

} // namespace

ReadOnlyFolder::ReadOnlyFolder(const QString &folder)
    : _folder(folder)
{
}

ReadOnlyFolder::~ReadOnlyFolder()
{
    release();
}

bool ReadOnlyFolder::apply()
{
    if (_applied != Mechanism::None)
        return true;
    if (geteuid() != 0)
        return tryPermissions();
    if (tryImmutableFlag())
        return true;
    const QString immutableProblem = _problem;
    if (tryBindMount())
        return true;
    _problem = QStringLiteral("running as root, and neither the immutable attribute (%1) nor a read-only "
                              "bind mount (%2) is available")
                   .arg(immutableProblem, _problem);
    return false;
}

void ReadOnlyFolder::release()
{
    const QByteArray path = QFile::encodeName(_folder);
    QString ignored;
    switch (_applied) {
    case Mechanism::Permissions:
        chmod(path.constData(), _oldMode);
        break;
    case Mechanism::ImmutableFlag:
        setImmutable(path, false, &ignored);
        break;
    case Mechanism::BindMount:
        umount2(path.constData(), MNT_DETACH);
        break;
    case Mechanism::None:
        break;
    }
    _applied = Mechanism::None;
}

bool ReadOnlyFolder::tryPermissions()
{
    const QByteArray path = QFile::encodeName(_folder);
    struct stat info { };
    if (stat(path.constData(), &info) != 0 || chmod(path.constData(), 0555) != 0) {
        _problem = lastError();
        return false;
    }
    _oldMode = info.st_mode & 07777;
    _applied = Mechanism::Permissions;
    _method = QStringLiteral("write permission removed");
    return creationRefused();
}

bool ReadOnlyFolder::tryImmutableFlag()
{
    if (!setImmutable(QFile::encodeName(_folder), true, &_problem))
        return false;
    _applied = Mechanism::ImmutableFlag;
    _method = QStringLiteral("immutable attribute set");
    return creationRefused();
}

bool ReadOnlyFolder::tryBindMount()
{
    if (!inPrivateMountNamespace()) {
        _problem = mountNamespaceProblem();
        return false;
    }
    const QByteArray path = QFile::encodeName(_folder);
    if (mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) != 0) {
        _problem = lastError();
        return false;
    }
    _applied = Mechanism::BindMount;
    if (mount(nullptr, path.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
        _problem = lastError();
        release();
        return false;
    }
    _method = QStringLiteral("read-only bind mount");
    return creationRefused();
}

bool ReadOnlyFolder::creationRefused()
{
    QFile probe(_folder + QStringLiteral("/.write-probe"));
    if (!probe.open(QIODevice::WriteOnly))
        return true;
    probe.close();
    probe.remove();
    release();
    _problem = QStringLiteral("files can still be created in the folder");
    return false;
}
