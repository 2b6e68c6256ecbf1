// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "cli/commandline.h"

#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>

struct FileOutcome {
    enum Result { Converted, Failed, Skipped };

    QString source;
    QString target;
    Result result = Converted;
    QString reason;
    // Skipped because the user asked to skip existing targets (--when-exists skip): not a fault.
    bool skipAsked = false;
    QSize sourceSize {}; // as stored, before any orientation; invalid when unreadable
    QSize targetSize {}; // of the file written; invalid when none was (or for a PDF page)
    qint64 bytes = -1; // of the file written (the whole document for a PDF)
    qint64 ms = -1; // from this file's turn in the job to the next file's
};

// The work of one command line: one conversion job per target folder (one in all unless
// --keep-folders), and the inputs that cannot take part, already decided.
struct BatchPlan {
    struct Job {
        QString targetFolder;
        QStringList sources;
    };

    QList<Job> jobs;
    QList<FileOutcome> unusable;
    int sourceCount() const;
};

// Expands the inputs as a drop does: supported files only, each once; folders by the folder scan
// (subfolders with --recursive).
BatchPlan planBatch(const CliRequest &request);

// Runs the jobs one after the other on the engine's conversion worker, with request.options as the
// process's options. `fileDone` (may be empty) hears each file as it is finished, in list order,
// with how many of how many are done.
QList<FileOutcome> runBatch(const CliRequest &request, const BatchPlan &plan,
    const std::function<void(const FileOutcome &outcome, int done, int total)> &fileDone);
