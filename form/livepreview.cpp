// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/logging.h"
#include "convert/conversionoptions.h"
#include "filelist/convertimagepreviewlabel.h"
#include "filelist/loadpreviewimagethread.h"
#include "filelist/previewdialog.h"
#include "form/convertimageform.h"
#include "imaging/scaling.h"
#include "ui_convertimageform.h"

#include <QDebug>
#include <QPixmap>
#include <QResizeEvent>

namespace {

// The main window's first-start (and smallest) size. The form is never larger than its window, so
// up to this size the preview keeps the 400 x 231 its fit numbers were made for.
constexpr QSize FirstStartFormSize(986, 513);

} // namespace

QSize ConvertImageForm::livePreviewSize(QSize formSize)
{
    const QSize extra = (formSize - FirstStartFormSize).expandedTo(QSize(0, 0));
    return QSize(400 + extra.width() / 2, 231 + extra.height() / 2);
}

// The option tabs widen with the preview, so that the column stays one width; the extra height
// is shared by the tabs and the preview by the layout.
void ConvertImageForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const QSize wanted = livePreviewSize(size());
    if (wanted == ui->previewImage->maximumSize())
        return;
    ui->previewImage->setWantedSize(wanted);
    // Never narrower than its pages need (OptionColumnWidth).
    ui->tabWidget->setMaximumWidth(qMax(wanted.width(), ui->tabWidget->minimumWidth()));
    // A new size needs a new fit; the thumbnails were made for the old one. The request passes
    // the debounce, so a window being dragged larger renders once it rests, at the laid-out size.
    if (!currentSelectedFile.isEmpty() && ui->previewImage->isVisible())
        loadImage(currentSelectedFile, true);
}

void ConvertImageForm::setupLivePreview()
{
    previewDelayTimer.setInterval(20);
    connect(&previewDelayTimer, &QTimer::timeout, this, &ConvertImageForm::on_updateTimer);
    previewRetryTimer.setInterval(100);
    connect(&previewRetryTimer, &QTimer::timeout, this, &ConvertImageForm::onPreviewRetryTimeout);
    connect(ui->previewImage, &ConvertImagePreviewLabel::mouseDoubleClick, this,
        &ConvertImageForm::on_PreviewImage_DoubleClick);
    // Queued: a row being moved is taken out and put back in one go, and stays listed.
    connect(&sourceModel, &QAbstractItemModel::rowsRemoved, this,
        &ConvertImageForm::dropPreviewsOfRemovedFiles, Qt::QueuedConnection);
}

// Rows left the list (removed, or the list cleared), perhaps while their preview was being made:
// nothing of a file no longer listed is shown, waited for or opened in the full preview.
void ConvertImageForm::dropPreviewsOfRemovedFiles()
{
    const auto listed
        = [this](const QString &path) { return !path.isEmpty() && sourceModel.rowOfFile(path) >= 0; };
    if (!listed(currentSelectedFile))
        currentSelectedFile.clear();
    if (previewDelayTimer.isActive() && !listed(pendingPreviewPath))
        previewDelayTimer.stop();
    if (previewRetryTimer.isActive() && !listed(retryPreviewPath)) {
        previewRetryTimer.stop();
        // Its worker was told to stop when the retry was planned.
        cancelledPreviewWorkers.append(previewWorker);
        previewWorker.clear();
        previewBusy = false;
    } else if (previewWorker && !listed(previewWorkerPath)) {
        disconnect(previewWorker, nullptr, this, nullptr);
        previewWorker->stopRequested = true;
        cancelledPreviewWorkers.append(previewWorker);
        previewWorker.clear();
        previewBusy = false;
    }
    const bool waiting = previewDelayTimer.isActive() || previewRetryTimer.isActive() || previewWorker;
    if (!waiting && (sourceModel.rowCount() == 0 || !listed(shownPreviewPath))) {
        shownPreviewPath.clear();
        ui->previewImage->showPixmap(QPixmap());
        ui->previewImage->clear();
        ui->previewImage->setText(tr("Preview"));
    }
}

