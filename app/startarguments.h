// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>

// What the window's command line asks for. Started without arguments, the program opens its
// window as it always has; files and folders on the line are added to the list as a drop adds them.
struct StartArguments {
    enum class Action { OpenWindow, ShowHelp, ShowVersion, Refuse };
    Action action = Action::OpenWindow;
    // Absolute local paths, in the order given; folders are scanned as a drop scans them.
    QStringList paths;
    // Why the line was refused (Refuse only), for standard error.
    QString error;
};

// `arguments` without the program name, after Qt has taken its own options (-platform, -style...).
// Relative paths are taken against `workingFolder`; "file:" URLs (as some desktops pass them) are
// turned into paths. After "--" every argument is a path, even one starting with "-".
StartArguments parseStartArguments(const QStringList &arguments, const QString &workingFolder);

// ShowHelp or ShowVersion when the raw command line asks for one of them (before any "--"),
// otherwise OpenWindow. They are answered before the application object exists, so that they
// need no display, whatever else the line holds.
StartArguments::Action helpOrVersionAsked(int argc, const char *const *argv);

QString startHelpText();
QString startVersionText();
