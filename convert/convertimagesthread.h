// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "convert/conversionfailure.h"
#include "convert/encodersettings.h"

#include <QStringList>
#include <QThread>
#include <atomic>

struct ConversionOptions;

// Carries out one conversion job on its own thread: every source becomes one output file in
// targetFolder, or (targetExt ".pdf") one page of a combined document. Existing targets are
// never touched; they are reported at the end. One object serves one job.
class ConvertImagesThread : public QThread {
    Q_OBJECT

public:
    explicit ConvertImagesThread(QObject *parent = nullptr);

    std::atomic<bool> stopRequested { false };
    QStringList _urls;
    QString targetFolder;
    QString targetExt;
    bool overwriteExisting = false;
    // The target of each source when the caller knows them already (a second job over sources
    // of the first); otherwise planned from the naming options.
    QStringList targetPaths;
    // Files converted at once; 0 takes the machine's choice (defaultFilesAtOnce(), within the
    // options' threadLimit).
    int filesAtOnce = 0;
    QStringList fileExistsList;
    QStringList fileSourceList;

    // The target path of a source: targetFolder, "/", the file name up to its first dot, targetExt.
    static QString targetPathFor(
        const QString &targetFolder, const QString &source, const QString &targetExt);

    // What went wrong during the job; complete once an end signal has been emitted.
    ConversionFailureList failures() const;
    // Files written without some of their metadata, the reason saying what was left out.
    ConversionFailureList notes() const;
    // What "Open Folder" opens after the job: the target folder (the first source's folder when
    // the files are saved beside their originals) or the PDF document, in native separators.
    // Empty for a job without sources. Set before the job's first signal.
    QString outputLocation() const;

Q_SIGNALS:
    void updateFileName(QString fileName);
    void threadTerminated();
    void threadCompleted(QList<QString> fileExistsList, QList<QString> fileSourceList);
    // One source that could not be converted, emitted as soon as it happens.
    void conversionFailed(QString source, QString target, QString reason);
    // A source converted without some of its metadata (too large for the target), at its turn.
    void conversionNoted(QString source, QString target, QString note);
    // A source left alone because its target exists and the user chose to skip such files.
    void fileSkipped(QString source, QString target);

protected:
    void run() override;

private:
    void runFileJob();
    void runPdfJob();
    static QList<bool> targetsClaimedEarlier(const QStringList &targets);
    int threadsForJob(const ConversionOptions &options) const;
    void recordFailure(const QString &source, const QString &target, const QString &reason);

    ConversionFailureList _failures;
    ConversionFailureList _notes;
    QString _outputLocation;
};
