// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/pathcompare.h"

#include <QDir>

Qt::CaseSensitivity pathCaseSensitivity()
{
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return Qt::CaseInsensitive;
#else
    return Qt::CaseSensitive;
#endif
}

QString normalPath(const QString &path)
{
    if (path.isEmpty())
        return path;
    return QDir::toNativeSeparators(QDir::cleanPath(QDir::fromNativeSeparators(path)));
}

QString pathKey(const QString &path)
{
    const QString normal = normalPath(path);
    return pathCaseSensitivity() == Qt::CaseInsensitive ? normal.toCaseFolded() : normal;
}

bool samePath(const QString &a, const QString &b)
{
    return normalPath(a).compare(normalPath(b), pathCaseSensitivity()) == 0;
}
