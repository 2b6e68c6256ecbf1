// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "filelist/addfilesdialog.h"

#include "convert/conversionoptions.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

QStringList AddFilesDialog::getImageFiles(QWidget *parent, const QString &fallbackFolder)
{
    QString start = conversionOptions().lastPicturesDir;
    if (!QFileInfo(start).exists())
        start = fallbackFolder;
    // An empty start folder would be the working directory, which means nothing to the user.
    if (start.isEmpty() || !QFileInfo(start).exists())
        start = QDir::homePath();
    const QStringList files = QFileDialog::getOpenFileNames(parent, tr("Add Image Files"), start,
        tr("Image Files (*.avif *.gif *.heic *.heif *.jpg *.jpeg *.jxl *.png *.tif *.tiff *.webp)")
            + QStringLiteral(";;") + tr("All files (*)"));
    if (!files.isEmpty()) {
        const QString folder = QFileInfo(files.constFirst()).path();
        updateOptions([&](ConversionOptions &o) { o.lastPicturesDir = folder; });
    }
    return files;
}
