// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "filelist/convertimageaddurlsthread.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QUrl>

class FileListModel;

// Runs the add worker for the file list: at most one at a time, further URL lists go to its
// queue, or, when it is already closing, to the next worker, started as soon as it is gone.
// Creates the rows it hands over and puts the icons on their rows, found by path. GUI thread.
class AddUrlsController : public QObject {
    Q_OBJECT

public:
    explicit AddUrlsController(FileListModel *model, QObject *parent = nullptr);
    ~AddUrlsController() override;

    void startAddUrls(const QList<QUrl> &urls);

    // True from the start of a worker until its end has been handled.
    bool addUrlsRunning() const { return running; }

    // The current worker, if any: its signals may be watched, never its queue fed directly.
    ConvertImageAddUrlsThread *addUrlsThread() const { return worker; }

    // Stops a running worker between two files and waits for its thread. Rows, finishes and icons
    // it had already sent are dropped, and so are URL lists waiting for a next worker: the work
    // is abandoned, as when the window closes.
    void stopAndWait();

    // The files of the rows in view, whose icons come first (again after each scroll).
    void setRowsInView(const QStringList &paths);

Q_SIGNALS:
    // A worker was started (the toolbar hides while files are added).
    void addUrlsStarted();
    // The queue was drained and every row up to lastPath is in the model.
    void addUrlsFinish(QString lastPath);
    // Files a run left out, before its addUrlsFinish.
    void filesSkipped(SkippedFiles skipped);
    // A worker ended and is gone; another may follow at once with lists handed over meanwhile.
    void addUrlsThreadDestroy();
    // Files of dropped folders that cannot be listed because of their names.
    void filesUnreachable(QStringList paths);

private:
    void startWorker(const QList<QUrl> &urls);
    void onAddFileRows(const QStringList &paths);
    void onAddUrlsFinish(const QString &lastPath);
    void onGetItemIconProcessFinish(const QImage &image, const QString &fileName, const QString &path,
        const QString &sizeStr, const QString &filePath);
    void onAddUrlsThreadDestroy();

    QPointer<FileListModel> model;
    QPointer<ConvertImageAddUrlsThread> worker;
    bool running = false;
    bool abandoned = false;
    QList<QUrl> handedOver;
};
