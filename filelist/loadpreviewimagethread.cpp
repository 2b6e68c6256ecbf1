#include "filelist/loadpreviewimagethread.h"

#include "common/logging.h"
#include "filelist/thumbnailcache.h"
#include "imaging/renderpipeline.h"

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
    _loadImage();
}

void LoadPreviewImageThread::_loadImage()
{
    qCDebug(lcFileList).noquote() << "ConvertImageForm::_loadImage: " + path;
    qCDebug(lcFileList) << "reload: " << reload;
    const ThumbnailCache::Lookup found = ThumbnailCache::instance().lookup(path, reload);
    if (found.useThumbnail) {
        qCDebug(lcFileList).noquote() << "Reload from thumbnail: " + found.thumbnailFilePath;
        const QImage image(found.thumbnailFilePath);
        if (!image.isNull()) {
            Q_EMIT updatePreviewImage(image);
            return;
        }
    }
    qCDebug(lcFileList).noquote() << "thumbnailFilePath: " + found.thumbnailFilePath;
    createPreviewImage(found.thumbnailFilePath, found.number, found.generation);
}

void LoadPreviewImageThread::createPreviewImage(
    const QString &thumbnailFilePath, int number, quint64 generation)
{
    if (stopRequested)
        return;
    qCDebug(lcFileList).noquote() << "LoadPreviewImageThread::createPreviewImage: " + path;
    if (stopRequested)
        return;
    const QSize target = targetSize;
    const QImage image
        = renderFittedPreview(path, [target](QSize size) { return fitPreviewSize(size, target); });
    qCDebug(lcFileList).noquote() << "LoadPreviewImageThread::thumbnailFilePath: " + thumbnailFilePath;
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
    qCDebug(lcFileList).noquote() << "thumbnailFilePath: " + thumbnailFilePath;
}
