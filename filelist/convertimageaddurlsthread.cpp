// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "filelist/convertimageaddurlsthread.h"

#include "common/logging.h"
#include "common/pathcompare.h"
#include "convert/conversionoptions.h"
#include "filelist/filepathregistry.h"
#include "filelist/folderscan.h"
#include "filelist/listicon.h"
#include "imaging/renderpipeline.h"
#include "plugins/imageformats/common/decodelimits.h"

#include <QDebug>
#include <QFileInfo>
#include <QImageReader>
#include <QSet>
#include <QThreadPool>
#include <deque>
#include <future>

ConvertImageAddUrlsThread::ConvertImageAddUrlsThread(
    std::shared_ptr<FilePathRegistry> registry, QObject *parent)
    : QThread(parent)
    , registry(std::move(registry))
{
}

bool ConvertImageAddUrlsThread::enqueueUrls(const QList<QUrl> &urls)
{
    QMutexLocker locker(&queueMutex);
    if (!acceptingUrls)
        return false;
    pendingUrls.append(urls);
    return true;
}

void ConvertImageAddUrlsThread::requestStop()
{
    stopRequested = true;
}

void ConvertImageAddUrlsThread::setRowsInView(const QStringList &paths)
{
    QMutexLocker locker(&queueMutex);
    rowsInView = paths;
    rowsInViewChanged = true;
}

// The icons still owed for rows in view move to the front, in list order; the rest keep theirs.
void ConvertImageAddUrlsThread::putRowsInViewFirst()
{
    QSet<QString> inView;
    {
        QMutexLocker locker(&queueMutex);
        if (!rowsInViewChanged)
            return;
        rowsInViewChanged = false;
        inView = QSet<QString>(rowsInView.cbegin(), rowsInView.cend());
    }
    if (inView.isEmpty())
        return;
    QStringList first, rest;
    for (const QString &file : std::as_const(pendingIconRows))
        (inView.contains(file) ? first : rest).append(file);
    pendingIconRows = first + rest;
}

bool ConvertImageAddUrlsThread::takeUrl(QUrl *url)
{
    QMutexLocker locker(&queueMutex);
    if (pendingUrls.isEmpty())
        return false;
    *url = pendingUrls.takeFirst();
    return true;
}

// The last queue check and the refusal of further URLs are one step under the lock: a list
// handed over a moment later is refused and goes to the next worker, never into a dead queue.
bool ConvertImageAddUrlsThread::closeQueueIfEmpty()
{
    QMutexLocker locker(&queueMutex);
    if (!pendingUrls.isEmpty() && !stopRequested)
        return false;
    acceptingUrls = false;
    return true;
}

bool ConvertImageAddUrlsThread::hasPendingUrls() const
{
    QMutexLocker locker(&queueMutex);
    return !pendingUrls.isEmpty();
}

void ConvertImageAddUrlsThread::run()
{
    setPriority(QThread::NormalPriority);
    Q_EMIT addUrlsThreadBegin();
    batchClock.start();
    for (;;) {
        QUrl url;
        // Each run reports its own last row: an empty path says it added nothing.
        lastPath.clear();
        skipped = {};
        while (!stopRequested && takeUrl(&url))
            addFileOrFolder(normalPath(url.toLocalFile()));
        handOverRows(true);
        if (stopRequested)
            break;
        if (skipped.total() > 0)
            Q_EMIT filesSkipped(skipped);
        Q_EMIT addUrlsFinish(lastPath);
        // Stops early when URLs arrive; the icons still owed follow the next addUrlsFinish.
        getItemsIcon();
        if (closeQueueIfEmpty())
            break;
    }
    closeQueueIfEmpty();
    Q_EMIT addUrlsThreadEnd();
}

void ConvertImageAddUrlsThread::addFileOrFolder(const QString &dropped)
{
    if (dropped.isEmpty()) {
        ++skipped.notLocal;
        return;
    }
    // Listed as the file system stores the name, so that on a memory card "img_1.jpg" and
    // "IMG_1.JPG" are one file, listed once; a folder's files come in their stored spelling.
    const QString path = names.storedSpelling(dropped);
    if (!QFileInfo(path).isDir()) {
        addFileRow(path);
        return;
    }
    FolderScan scan(path, &stopRequested);
    // The results of an earlier conversion into a folder inside this one are not sources.
    const ConversionOptions options = optionsSnapshot();
    if (!options.saveNextToOriginal && !options.outputFolder.isEmpty())
        scan.skipFolder(options.outputFolder);
    QString file;
    while (scan.next(&file))
        addFileRow(file);
    const QStringList unreachable = scan.unreachableNames();
    if (!unreachable.isEmpty()) {
        qCWarning(lcFileList).noquote()
            << "Names not valid in the file-name encoding:" << unreachable.join(QLatin1String(", "));
        Q_EMIT filesUnreachable(unreachable);
    }
}

void ConvertImageAddUrlsThread::addFileRow(const QString &path)
{
    if (!isSupportedImageFile(path)) {
        // A broken link counts as not found, like a name that is not there at all.
        ++(QFileInfo::exists(path) ? skipped.unsupported : skipped.missing);
        return;
    }
    if (!registry->reserve(pathKey(path))) {
        qDebug() << "isDuplicate=true";
        ++skipped.duplicates;
        return;
    }
    rowBatch.append(path);
    pendingIconRows.append(path);
    lastPath = path;
    handOverRows(false);
}

void ConvertImageAddUrlsThread::handOverRows(bool now)
{
    if (rowBatch.isEmpty())
        return;
    if (!now && rowBatch.size() < rowBatchSize && batchClock.elapsed() < rowBatchMs)
        return;
    Q_EMIT addFileRows(rowBatch);
    rowBatch.clear();
    batchClock.restart();
}

void ConvertImageAddUrlsThread::getItemsIcon()
{
    qDebug() << "getItemsIcon";
    // Icons are made on several cores at a low priority, a few files ahead, and handed over in
    // the rows' order. At most four at once: each may hold a whole decoded picture.
    const int threads = qBound(1, QThread::idealThreadCount(), 4);
    QThreadPool pool;
    pool.setMaxThreadCount(threads);
    std::deque<std::pair<QString, std::future<ListIcon>>> running;
    const auto startMore = [&] {
        putRowsInViewFirst();
        while (running.size() < size_t(2 * threads) && !pendingIconRows.isEmpty() && !hasPendingUrls()
            && !stopRequested) {
            const QString file = pendingIconRows.takeFirst();
            // Removed from the list meanwhile: no row would take the icon.
            if (!registry->contains(pathKey(file)))
                continue;
            auto task = std::make_shared<std::packaged_task<ListIcon()>>([file] {
                lowerIconThreadPriority();
                return makeListIcon(file);
            });
            running.emplace_back(file, task->get_future());
            pool.start([task] { (*task)(); });
        }
    };
    startMore();
    while (!running.empty()) {
        const QString file = running.front().first;
        const ListIcon icon = running.front().second.get();
        running.pop_front();
        if (!stopRequested && registry->contains(pathKey(file))) {
            const QFileInfo info(file);
            Q_EMIT processFinish(icon.image, info.fileName(), info.path(), icon.sizeStr, file);
        }
        startMore();
    }
}
