// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "convert/conversionfailure.h"

#include <QCoreApplication>
#include <QStringList>
#include <functional>

class ConvertImagesThread;

// The conversion child (conversionchild.cpp), beside the test program.
inline QString childProgram()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/conversionchild");
}

// One conversion job run to its end by a real ConvertImagesThread, and everything it reported.
struct JobRun {
    JobRun() = default;
    JobRun(const QStringList &sources, const QString &targetFolder, const QString &targetExt)
        : sources(sources)
        , targetFolder(targetFolder)
        , targetExt(targetExt)
    {
    }

    QStringList sources;
    QString targetFolder;
    QString targetExt;
    bool overwriteExisting = false;
    bool stopBeforeStart = false;
    // Files converted at once; 0 for the job's own choice, or one at a time when onSource is set,
    // since a fault injected at a source's turn presumes that the later ones have not started.
    int filesAtOnce = 0;
    // Called on the worker thread as the job reaches source `index`, after updateFileName and
    // before the source is tested or rendered: the moment to inject a fault or to cancel.
    std::function<void(int index, ConvertImagesThread *job)> onSource;
    // Called on the worker thread with each signal as it arrives, as fields: "UPDATE" source,
    // "FAILED" source target reason, "TERMINATED", or one "EXISTS" target source for each
    // existing target and then "COMPLETED".
    std::function<void(const QStringList &fields)> onSignal;

    // Filled by run().
    QStringList updates;
    bool completed = false;
    bool terminated = false;
    int endSignals = 0;
    QStringList existing;
    QStringList existingSources;
    ConversionFailureList failures;
    QStringList failuresAsSignalled;
    // Every signal in the order of arrival: "update <source>", "failed <source>: <reason>",
    // "completed <existing targets>", "terminated".
    QStringList signalLog;

    // Runs the job; a job still running after `timeoutMs` ends the test program (a hang).
    void run(int timeoutMs = 300000);

    // The failures reported for one source (by the list and by the signal, which must agree).
    int failureCount(const QString &source) const;
    QStringList failedSources() const;
    QString describeFailures() const;
};
