// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QCoreApplication>
#include <QStringList>

class QWidget;

// The "Add Image Files" dialog of the file list.
class AddFilesDialog {
    Q_DECLARE_TR_FUNCTIONS(AddFilesDialog)

public:
    // Asks for image files, starting in lastPicturesDir or, when nothing exists there, in
    // fallbackFolder (the user's Pictures folder). When files are chosen, lastPicturesDir becomes
    // the folder of the first one (forward slashes); the caller stores that setting.
    static QStringList getImageFiles(QWidget *parent, const QString &fallbackFolder);
};
