// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/undecodablenames.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <memory>
#endif

QStringList undecodableNames(const QString &folder)
{
    QStringList names;
#ifdef Q_OS_UNIX
    const QByteArray native = QFile::encodeName(folder);
    std::unique_ptr<DIR, int (*)(DIR *)> dir(opendir(native.constData()), closedir);
    if (!dir)
        return names;
    while (const dirent *entry = readdir(dir.get())) {
        const QByteArray name(entry->d_name);
        const QString decoded = QFile::decodeName(name);
        if (QFile::encodeName(decoded) != name)
            names.append(folder + QLatin1Char('/') + decoded);
    }
#else
    Q_UNUSED(folder);
#endif
    return names;
}
