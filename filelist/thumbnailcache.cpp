// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "filelist/thumbnailcache.h"

#include "common/logging.h"
#include "common/pathcompare.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <memory>

namespace {

QString withSlash(QString path)
{
    if (!path.endsWith(QLatin1Char('/')) && !path.endsWith(QLatin1Char('\\')))
        path += QLatin1Char('/');
    return path;
}

bool usableFolder(const QString &path)
{
    QDir dir(path);
    if (!dir.exists() && !QDir().mkpath(path))
        return false;
    return QFileInfo(path).isWritable();
}

bool inUserCacheFolder = false;

// Held for the life of the process: the lock on the shared folder, or the private folder of a
// second running copy (removed when the process ends).
struct ThumbnailFolder {
    QString path;
    std::unique_ptr<QLockFile> lock;
    std::unique_ptr<QTemporaryDir> privateDir;

    ThumbnailFolder()
    {
        QString base = withSlash(QCoreApplication::applicationDirPath()) + QStringLiteral("Thumbnails/");
        if (inUserCacheFolder || !usableFolder(base)) {
            base = withSlash(QStandardPaths::writableLocation(QStandardPaths::CacheLocation))
                + QStringLiteral("Thumbnails/");
            QDir().mkpath(base);
        }
        // Hidden, so the cleanup at exit (which removes visible files only) leaves it alone.
        lock = std::make_unique<QLockFile>(base + QStringLiteral(".pictomat.lock"));
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) {
            path = base;
            return;
        }
        lock.reset();
        const QString parent = QDir::cleanPath(base + QStringLiteral(".."));
        privateDir = std::make_unique<QTemporaryDir>(parent + QStringLiteral("/Thumbnails-XXXXXX"));
        if (!privateDir->isValid())
            privateDir = std::make_unique<QTemporaryDir>();
        path = withSlash(privateDir->path());
    }
};

} // namespace

ThumbnailCache &ThumbnailCache::instance()
{
    static ThumbnailCache cache;
    return cache;
}

void ThumbnailCache::useUserCacheFolder()
{
    inUserCacheFolder = true;
}

QString ThumbnailCache::thumbnailsDir()
{
    static ThumbnailFolder folder;
    if (!QDir(folder.path).exists())
        QDir().mkpath(folder.path);
    return folder.path;
}

ThumbnailCache::Lookup ThumbnailCache::lookup(const QString &path, bool reload)
{
    QMutexLocker locker(&mutex);
    if (reload) {
        ++generation;
        for (auto &record : LThumbnailData)
            record.needsReload = true;
    }
    Lookup result;
    result.generation = generation;
    for (int i = 0; i < LThumbnailData.size(); ++i) {
        qDebug() << "Compare";
        qDebug().noquote() << "LKLocalConvertImage::LThumbnailData[i].filePath: "
                + LThumbnailData[i].filePath;
        if (!samePath(LThumbnailData[i].filePath, path))
            continue;
        qDebug() << "found";
        result.number = i;
        result.thumbnailFilePath = thumbnailsDir() + QString::number(i) + QStringLiteral(".webp");
        result.useThumbnail = !LThumbnailData[i].needsReload && QFile::exists(result.thumbnailFilePath);
        return result;
    }
    // The record is reserved now, still stale, so that a worker overlapping this one numbers the
    // next file differently; it turns fresh once its thumbnail is written.
    result.number = LThumbnailData.size();
    LThumbnailData.append({ path, result.number, true });
    result.thumbnailFilePath = thumbnailsDir() + QString::number(result.number) + QStringLiteral(".webp");
    return result;
}

void ThumbnailCache::markFresh(int number, quint64 renderedGeneration)
{
    QMutexLocker locker(&mutex);
    if (number >= 0 && number < LThumbnailData.size() && renderedGeneration == generation)
        LThumbnailData[number].needsReload = false;
}

QList<LKLocalConvertImage::LThumbnailRecord> ThumbnailCache::records() const
{
    QMutexLocker locker(&mutex);
    return LThumbnailData;
}

bool ThumbnailCache::writeThumbnail(const std::function<bool()> &write)
{
    QMutexLocker locker(&writeMutex);
    return !writingStopped && write();
}

void ThumbnailCache::stopWriting()
{
    QMutexLocker locker(&writeMutex);
    writingStopped = true;
}

void ThumbnailCache::clear()
{
    QMutexLocker locker(&mutex);
    LThumbnailData.clear();
    QMutexLocker writeLocker(&writeMutex);
    writingStopped = false;
}

QSize fitPreviewSize(QSize image, QSize target)
{
    if (image.isEmpty() || target.isEmpty())
        return image;
    const float rw = float(image.width()) / float(target.width());
    const float rh = float(image.height()) / float(target.height());
    if (rw <= 1.0f && rh <= 1.0f)
        return image;
    const float f = qMax(rw, rh);
    // A sliver (a 48 x 65000 picture) would truncate to no width at all and preview as nothing.
    return QSize(qMax(1, int(float(image.width()) / f)), qMax(1, int(float(image.height()) / f)));
}
