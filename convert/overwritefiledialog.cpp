// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/overwritefiledialog.h"

#include "ui_overwritefiledialog.h"

#include "common/filesystemnames.h"

#include <QDir>

OverwriteFileDialog::OverwriteFileDialog(QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::OverwriteFileDialog>())
{
    ui->setupUi(this);
    ui->treeWidget->setColumnWidth(0, 340);
    ui->treeWidget->setAccessibleName(tr("Existing files"));
    // Long lists and long paths: the dialog may be made larger.
    setSizeGripEnabled(true);
}

OverwriteFileDialog::~OverwriteFileDialog() = default;

void OverwriteFileDialog::setFiles(const QStringList &fileExistsList, const QStringList &fileSourceList)
{
    if (fileExistsList.size() < 2)
        ui->descLabel->setText(tr("The following file already exists. Do you wish to overwrite it?"));
    else
        ui->descLabel->setText(
            tr("The following files already exist. Check all files that you wish to overwrite."));

    ui->treeWidget->clear();
    for (qsizetype i = 0; i < fileExistsList.size(); ++i) {
        auto *item = new QTreeWidgetItem(ui->treeWidget);
        item->setText(0, fileExistsList.at(i));
        item->setText(1, fileSourceList.value(i));
        // Two IMG_0001.JPG from two cards are told apart by their whole paths.
        item->setToolTip(0, QDir::toNativeSeparators(fileExistsList.at(i)));
        item->setToolTip(1, QDir::toNativeSeparators(fileSourceList.value(i)));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        // Writing a source over itself loses the original for good: the user ticks it on purpose.
        const bool original = replacesOriginal(fileExistsList.at(i), fileSourceList.value(i));
        if (original)
            item->setText(2, tr("replaces the original"));
        item->setCheckState(0, original ? Qt::Unchecked : Qt::Checked);
    }
}

bool OverwriteFileDialog::replacesOriginal(const QString &target, const QString &source)
{
    // Asked of the file system: on a memory card "IMG_0001.jpg" is the camera's "IMG_0001.JPG".
    return FileSystemNames().sameFile(target, source);
}

void OverwriteFileDialog::on_selectAllButton_clicked()
{
    setAllChecked(Qt::Checked);
}

void OverwriteFileDialog::on_selectNoneButton_clicked()
{
    setAllChecked(Qt::Unchecked);
}

void OverwriteFileDialog::setAllChecked(Qt::CheckState state)
{
    for (int row = 0; row < ui->treeWidget->topLevelItemCount(); ++row)
        ui->treeWidget->topLevelItem(row)->setCheckState(0, state);
}

void OverwriteFileDialog::on_overwriteButton_clicked()
{
    if (answered)
        return;
    answered = true;
    overwriteList.clear();
    for (int row = 0; row < ui->treeWidget->topLevelItemCount(); ++row) {
        const QTreeWidgetItem *item = ui->treeWidget->topLevelItem(row);
        if (item->checkState(0) == Qt::Checked)
            overwriteList.append(item->text(1));
    }
    if (overwriteList.isEmpty())
        Q_EMIT convertFinish();
    else
        Q_EMIT overwriteFiles(overwriteList);
    finish(Accepted);
}

void OverwriteFileDialog::on_cancelButton_clicked()
{
    if (answered)
        return;
    answered = true;
    Q_EMIT convertFinish();
    finish(Rejected);
}

void OverwriteFileDialog::reject()
{
    on_cancelButton_clicked();
}

// Leaves the modal loop now rather than when the deferred delete happens to run, so the caller
// of exec() is never still waiting on a dialog that has answered.
void OverwriteFileDialog::finish(int result)
{
    QDialog::done(result);
    deleteLater();
}
