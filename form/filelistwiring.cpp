// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/lkglobal.h"
#include "common/logging.h"
#include "filelist/addfilesdialog.h"
#include "filelist/convertimageframe.h"
#include "filelist/convertimagepreviewlabel.h"
#include "filelist/convertimagetreeview.h"
#include "form/convertimageform.h"
#include "ui_convertimageform.h"

#include <QDebug>
#include <QFileDialog>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMessageBox>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

void ConvertImageForm::setupFileList()
{
    ui->sourceTreeView->setModel(&sourceModel);
    ui->sourceTreeView->setAcceptDrops(true);
    ui->sourceTreeView->setDragEnabled(true);
    ui->sourceTreeView->setDragDropMode(QAbstractItemView::InternalMove);
    ui->sourceTreeView->setDefaultDropAction(Qt::MoveAction);
    ui->sourceFrame->setAcceptDrops(true);

    connect(ui->sourceTreeView, &ConvertImageTreeView::addURLs, this, &ConvertImageForm::on_AddURLs);
    connect(ui->sourceFrame, &ConvertImageFrame::addURLs, this, &ConvertImageForm::on_AddURLs);
    connect(ui->sourceTreeView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        &ConvertImageForm::on_itemSelection_changed);

    connect(&addUrls, &AddUrlsController::addUrlsStarted, this, [this] { emit showToolbarSignal(false); });
    connect(&addUrls, &AddUrlsController::addUrlsFinish, this, &ConvertImageForm::onAddUrlsFinish);
    connect(&addUrls, &AddUrlsController::filesSkipped, this,
        [this](const SkippedFiles &skipped) { skippedInAdd += skipped; });
    connect(&addUrls, &AddUrlsController::filesUnreachable, this, [this](const QStringList &paths) {
        QMessageBox::warning(this, tr("Files not added"),
            tr("These files have names that are not valid UTF-8 and cannot be opened; rename them to "
               "convert them:\n%1")
                .arg(paths.join(QLatin1Char('\n'))));
    });
    // Icons are made for the rows in view first, again after each scroll.
    connect(ui->sourceTreeView->verticalScrollBar(), &QScrollBar::valueChanged, this,
        &ConvertImageForm::sendRowsInView);
    connect(
        &addUrls, &AddUrlsController::addUrlsThreadDestroy, this, &ConvertImageForm::onAddUrlsThreadDestroy);

    ui->removeButton->setEnabled(false);
    ui->clearButton->setEnabled(false);
    ui->convertButton->setEnabled(false);
    ui->upButton->setEnabled(false);
    ui->downButton->setEnabled(false);
    setUpFileCount();
}

// How many files the list holds, under it; nothing while it is empty (the drop frame shows then).
void ConvertImageForm::setUpFileCount()
{
    fileCountLabel = new QLabel(this);
    fileCountLabel->setObjectName(QStringLiteral("fileCountLabel"));
    fileCountLabel->setVisible(false);
    auto *column = new QVBoxLayout;
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    const int at = ui->contentLayout->indexOf(ui->sourceStackedWidget);
    ui->contentLayout->removeWidget(ui->sourceStackedWidget);
    column->addWidget(ui->sourceStackedWidget, 1);
    column->addWidget(fileCountLabel);
    ui->contentLayout->insertLayout(at, column, 1);
    const auto update = [this] {
        const int rows = sourceModel.rowCount();
        fileCountLabel->setText(rows == 1 ? tr("1 file") : tr("%1 files").arg(rows));
        fileCountLabel->setVisible(rows > 0);
    };
    connect(&sourceModel, &QAbstractItemModel::rowsInserted, this, update);
    connect(&sourceModel, &QAbstractItemModel::rowsRemoved, this, update);
    connect(&sourceModel, &QAbstractItemModel::modelReset, this, update);
}

