// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Prints the thumbnail folder this process was given, writes a file into it, and exits. With
// --installed it runs as an installed copy does.
#include "filelist/thumbnailcache.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (app.arguments().contains(QStringLiteral("--installed")))
        ThumbnailCache::useUserCacheFolder();
    const QString dir = ThumbnailCache::thumbnailsDir();
    QFile file(dir + QStringLiteral("0.webp"));
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write("probe");
    file.close();
    QTextStream(stdout) << dir << Qt::endl;
    return 0;
}
