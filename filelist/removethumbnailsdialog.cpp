// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "filelist/removethumbnailsdialog.h"
#include "ui_removethumbnailsdialog.h"

#include "filelist/thumbnailcache.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace {
bool cleanupPending = true;
}

bool thumbnailsCleanupPending()
{
    return cleanupPending;
}

void setThumbnailsCleanupPending(bool pending)
{
    cleanupPending = pending;
}

RemoveThumbnailsDialog::RemoveThumbnailsDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::RemoveThumbnailsDialog)
{
    ui->setupUi(this);
    // Modal, so that the only input reaching the program while files are removed is this
    // dialog's own: Cancel works, and no second close or conversion can start.
    setModal(true);
}

RemoveThumbnailsDialog::~RemoveThumbnailsDialog()
{
    delete ui;
}

void RemoveThumbnailsDialog::removeThumbnailFiles()
{
    ThumbnailCache::instance().stopWriting();
    const QString dir = ThumbnailCache::thumbnailsDir();
    const QStringList names = QDir(dir).entryList(QDir::Files, QDir::NoSort);
    for (const QString &name : names) {
        // Lets the dialog paint and its Cancel be pressed between files.
        QCoreApplication::processEvents();
        if (stopRequested)
            break;
        QFile(dir + name).remove();
    }
    setThumbnailsCleanupPending(false);
    Q_EMIT closeApp();
}

void RemoveThumbnailsDialog::on_cancelButton_clicked()
{
    stopRequested = true;
}

// Escape and the close control stop the removal like Cancel; the window closes all the same.
void RemoveThumbnailsDialog::reject()
{
    stopRequested = true;
    QDialog::reject();
}
