// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QMutex>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>

namespace LKLocalConvertImage {

// One previewed source and its thumbnail file, numbered by its position in the list.
struct LThumbnailRecord {
    QString filePath;
    int thumbnailNumber = 0;
    bool needsReload = false;
};

} // namespace LKLocalConvertImage

// The thumbnail records of this run and the folder their files live in. Preview workers use it
// from their threads; one lock covers lookup and append so that overlapping workers never number
// two records alike.
class ThumbnailCache {
public:
    static ThumbnailCache &instance();

    // The folder of this process's thumbnails, ending with "/". Beside the executable when that
    // is writable (a portable copy), else, or for an installed copy, in the user's cache folder.
    // The first running copy of the program takes that folder with a lock; a second copy gets a
    // private folder that is removed at exit, so two copies never read each other's numbered files.
    static QString thumbnailsDir();

    // An installed copy cannot write beside its executable (and must not, when run by root): its
    // thumbnails go to the user's cache folder from the start. Called before the first preview.
    static void useUserCacheFolder();

    // What a worker should do for a path.
    struct Lookup {
        QString thumbnailFilePath;
        bool useThumbnail = false; // true: read thumbnailFilePath instead of rendering
        int number = 0;
        quint64 generation = 0;
    };

    // Marks every record stale when `reload`, then finds the path's record or appends a new one.
    Lookup lookup(const QString &path, bool reload);

    // The thumbnail of `number` was written from options no older than `generation`.
    void markFresh(int number, quint64 generation);

    QList<LKLocalConvertImage::LThumbnailRecord> records() const;

    // Runs `write` (a worker saving a thumbnail) unless the thumbnails are being removed; false
    // when it was not run or failed. The removal waits for a write under way.
    bool writeThumbnail(const std::function<bool()> &write);
    // No thumbnail is written from now on: the files are about to be removed.
    void stopWriting();

    // Drops every record and lets thumbnails be written again (tests).
    void clear();

private:
    ThumbnailCache() = default;

    mutable QMutex mutex;
    QMutex writeMutex;
    bool writingStopped = false;
    QList<LKLocalConvertImage::LThumbnailRecord> LThumbnailData;
    quint64 generation = 0;
};

// The size a preview of `image` gets inside `target`: never enlarged, proportions kept with
// single-precision quotients, truncated.
QSize fitPreviewSize(QSize image, QSize target);
