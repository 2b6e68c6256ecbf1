// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "cli/commandline.h"

#include <QList>
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
// process's options. `progress` (may be empty) hears how many sources are done, of how many.
QList<FileOutcome> runBatch(const CliRequest &request, const BatchPlan &plan,
    const std::function<void(int done, int total)> &progress);
