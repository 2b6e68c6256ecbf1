// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDialog>

namespace Ui {
class RemoveThumbnailsDialog;
}

// True until the thumbnail files of this run have been removed (first close of the window).
bool thumbnailsCleanupPending();
void setThumbnailsCleanupPending(bool pending);

// Shown while the first close of the window removes the thumbnail files; then asks to close.
class RemoveThumbnailsDialog : public QDialog {
    Q_OBJECT

public:
    explicit RemoveThumbnailsDialog(QWidget *parent = nullptr);
    ~RemoveThumbnailsDialog() override;

    bool stopRequested = false;

    void removeThumbnailFiles();
    void reject() override;

Q_SIGNALS:
    void closeApp();

private Q_SLOTS:
    void on_cancelButton_clicked();

private:
    Ui::RemoveThumbnailsDialog *ui;
};