void ConvertImageForm::loadImage(const QString &path, bool reload)
{
    qDebug().noquote() << QStringLiteral("updateDelayIndex: ") + QString::number(updateDelayIndex);
    qDebug().noquote() << QStringLiteral("ConvertImageForm::loadImage: ") + path;
    // An option changed with nothing listed has nothing to preview.
    if (path.isEmpty())
        return;
    // A size that gives no picture: the preview says which, as Convert would.
    const QString problem = scalingProblem(conversionOptions());
    if (!problem.isEmpty()) {
        previewDelayTimer.stop();
        shownPreviewPath.clear();
        ui->previewImage->showPixmap(QPixmap());
        ui->previewImage->clear();
        ui->previewImage->setText(problem);
        return;
    }
    pendingPreviewPath = path;
    // A newer request replaces the path, never a waiting "every thumbnail is stale".
    pendingPreviewReload = reload || (previewDelayTimer.isActive() && pendingPreviewReload);
    // The fit-to-size picture belongs to a shown image, not to the waiting text.
    ui->previewImage->showPixmap(QPixmap());
    shownPreviewPath.clear();
    ui->previewImage->setText(tr("Generating preview\u2026"));
    previewDelayTimer.stop();
    updateDelayIndex = 5;
    previewDelayTimer.start();
}

void ConvertImageForm::on_updateTimer()
{
    if (!previewDelayTimer.isActive())
        return;
    if (updateDelayIndex > 0) {
        --updateDelayIndex;
        return;
    }
    previewDelayTimer.stop();
    startPreviewWorker(pendingPreviewPath, pendingPreviewReload);
}

void ConvertImageForm::startPreviewWorker(const QString &path, bool reload)
{
    if (previewWorker) {
        disconnect(previewWorker, nullptr, this, nullptr);
        previewWorker->stopRequested = true;
        retryPreviewPath = path;
        retryPreviewReload = reload || (previewRetryTimer.isActive() && retryPreviewReload);
        if (!previewRetryTimer.isActive())
            previewRetryTimer.start();
        return;
    }
    if (closePending)
        return;
    previewBusy = true;
    auto *worker = new LoadPreviewImageThread(path, ui->previewImage->size(), reload);
    previewWorker = worker;
    previewWorkerPath = path;
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    connect(worker, &LoadPreviewImageThread::updatePreviewImage, this,
        &ConvertImageForm::handleUpdatePreviewImage);
    worker->start(QThread::InheritPriority);
}

void ConvertImageForm::onPreviewRetryTimeout()
{
    qDebug() << "100ms passed!";
    previewRetryTimer.stop();
    // The old worker finishes (or stops) on its own and deletes itself; nobody waits for it.
    cancelledPreviewWorkers.removeIf([](const QPointer<LoadPreviewImageThread> &w) { return w.isNull(); });
    if (previewWorker)
        cancelledPreviewWorkers.append(previewWorker);
    previewWorker.clear();
    startPreviewWorker(retryPreviewPath, retryPreviewReload);
}

void ConvertImageForm::handleUpdatePreviewImage(QImage image)
{
    qDebug() << "handleUpdatePreviewImage";
    previewBusy = false;
    if (closePending) {
        emit closeApp();
        close();
    }
    // A picture made before a size setting went wrong does not cover the words saying so.
    if (!image.isNull() && scalingProblem(conversionOptions()).isEmpty()) {
        ui->previewImage->showPixmap(QPixmap::fromImage(image));
        shownPreviewPath = previewWorkerPath;
    }
    updateDelayIndex = 15;
}

// Used when the form stops listening (the window is closing): the current worker is told to stop
// and its result is no longer wanted; pending requests are dropped.
void ConvertImageForm::dropPreviewWorker()
{
    previewDelayTimer.stop();
    previewRetryTimer.stop();
    if (previewWorker) {
        disconnect(previewWorker, nullptr, this, nullptr);
        previewWorker->stopRequested = true;
        cancelledPreviewWorkers.append(previewWorker);
        previewWorker.clear();
    }
    previewBusy = false;
}

void ConvertImageForm::waitForPreviewWorkers()
{
    dropPreviewWorker();
    for (const QPointer<LoadPreviewImageThread> &worker : std::as_const(cancelledPreviewWorkers)) {
        if (worker)
            worker->wait();
    }
    cancelledPreviewWorkers.clear();
}

void ConvertImageForm::on_PreviewImage_DoubleClick()
{
    // Nothing listed is shown: there is no picture to wait for.
    if (previewDialogOpen || currentSelectedFile.isEmpty())
        return;
    if (!previewDialog)
        previewDialog = new PreviewDialog(nullptr, this);
    previewDialogOpen = true;
    connect(previewDialog, &PreviewDialog::previewDialogClosed, this,
        &ConvertImageForm::on_previewDialogClosed, Qt::UniqueConnection);
    qDebug().noquote() << QStringLiteral("currentSelectedFile: ") + currentSelectedFile;
    previewDialog->setImage(currentSelectedFile);
    previewDialog->exec();
}

void ConvertImageForm::on_previewDialogClosed()
{
    previewDialogOpen = false;
}
