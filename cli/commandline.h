// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "convert/conversionoptions.h"

#include <QFont>
#include <QString>
#include <QStringList>

// What the command line asks for, with the options already merged: defaults, then the window's
// saved settings (--settings), then a preset (--preset), then the options given on the line.
struct CliRequest {
    QStringList inputs; // files and folders, as given
    QString outputFolder;
    bool overwrite = false;
    bool recursive = false;
    bool keepFolders = false;
    bool json = false;
    bool jsonLines = false;
    bool quiet = false;
    bool verbose = false;
    ConversionOptions options;
    QStringList ignoredPresetKeys;
};

struct CliParseResult {
    enum Status {
        Run,
        ShowHelp,
        ShowPresetKeys,
        ShowPresetKeysMarkdown,
        ShowManPage,
        ShowVersion,
        BadCommandLine
    };
    Status status = Run;
    QString message; // for BadCommandLine: names the option and what it allows
    // For ShowManPage, request.outputFolder is the file to write.
    CliRequest request;
};

// Which report the line asks for, read before anything else so that even a line that cannot be
// parsed is answered in it.
enum class ReportKind { Text, Json, JsonLines };
ReportKind requestedReport(const QStringList &arguments);

// `arguments` includes the program name first, as QCoreApplication::arguments() gives it.
CliParseResult parseCommandLine(const QStringList &arguments, const QFont &standardFont);

// `text` with control and other unprintable characters as \xNN or \uNNNN, so that a name taken
// from a file cannot move the cursor or recolour the terminal it is echoed to.
QString printableText(const QString &text);

// Every option with its default and range, from the same table the parser uses.
// Wrapped at `columns`, the terminal's width.
QString cliHelpText(int columns);
QString cliManPage();
