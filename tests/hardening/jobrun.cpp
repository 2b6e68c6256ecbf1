// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "jobrun.h"

#include "convert/convertimagesthread.h"

#include <QCoreApplication>
#include <QDebug>

void JobRun::run(int timeoutMs)
{
    ConvertImagesThread job;
    job._urls = sources;
    job.targetFolder = targetFolder;
    job.targetExt = targetExt;
    job.overwriteExisting = overwriteExisting;
    job.stopRequested = stopBeforeStart;
    job.filesAtOnce = filesAtOnce > 0 ? filesAtOnce : (onSource ? 1 : 0);

    int index = 0;
    const auto report = [this](const QStringList &fields) {
        if (onSignal)
            onSignal(fields);
    };
    QObject::connect(
        &job, &ConvertImagesThread::updateFileName, &job,
        [&](const QString &source) {
            updates.append(source);
            signalLog.append(QStringLiteral("update ") + source);
            report({ QStringLiteral("UPDATE"), source });
            if (onSource)
                onSource(index, &job);
            ++index;
        },
        Qt::DirectConnection);
    QObject::connect(
        &job, &ConvertImagesThread::conversionFailed, &job,
        [&](const QString &source, const QString &target, const QString &reason) {
            failuresAsSignalled.append(source);
            signalLog.append(QStringLiteral("failed ") + source + QStringLiteral(": ") + reason);
            report({ QStringLiteral("FAILED"), source, target, reason });
        },
        Qt::DirectConnection);
    QObject::connect(
        &job, &ConvertImagesThread::threadTerminated, &job,
        [&] {
            terminated = true;
            signalLog.append(QStringLiteral("terminated"));
            ++endSignals;
            report({ QStringLiteral("TERMINATED") });
        },
        Qt::DirectConnection);
    QObject::connect(
        &job, &ConvertImagesThread::threadCompleted, &job,
        [&](const QList<QString> &e, const QList<QString> &s) {
            completed = true;
            signalLog.append(QStringLiteral("completed ") + e.join(QLatin1Char(' ')));
            ++endSignals;
            existing = e;
            existingSources = s;
            for (qsizetype i = 0; i < e.size(); ++i)
                report({ QStringLiteral("EXISTS"), e.at(i), s.value(i) });
            report({ QStringLiteral("COMPLETED") });
        },
        Qt::DirectConnection);

    job.start(QThread::InheritPriority);
    if (!job.wait(timeoutMs))
        qFatal("a conversion job of %d sources to %s hangs", int(sources.size()), qPrintable(targetExt));
    QCoreApplication::processEvents();
    failures = job.failures();
}

int JobRun::failureCount(const QString &source) const
{
    int count = 0;
    for (const ConversionFailure &failure : failures)
        count += failure.source == source ? 1 : 0;
    return count;
}

QStringList JobRun::failedSources() const
{
    QStringList names;
    for (const ConversionFailure &failure : failures)
        names.append(failure.source);
    return names;
}

QString JobRun::describeFailures() const
{
    QStringList lines;
    for (const ConversionFailure &failure : failures)
        lines.append(
            failure.source + QStringLiteral(" -> ") + failure.target + QStringLiteral(": ") + failure.reason);
    return lines.join(QLatin1Char('\n'));
}