void ConvertImageForm::sendRowsInView()
{
    if (!addUrls.addUrlsRunning())
        return;
    const QTreeView *view = ui->sourceTreeView;
    const QRect area = view->viewport()->rect();
    const QModelIndex top = view->indexAt(area.topLeft());
    if (!top.isValid())
        return;
    const QModelIndex bottom = view->indexAt(area.bottomLeft());
    const int last = bottom.isValid() ? bottom.row() : sourceModel.rowCount() - 1;
    QStringList files;
    for (int row = top.row(); row <= last; ++row)
        files.append(sourceModel.filePath(row));
    addUrls.setRowsInView(files);
}

void ConvertImageForm::on_AddURLs(const QList<QUrl> &urls)
{
    startAddUrls(urls);
}

void ConvertImageForm::addFromOutside(const QList<QUrl> &urls)
{
    if (progressPage) {
        waitingForConversion.append(urls);
        return;
    }
    startAddUrls(urls);
}

void ConvertImageForm::on_ImageFilesSelected(const QList<QString> &pathList)
{
    QList<QUrl> urls;
    urls.reserve(pathList.size());
    for (const QString &path : pathList)
        urls.append(QUrl::fromLocalFile(path));
    if (!urls.isEmpty())
        startAddUrls(urls);
}

void ConvertImageForm::startAddUrls(const QList<QUrl> &urls)
{
    if (!addUrls.addUrlsRunning())
        selectedBeforeAdd = currentSelectedFile;
    ui->sourceTreeView->clearSelection();
    addUrls.startAddUrls(urls);
}

void ConvertImageForm::onAddUrlsFinish(const QString &lastPath)
{
    const QString skippedNote = skippedFilesMessage(std::exchange(skippedInAdd, {}));
    if (!skippedNote.isEmpty())
        emit statusMessage(skippedNote);
    if (lastPath.isEmpty()) {
        nothingAdded(!skippedNote.isEmpty());
        return;
    }
    uiReady = false;
    qDebug().noquote() << QStringLiteral("ConvertImageForm::onAddUrlsFinish: ") + lastPath;
    loadImage(lastPath, false);
    currentSelectedFile = lastPath;
    const int rows = sourceModel.rowCount();
    if (rows > 0)
        ui->sourceTreeView->setCurrentIndex(sourceModel.index(rows - 1, FileListModel::NameColumn));
    ui->convertButton->setEnabled(true);
    ui->clearButton->setEnabled(true);
    ui->removeButton->setEnabled(true);
    // The last row is now the selection; the flags follow it although the handler was held off.
    hasSelection = rows > 0;
    canMoveUp = rows > 1;
    canMoveDown = false;
    ui->upButton->setEnabled(canMoveUp);
    ui->downButton->setEnabled(false);
    ui->sourceStackedWidget->setCurrentWidget(ui->sourceTreeView);
    emit showToolbarSignal(true);
    applyTheme();
    uiReady = true;
    // The list scrolls to its last row once it is laid out; a list that does not scroll still
    // has rows in view.
    QTimer::singleShot(0, this, &ConvertImageForm::sendRowsInView);
}

void ConvertImageForm::onAddUrlsThreadDestroy()
{
    qDebug() << "onAddUrlsThreadDestroy";
    emit showToolbarSignal(true);
}

void ConvertImageForm::onGetItemIconProcessFinish(
    QPixmap pixmap, QString fileName, QString path, QString sizeStr, int index)
{
    if (index < 0 || index >= sourceModel.rowCount())
        return;
    sourceModel.setFileIcon(sourceModel.filePath(index), pixmap.toImage(), fileName, path, sizeStr);
}

void ConvertImageForm::nothingAdded(bool explained)
{
    // An empty folder or only duplicates: the page and the buttons stay, the row selected before
    // the add is selected (and previewed) again. Files left out have been explained already.
    if (!explained)
        emit statusMessage(tr("No new images found"));
    const int rows = sourceModel.rowCount();
    if (rows == 0)
        return;
    const int row = sourceModel.rowOfFile(selectedBeforeAdd);
    ui->sourceTreeView->setCurrentIndex(
        sourceModel.index(row >= 0 ? row : rows - 1, FileListModel::NameColumn));
}

