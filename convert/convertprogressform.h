// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "convert/conversionfailure.h"

#include <QElapsedTimer>
#include <QHash>
#include <QPointer>
#include <QStringList>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <memory>

class ConvertImagesThread;

namespace Ui {
class ConvertProgressForm;
}

// The page shown while a conversion runs. It owns the job: starts the worker, follows its
// progress, asks which existing targets to overwrite and runs the second job over those, and
// finally announces the result. It deletes itself when the conversion is over.
class ConvertProgressForm : public QWidget {
    Q_OBJECT

public:
    explicit ConvertProgressForm(QWidget *parent = nullptr);
    ~ConvertProgressForm() override;

    void startConvert(
        const QStringList &urls, const QString &targetFolder, const QString &targetExt, bool overwrite);

    // The worker of the job in progress, null between jobs; a closing window waits on it.
    ConvertImagesThread *worker() const;

    // How "Open Folder" hands a location to the desktop; replaceable so that tests need no file
    // manager. Returns the previous opener.
    using LocationOpener = std::function<bool(const QUrl &)>;
    static LocationOpener setLocationOpener(LocationOpener opener);

Q_SIGNALS:
    void startConvertSignal();
    void finishConvertSignal();
    // The conversion is over and its closing message is about to show: its title, its counts and
    // how long the whole conversion took.
    void conversionEnded(QString title, QString summary, qint64 elapsedMs);
    void showToolbarSignal(bool show);

public Q_SLOTS:
    void on_cancelButton_clicked();
    // The window is closing: stop like Cancel, but end without a message.
    void abandon();
    void handleUpdateFileName(QString fileName);
    void handleThreadTerminated();
    void handleThreadCompleted(QList<QString> fileExistsList, QList<QString> fileSourceList);
    void handleOverwriteFiles(QStringList urls);
    void handleConvertFinish();
    void handleConversionFailed(QString source, QString target, QString reason);

private:
    // How a conversion ended, for the message that closes it.
    enum class Ending { Completed, Cancelled, NothingConverted };
    void showCompletionMessage(Ending ending = Ending::Completed);
    void finish();
    void takeOutputLocation();
    QString countsText(bool cancelled) const;
    // The time the conversion took so far, without the time the overwrite dialog waited.
    qint64 workingTime() const;
    void answered();

    std::unique_ptr<Ui::ConvertProgressForm> ui;
    QStringList _urls;
    QString targetFolder;
    QString targetExt;
    QPointer<ConvertImagesThread> thread;
    // What "Open Folder" opens, as the last job with sources reported it.
    QString outputLocation;
    // The sources of the whole conversion (the first job) and what could not be converted in
    // any of its jobs; targets the user chose to keep are not failures.
    qsizetype conversionSize = -1;
    ConversionFailureList failures;
    // Files converted without some of their metadata, named in the completion's details.
    ConversionFailureList notes;
    // Files of the current job reported so far, and whether any file of the conversion was
    // rendered (not only found to exist); a conversion that tried something always ends with
    // its message, so that its failures are seen.
    qsizetype handledInJob = 0;
    bool attempted = false;
    bool secondJob = false;
    bool asking = false;
    bool refused = false;
    bool quietEnd = false;
    // Existing targets by source, so that a second job writes the very names the first one chose.
    QHash<QString, QString> existingTargets;
    QElapsedTimer clock;
    qint64 askedAt = -1;
    qint64 waitedMs = 0;
    // Sources whose target existed and was kept, by the user's answer or the "skip" rule.
    qsizetype skippedCount = 0;
    qsizetype skippedInJob = 0;
};
