// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/startarguments.h"

#include "app/version.h"

#include <QDir>
#include <QUrl>

namespace {

bool isHelp(const QString &arg)
{
    return arg == QLatin1String("--help") || arg == QLatin1String("-h") || arg == QLatin1String("-?");
}

bool isVersion(const QString &arg)
{
    return arg == QLatin1String("--version") || arg == QLatin1String("-v");
}

QString localPath(const QString &arg, const QString &workingFolder)
{
    if (arg.startsWith(QLatin1String("file:"))) {
        const QUrl url(arg);
        if (url.isLocalFile())
            return QDir::cleanPath(url.toLocalFile());
    }
    return QDir::cleanPath(QDir(workingFolder).absoluteFilePath(arg));
}

} // namespace

StartArguments parseStartArguments(const QStringList &arguments, const QString &workingFolder)
{
    StartArguments result;
    bool onlyPaths = false;
    for (const QString &arg : arguments) {
        if (onlyPaths || arg == QLatin1String("-") || !arg.startsWith(QLatin1Char('-'))) {
            if (!arg.isEmpty())
                result.paths.append(localPath(arg, workingFolder));
            continue;
        }
        if (arg == QLatin1String("--")) {
            onlyPaths = true;
        } else if (isHelp(arg)) {
            return { StartArguments::Action::ShowHelp, {}, {} };
        } else if (isVersion(arg)) {
            return { StartArguments::Action::ShowVersion, {}, {} };
        } else {
            return { StartArguments::Action::Refuse, {},
                QStringLiteral("pictomat: unknown option '%1'\nTry 'pictomat --help' for more information.")
                    .arg(arg) };
        }
    }
    return result;
}

StartArguments::Action helpOrVersionAsked(int argc, const char *const *argv)
{
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("--"))
            break;
        if (isHelp(arg))
            return StartArguments::Action::ShowHelp;
        if (isVersion(arg))
            return StartArguments::Action::ShowVersion;
    }
    return StartArguments::Action::OpenWindow;
}

QString startHelpText()
{
    return QStringLiteral(
        "Usage: pictomat [FILE|FOLDER]...\n"
        "Converts, scales, watermarks and adjusts many images at once.\n"
        "\n"
        "Opens the window with the given image files and folders in the file list, as if they had\n"
        "been dropped onto it (folders with their subfolders). When a Pictomat window is already\n"
        "open, the files are added to that window instead.\n"
        "\n"
        "Options:\n"
        "  -h, --help     show this help and exit\n"
        "  -v, --version  show the version and exit\n"
        "  --             treat every following argument as a file, even one starting with '-'\n"
        "\n"
        "Qt's own options (-platform, -style, ...) are accepted as well.\n"
        "The command line converter without a window is pictomat-cli (see pictomat-cli --help).\n");
}

QString startVersionText()
{
    return QStringLiteral(
        "pictomat %1\n"
        "License GPL-3.0-or-later: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.\n"
        "This is free software: you are free to change and redistribute it.\n"
        "There is NO WARRANTY, to the extent permitted by law.\n")
        .arg(programVersionText());
}
