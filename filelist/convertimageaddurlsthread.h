// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "common/filesystemnames.h"
#include "filelist/skippedfiles.h"

#include <QElapsedTimer>
#include <QImage>
#include <QList>
#include <QMutex>
#include <QStringList>
#include <QThread>
#include <QUrl>
#include <atomic>
#include <memory>

class FilePathRegistry;

// Adds dropped or chosen files and folders to the file list, then makes the rows' icons.
// It never touches the model: new rows leave as queued addFileRows batches, in order, and the
// GUI thread creates them. Its duplicate test asks the shared registry, which holds every row
// already listed and every row on its way. URL lists may be queued while it runs; once it has
// found its queue empty for good it refuses further lists (enqueueUrls returns false), so the
// caller knows to hand them to a new worker instead of losing them.
class ConvertImageAddUrlsThread : public QThread {
    Q_OBJECT

public:
    explicit ConvertImageAddUrlsThread(std::shared_ptr<FilePathRegistry> registry, QObject *parent = nullptr);

    // Any thread. False when this worker no longer takes URLs.
    bool enqueueUrls(const QList<QUrl> &urls);

    // Ends the run between two files (or folder entries, or icons).
    void requestStop();

    // Any thread. The files of the rows the user sees: their icons are made next, the others
    // after them in list order. Each call replaces the earlier set.
    void setRowsInView(const QStringList &paths);

    // Rows are handed over when this many are waiting, or this long after the last batch.
    static constexpr int rowBatchSize = 500;
    static constexpr int rowBatchMs = 40;

Q_SIGNALS:
    void addUrlsThreadBegin();
    void addFileRows(QStringList paths);
    // Before addUrlsFinish, when the run left files out: how many and why.
    void filesSkipped(SkippedFiles skipped);
    void addUrlsFinish(QString lastPath);
    // The file is named by filePath, the row's Path text: icons find their row by path.
    void processFinish(QImage image, QString fileName, QString path, QString sizeStr, QString filePath);
    void addUrlsThreadEnd();
    // Files of a dropped folder whose names Qt cannot open (not valid UTF-8), as shown paths.
    void filesUnreachable(QStringList paths);

protected:
    void run() override;

private:
    bool takeUrl(QUrl *url);
    bool closeQueueIfEmpty();
    bool hasPendingUrls() const;
    void addFileOrFolder(const QString &path);
    void addFileRow(const QString &path);
    void handOverRows(bool now);
    void getItemsIcon();
    void putRowsInViewFirst();

    std::shared_ptr<FilePathRegistry> registry;
    std::atomic<bool> stopRequested { false };

    mutable QMutex queueMutex;
    QList<QUrl> pendingUrls;
    bool acceptingUrls = true;
    // Under queueMutex: set by setRowsInView, taken by the icon loop.
    QStringList rowsInView;
    bool rowsInViewChanged = false;

    // Worker thread only.
    QStringList pendingIconRows;
    QStringList rowBatch;
    QElapsedTimer batchClock;
    QString lastPath;
    SkippedFiles skipped;
    FileSystemNames names;
};