void ConvertImageForm::on_itemSelection_changed(const QItemSelection &selected, const QItemSelection &)
{
    if (!uiReady)
        return;
    const ConvertImageTreeView::SelectionState state = ui->sourceTreeView->selectionState(selected);
    hasSelection = state.hasSelection;
    ui->removeButton->setEnabled(hasSelection);
    if (!hasSelection) {
        ui->upButton->setEnabled(false);
        ui->downButton->setEnabled(false);
        ui->previewImage->setText(tr("Preview"));
    } else if (!state.filePath.isEmpty()) {
        canMoveUp = state.canMoveUp;
        canMoveDown = state.canMoveDown;
        ui->upButton->setEnabled(canMoveUp);
        ui->downButton->setEnabled(canMoveDown);
        qDebug().noquote() << QStringLiteral("on_itemSelection_changed: ") + state.filePath;
        loadImage(state.filePath, false);
        currentSelectedFile = state.filePath;
    }
    applyTheme();
}

void ConvertImageForm::on_addFilesButton_clicked()
{
    ui->sourceTreeView->clearSelection();
    const QStringList files = AddFilesDialog::getImageFiles(this, LKGlobal::picturesFolder());
    if (!files.isEmpty())
        storeSetting(SettingItem::LastPicturesDir);
    on_ImageFilesSelected(files);
}

void ConvertImageForm::on_addFolderButton_clicked()
{
    ui->sourceTreeView->clearSelection();
    QString start = conversionOptions().lastPicturesDir;
    if (start.isEmpty() || !QFileInfo(start).isDir())
        start = LKGlobal::picturesFolder();
    if (start.isEmpty() || !QFileInfo(start).isDir())
        start = QDir::homePath();
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Add Folder"), start);
    if (folder.isEmpty())
        return;
    updateOptions([&](ConversionOptions &o) { o.lastPicturesDir = QDir::fromNativeSeparators(folder); });
    storeSetting(SettingItem::LastPicturesDir);
    // Scanned as a dropped folder is: every picture in it and in its subfolders.
    startAddUrls({ QUrl::fromLocalFile(folder) });
}

void ConvertImageForm::on_removeButton_clicked()
{
    ui->sourceTreeView->removeSelectedRows();
    if (sourceModel.rowCount() == 0) {
        currentSelectedFile.clear();
        ui->convertButton->setEnabled(false);
        ui->clearButton->setEnabled(false);
        applyTheme();
    }
}

void ConvertImageForm::on_clearButton_clicked()
{
    // A long list took work to gather: emptying it asks first. Escape keeps it.
    constexpr int FewFiles = 5;
    if (sourceModel.rowCount() > FewFiles
        && QMessageBox::question(this, tr("Clear"),
               tr("Remove all %1 files from the list?").arg(sourceModel.rowCount()),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            != QMessageBox::Yes)
        return;
    sourceModel.removeRows(0, sourceModel.rowCount());
    currentSelectedFile.clear();
    hasSelection = false;
    ui->convertButton->setEnabled(false);
    ui->removeButton->setEnabled(false);
    ui->clearButton->setEnabled(false);
    ui->upButton->setEnabled(false);
    ui->downButton->setEnabled(false);
    ui->previewImage->showPixmap(QPixmap());
    ui->previewImage->clear();
    ui->previewImage->setText(tr("Preview"));
    ui->sourceStackedWidget->setCurrentWidget(ui->sourceFrame);
    applyTheme();
}

void ConvertImageForm::on_upButton_clicked()
{
    ui->sourceTreeView->moveSelectedRowsUp();
}

void ConvertImageForm::on_downButton_clicked()
{
    ui->sourceTreeView->moveSelectedRowsDown();
}
