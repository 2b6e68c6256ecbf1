// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/mainwindow.h"
#include "app/singleinstance.h"
#include "app/startarguments.h"
#include "app/translations.h"
#include "common/processmemory.h"
#include "filelist/thumbnailcache.h"
#include "plugins/imageformats/common/decodelimits.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QLocale>
#include <cstdio>

namespace {

int answerOnTerminal(const QString &text, FILE *stream, int status)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    return status;
}

} // namespace

int main(int argc, char *argv[])
{
    shareOneMallocArena();
    // One value for the whole process in Qt: set before any thread decodes.
    QImageReader::setAllocationLimit(DecodeLimits::AllocationLimitMB);
    // Help and version need no display: answered before the application object exists.
    switch (helpOrVersionAsked(argc, argv)) {
    case StartArguments::Action::ShowHelp:
        return answerOnTerminal(startHelpText(), stdout, 0);
    case StartArguments::Action::ShowVersion:
        return answerOnTerminal(startVersionText(), stdout, 0);
    default:
        break;
    }

    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("pictomat"));
    installTranslations(QLocale());
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    const StartArguments start = parseStartArguments(arguments, QDir::currentPath());
    if (start.action == StartArguments::Action::Refuse)
        return answerOnTerminal(start.error + QLatin1Char('\n'), stderr, 2);

    // A window is open already: it takes the files, and this start ends. Without files a start
    // opens its own window, as it always has.
    const QString socketPath = SingleInstance::defaultSocketPath();
    if (!start.paths.isEmpty() && SingleInstance::handOver(socketPath, start.paths))
        return 0;

    // Our image plug-ins: beside the executable in a build or a portable copy, under lib/pictomat
    // when installed. An installed copy keeps its thumbnails in the user's cache folder.
    const QString installedPlugins = QDir(QCoreApplication::applicationDirPath())
                                         .absoluteFilePath(QStringLiteral(PICTOMAT_PLUGIN_RELDIR));
    QCoreApplication::addLibraryPath(installedPlugins);
    if (QFileInfo(installedPlugins).isDir())
        ThumbnailCache::useUserCacheFolder();
    QApplication::setStyle(QStringLiteral("Fusion"));
    MainWindow window;
    SingleInstance instance(socketPath);
    instance.listen();
    QObject::connect(&instance, &SingleInstance::pathsReceived, &window, &MainWindow::openPaths);
    window.show();
    if (!start.paths.isEmpty())
        window.openPaths(start.paths);
    return app.exec();
}
