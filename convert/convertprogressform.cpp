// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/convertprogressform.h"

#include "convert/conversionoptions.h"
#include "convert/convertimagesthread.h"
#include "convert/overwritefiledialog.h"
#include "ui_convertprogressform.h"

#include <QDesktopServices>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>

namespace {

ConvertProgressForm::LocationOpener &locationOpener()
{
    static ConvertProgressForm::LocationOpener opener
        = [](const QUrl &url) { return QDesktopServices::openUrl(url); };
    return opener;
}

QString failureDetails(const ConversionFailureList &failures)
{
    QStringList lines;
    lines.reserve(failures.size());
    for (const ConversionFailure &failure : failures)
        lines.append(QStringLiteral("%1: %2").arg(failure.source, failure.reason));
    return lines.join(QLatin1Char('\n'));
}

QString clockText(qint64 ms)
{
    const qint64 seconds = ms / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

// "n of N", the time so far and, once one file is done, the time the rest should take at that pace.
QString progressText(int current, int total, qint64 elapsedMs)
{
    QString text = ConvertProgressForm::tr("Converting %1 of %2, %3 elapsed")
                       .arg(current)
                       .arg(total)
                       .arg(clockText(elapsedMs));
    if (current > 1)
        text += ConvertProgressForm::tr(", about %1 remaining")
                    .arg(clockText(elapsedMs * (total - current + 1) / (current - 1)));
    return text;
}

} // namespace

ConvertProgressForm::ConvertProgressForm(QWidget *parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::ConvertProgressForm>())
{
    ui->setupUi(this);
}

ConvertProgressForm::~ConvertProgressForm() = default;

ConvertProgressForm::LocationOpener ConvertProgressForm::setLocationOpener(LocationOpener opener)
{
    LocationOpener previous = std::move(locationOpener());
    locationOpener() = std::move(opener);
    return previous;
}

void ConvertProgressForm::startConvert(
    const QStringList &urls, const QString &targetFolder, const QString &targetExt, bool overwrite)
{
    _urls = urls;
    this->targetFolder = targetFolder;
    this->targetExt = targetExt;
    if (conversionSize < 0) {
        conversionSize = urls.size();
        clock.start();
    }

    ui->progressBar->setMaximum(int(urls.size()));
    ui->progressBar->setValue(0);
    handledInJob = 0;
    skippedInJob = 0;

    Q_EMIT showToolbarSignal(false);
    Q_EMIT startConvertSignal();

    thread = new ConvertImagesThread;
    thread->_urls = urls;
    thread->targetFolder = targetFolder;
    thread->targetExt = targetExt;
    thread->overwriteExisting = overwrite;
    if (overwrite) {
        for (const QString &url : urls)
            thread->targetPaths.append(existingTargets.value(url));
    }

    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    connect(thread, &ConvertImagesThread::updateFileName, this, &ConvertProgressForm::handleUpdateFileName);
    connect(
        thread, &ConvertImagesThread::threadTerminated, this, &ConvertProgressForm::handleThreadTerminated);
    connect(thread, &ConvertImagesThread::threadCompleted, this, &ConvertProgressForm::handleThreadCompleted);
    connect(
        thread, &ConvertImagesThread::conversionFailed, this, &ConvertProgressForm::handleConversionFailed);
    connect(thread, &ConvertImagesThread::conversionNoted, this,
        [this](QString source, QString target, QString note) {
            notes.append({ source, target, note });
        });
    connect(thread, &ConvertImagesThread::fileSkipped, this, [this] {
        ++skippedCount;
        ++skippedInJob;
    });
    thread->start(QThread::InheritPriority);
}

ConvertImagesThread *ConvertProgressForm::worker() const
{
    return thread;
}

void ConvertProgressForm::on_cancelButton_clicked()
{
    if (!thread)
        return;
    thread->stopRequested = true;
    // The file being written may take a while; say that the stop was heard.
    ui->progressLabel->setText(tr("Stopping after the current file…"));
    ui->cancelButton->setEnabled(false);
}

void ConvertProgressForm::abandon()
{
    quietEnd = true;
    on_cancelButton_clicked();
}

void ConvertProgressForm::handleUpdateFileName(QString fileName)
{
    ui->label_2->setText(fileName);
    // The bar counts the files done: the ones before this one.
    ui->progressBar->setValue(int(handledInJob));
    ++handledInJob;
    if (ui->cancelButton->isEnabled())
        ui->progressLabel->setText(
            progressText(int(handledInJob), ui->progressBar->maximum(), workingTime()));
}

void ConvertProgressForm::handleConversionFailed(QString source, QString target, QString reason)
{
    failures.append({ source, target, reason });
}

void ConvertProgressForm::takeOutputLocation()
{
    // A job without sources names no location: the earlier job's stays.
    if (thread && !thread->outputLocation().isEmpty())
        outputLocation = thread->outputLocation();
}

void ConvertProgressForm::handleThreadTerminated()
{
    takeOutputLocation();
    Q_EMIT showToolbarSignal(true);
    if (quietEnd)
        finish();
    else
        showCompletionMessage(Ending::Cancelled);
}

void ConvertProgressForm::handleThreadCompleted(QList<QString> fileExistsList, QList<QString> fileSourceList)
{
    takeOutputLocation();
    Q_EMIT showToolbarSignal(true);
    ui->progressBar->setValue(ui->progressBar->maximum());
    attempted = attempted || handledInJob > fileExistsList.size() + skippedInJob || !failures.isEmpty();
    for (qsizetype i = 0; i < fileExistsList.size() && i < fileSourceList.size(); ++i)
        existingTargets.insert(fileSourceList.at(i), fileExistsList.at(i));
    // Until the user ticks some of them for overwriting, existing targets count as skipped.
    skippedCount += fileExistsList.size();
    if (fileExistsList.isEmpty()) {
        showCompletionMessage();
        return;
    }
    auto *dialog = new OverwriteFileDialog(this);
    connect(dialog, &OverwriteFileDialog::overwriteFiles, this, &ConvertProgressForm::handleOverwriteFiles);
    connect(dialog, &OverwriteFileDialog::convertFinish, this, &ConvertProgressForm::handleConvertFinish);
    dialog->setFiles(fileExistsList, fileSourceList);
    // The conversion goes on only through the dialog's signals. A refusal is announced once the
    // dialog has closed, so that the message is not stacked on the dialog that answered.
    asking = true;
    askedAt = clock.elapsed();
    dialog->exec();
    answered();
    asking = false;
    if (refused)
        handleConvertFinish();
}

void ConvertProgressForm::handleOverwriteFiles(QStringList urls)
{
    answered();
    secondJob = true;
    skippedCount -= urls.size();
    startConvert(urls, targetFolder, targetExt, true);
}

// The overwrite dialog was refused: no second job. What the first job did is still reported.
void ConvertProgressForm::handleConvertFinish()
{
    answered();
    refused = true;
    if (asking)
        return;
    showCompletionMessage(attempted ? Ending::Completed : Ending::NothingConverted);
}

qint64 ConvertProgressForm::workingTime() const
{
    return clock.elapsed() - waitedMs;
}

// The overwrite dialog has its answer: its wait is no part of the conversion's time.
void ConvertProgressForm::answered()
{
    if (askedAt < 0)
        return;
    waitedMs += clock.elapsed() - askedAt;
    askedAt = -1;
}

void ConvertProgressForm::finish()
{
    Q_EMIT finishConvertSignal();
    deleteLater();
}

// Every source of the conversion once: written, left alone (its target kept) or failed. Files a
// stop left unreached are none of these.
QString ConvertProgressForm::countsText(bool cancelled) const
{
    QSet<QString> failedSources;
    for (const ConversionFailure &failure : failures)
        failedSources.insert(failure.source);
    const qsizetype failed = failedSources.size();
    const qsizetype skipped = qMax<qsizetype>(0, skippedCount);
    const qsizetype unreached = cancelled ? qMax<qsizetype>(0, _urls.size() - handledInJob) : 0;
    const qsizetype converted = qMax<qsizetype>(0, conversionSize - failed - skipped - unreached);
    return tr("%1 converted, %2 skipped, %3 failed.").arg(converted).arg(skipped).arg(failed);
}

void ConvertProgressForm::showCompletionMessage(Ending ending)
{
    QString text = _urls.size() > 1 ? tr("The conversion processes are completed.")
                                    : tr("The conversion process is completed.");
    if (ending == Ending::Cancelled)
        text = tr("Cancelled");
    else if (ending == Ending::NothingConverted)
        text = tr("Nothing was converted: the existing files were kept.");
    QMessageBox box(QMessageBox::Information, tr("Fast Pictomat"), text, QMessageBox::Ok);
    QStringList summary;
    if (!failures.isEmpty()) {
        box.setIcon(QMessageBox::Warning);
        // A stop in the first job leaves files that were never reached; they are not counted.
        const qsizetype reached = ending == Ending::Cancelled && !secondJob ? handledInJob : conversionSize;
        const qsizetype total = qMax(reached, failures.size());
        summary.append((total == 1 ? tr("%1 of %2 file could not be converted.")
                                   : tr("%1 of %2 files could not be converted."))
                           .arg(failures.size())
                           .arg(total));
    }
    if (!failures.isEmpty() || !notes.isEmpty())
        box.setDetailedText(failureDetails(failures + notes));
    summary.append(countsText(ending == Ending::Cancelled));
    summary.append(tr("Time taken: %1.").arg(clockText(workingTime())));
    box.setInformativeText(summary.join(QLatin1Char('\n')));
    Q_EMIT conversionEnded(text, summary.join(QLatin1Char('\n')), clock.elapsed());
    QPushButton *openButton = box.addButton(tr("Open Folder"), QMessageBox::ActionRole);
    // Without an escape button the box would ignore Escape and its close control.
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
    if (box.clickedButton() == openButton && locationOpener()
        && !locationOpener()(QUrl::fromLocalFile(outputLocation))) {
        // Without a file manager (or one that fails to start) the click would otherwise do nothing.
        QMessageBox::warning(this, tr("Fast Pictomat"),
            tr("No file manager could be started to show %1.").arg(QDir::toNativeSeparators(outputLocation)));
    }
    finish();
}
