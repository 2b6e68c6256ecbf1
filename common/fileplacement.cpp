// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/fileplacement.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#endif
#ifdef Q_OS_WIN
#include <io.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace FilePlacement {

bool renameWithoutReplacing(const QString &from, const QString &to, int *error)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
#ifdef Q_OS_LINUX
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
        *error = errno;
        return false;
    }
    // A hard link fails when the name is taken, as the rename would.
    if (::link(source.constData(), target.constData()) == 0) {
        ::unlink(source.constData());
        return true;
    }
    if (errno == EEXIST) {
        *error = errno;
        return false;
    }
#endif
    // QFile::rename refuses an existing name; Windows' MoveFileEx does so without a race.
    const QFileInfo existing(to);
    if (existing.exists() || existing.isSymLink()) {
        *error = EEXIST;
        return false;
    }
    return renameReplacing(from, to, error);
}

bool renameReplacing(const QString &from, const QString &to, int *error)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    *error = errno;
    return false;
}

void syncToDisk(int handle)
{
#if defined(Q_OS_WIN)
    ::_commit(handle);
#else
    ::fsync(handle);
#endif
}

void markInUse(int handle)
{
#ifdef Q_OS_WIN
    Q_UNUSED(handle) // an open file cannot be removed there
#else
    ::flock(handle, LOCK_EX | LOCK_NB);
#endif
}

bool removeIfUnused(const QString &path)
{
#ifdef Q_OS_WIN
    return QFile::remove(path);
#else
    const QByteArray name = QFile::encodeName(path);
    const int handle = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (handle < 0)
        return false;
    const bool unused = ::flock(handle, LOCK_EX | LOCK_NB) == 0;
    const bool removed = unused && ::unlink(name.constData()) == 0;
    ::close(handle);
    return removed;
#endif
}

} // namespace FilePlacement
