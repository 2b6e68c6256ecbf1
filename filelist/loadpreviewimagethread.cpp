// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "filelist/loadpreviewimagethread.h"

#include "common/logging.h"
#include "convert/conversionoptions.h"
#include "filelist/thumbnailcache.h"
#include "imaging/renderpipeline.h"
#include "plugins/imageformats/common/decodestop.h"

#include <QDebug>
#include <QImageWriter>
#include <QSaveFile>

LoadPreviewImageThread::LoadPreviewImageThread(
    const QString &path, QSize targetSize, bool reload, QObject *parent)
    : QThread(parent)
    , path(path)
    , targetSize(targetSize)
    , reload(reload)
{
}

void LoadPreviewImageThread::run()
{
    // A superseded preview's RAW development ends at LibRaw's next step.
    const DecodeStop::Scope stop([this] { return stopRequested.load(); });
    _loadImage();
}

void LoadPreviewImageThread::_loadImage()
{
    qDebug().noquote() << "ConvertImageForm::_loadImage: " + path;
    qDebug().noquote() << QStringLiteral("reload: ")
            + (reload ? QStringLiteral("true") : QStringLiteral("false"));
    const ThumbnailCache::Lookup found = ThumbnailCache::instance().lookup(path, reload);
    if (found.useThumbnail) {
        qDebug().nospace() << "Reload from thumbnail: ";
        qCDebug(lcFileList).noquote() << "Thumbnail read: " + found.thumbnailFilePath;
        const QImage image(found.thumbnailFilePath);
        if (!image.isNull()) {
            Q_EMIT updatePreviewImage(image);
            return;
        }
    }
    qDebug().noquote() << "thumbnailFilePath: " + found.thumbnailFilePath;
    createPreviewImage(found.thumbnailFilePath, found.number, found.generation);
}

void LoadPreviewImageThread::createPreviewImage(
    const QString &thumbnailFilePath, int number, quint64 generation)
{
    if (stopRequested)
        return;
    qDebug().noquote() << "LoadPreviewImageThread::createPreviewImage: " + path;
    if (stopRequested)
        return;
    const QSize target = targetSize;
    const QImage image = renderFittedPreview(
        path, optionsSnapshot(), [target](QSize size) { return fitPreviewSize(size, target); });
    qDebug().noquote() << "LoadPreviewImageThread::thumbnailFilePath: " + thumbnailFilePath;
    if (stopRequested)
        return;
    Q_EMIT updatePreviewImage(image);
    if (stopRequested || image.isNull())
        return;
    // Written whole and renamed into place: an overlapping worker never reads half a file.
    // The window's clean-up may be removing the thumbnails: then none is written behind it.
    const bool written = ThumbnailCache::instance().writeThumbnail([&] {
        QSaveFile file(thumbnailFilePath);
        return file.open(QIODevice::WriteOnly) && QImageWriter(&file, "webp").write(image) && file.commit();
    });
    if (written)
        ThumbnailCache::instance().markFresh(number, generation);
    qDebug().noquote() << "thumbnailFilePath: " + thumbnailFilePath;
}
