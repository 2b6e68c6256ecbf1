// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "filelist/addfilesdialog.h"

#include "convert/conversionoptions.h"
#include "plugins/imageformats/common/codecformats.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace {

// "*.dng *.cr2 ...": the camera RAW formats beside the others.
QString rawPatterns()
{
    QStringList patterns;
    for (const QByteArray &format : rawFormats())
        patterns.append(QStringLiteral("*.") + QString::fromLatin1(format));
    return patterns.join(QLatin1Char(' '));
}

} // namespace

QStringList AddFilesDialog::getImageFiles(QWidget *parent, const QString &fallbackFolder)
{
    QString start = conversionOptions().lastPicturesDir;
    if (!QFileInfo(start).exists())
        start = fallbackFolder;
    // An empty start folder would be the working directory, which means nothing to the user.
    if (start.isEmpty() || !QFileInfo(start).exists())
        start = QDir::homePath();
    const QStringList files = QFileDialog::getOpenFileNames(parent, tr("Add Image Files"), start,
        tr("Image Files (*.avif *.gif *.heic *.heif *.jpg *.jpeg *.jxl *.png *.tif *.tiff *.webp %1)")
                .arg(rawPatterns())
            + QStringLiteral(";;") + tr("All files (*)"));
    if (!files.isEmpty()) {
        const QString folder = QFileInfo(files.constFirst()).path();
        updateOptions([&](ConversionOptions &o) { o.lastPicturesDir = folder; });
    }
    return files;
}
