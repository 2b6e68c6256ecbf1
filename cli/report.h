// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "cli/batchjob.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QJsonObject>
#include <QList>
#include <cstdio>

// A progress bar on standard error, redrawn in place within the terminal's width: files done,
// total, rate and time left. Only for a terminal; the caller decides.
class ProgressBar {
public:
    explicit ProgressBar(int columns);
    void update(int done, int total);
    void finish();

private:
    QElapsedTimer clock;
    int columns;
    bool drawn = false;
};

// The width of the terminal `stream` writes to, 80 when it is none.
int terminalColumns(FILE *stream);

// One line per file that was not converted, then a summary, on standard error; with `quiet`,
// the failures alone.
void printOutcomes(const QList<FileOutcome> &outcomes, bool quiet);

// What a report says of the run besides its files.
struct ReportHeader {
    QString outputFolder;
    QJsonObject options;
};

// The options in effect, as a preset names them, with the line's own switches.
QJsonObject optionsJson(const CliRequest &request);

// Version of the report's layout, raised when a field changes meaning or goes away.
constexpr int ReportSchemaVersion = 1;

// One JSON document for scripts: the program and its version, the options, each file (source,
// target, result, reason, pixel sizes, bytes, milliseconds), the totals and the exit status; on
// an error before any file (exit 2 or 3) the files are none and `error` says why.
QByteArray reportJson(const ReportHeader &header, const QList<FileOutcome> &outcomes, int exitCode,
    const QString &error = QString());

// One file as one line of JSON Lines, written as the file is finished.
QByteArray fileJsonLine(const FileOutcome &outcome);
// The line that stands for a run that stopped before any file (exit 2 or 3).
QByteArray errorJsonLine(int exitCode, const QString &error);

// 0 all converted or skipped as asked, 1 some failed or were skipped unasked, 3 nothing to do.
int exitCodeFor(const QList<FileOutcome> &outcomes);
