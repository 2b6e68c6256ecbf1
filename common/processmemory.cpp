// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/processmemory.h"

#include <cstdlib> // defines __GLIBC__ where it applies

#if defined(__GLIBC__)
#include <malloc.h>
#endif
#if defined(Q_OS_UNIX)
#include <QFile>
#include <sys/resource.h>
#include <unistd.h>
#endif

void shareOneMallocArena()
{
#if defined(__GLIBC__)
    mallopt(M_ARENA_MAX, 1);
    // Up to a 64-megapixel picture of 8 bytes a pixel comes from the heap and is reused there.
    mallopt(M_MMAP_THRESHOLD, 512 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
#endif
}

void releaseFreeMemory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

qint64 addressSpaceLeft()
{
#if defined(Q_OS_UNIX)
    rlimit limit {};
    if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return -1;
    // The first field of /proc/self/statm: the pages mapped now.
    qint64 mapped = 0;
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (statm.open(QIODevice::ReadOnly))
        mapped = statm.readLine().split(' ').value(0).toLongLong() * sysconf(_SC_PAGESIZE);
    return qMax<qint64>(0, qint64(limit.rlim_cur) - mapped);
#else
    return -1;
#endif
}
