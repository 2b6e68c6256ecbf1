// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "cli/batchjob.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>

// A progress bar on standard error, redrawn in place: files done, total, rate and time left.
// Only for a terminal; the caller decides.
class ProgressBar {
public:
    ProgressBar();
    void update(int done, int total);
    void finish();

private:
    QElapsedTimer clock;
    bool drawn = false;
};

// One line per file that was not converted, then a summary, on standard error.
void printOutcomes(const QList<FileOutcome> &outcomes);

// One JSON document for scripts: every file's source, target, result and reason, and the counts.
QByteArray outcomesJson(const QString &outputFolder, const QList<FileOutcome> &outcomes);

// 0 all converted or skipped as asked, 1 some failed or were skipped unasked, 3 nothing to do.
int exitCodeFor(const QList<FileOutcome> &outcomes);
