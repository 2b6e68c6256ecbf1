#include "filelist/convertimageaddurlsthread.h"

#include "common/logging.h"
#include "common/pathcompare.h"
#include "filelist/filepathregistry.h"
#include "filelist/folderscan.h"
#include "filelist/listicon.h"
#include "imaging/renderpipeline.h"

#include <QDebug>
#include <QFileInfo>

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
        while (!stopRequested && takeUrl(&url))
            addFileOrFolder(normalPath(url.toLocalFile()));
        handOverRows(true);
        if (stopRequested)
            break;
        Q_EMIT addUrlsFinish(lastPath);
        // Stops early when URLs arrive; the icons still owed follow the next addUrlsFinish.
        getItemsIcon();
        if (closeQueueIfEmpty())
            break;
    }
    closeQueueIfEmpty();
    Q_EMIT addUrlsThreadEnd();
}

void ConvertImageAddUrlsThread::addFileOrFolder(const QString &path)
{
    if (path.isEmpty())
        return;
    if (!QFileInfo(path).isDir()) {
        addFileRow(path);
        return;
    }
    FolderScan scan(path, &stopRequested);
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
    if (!isSupportedImageFile(path))
        return;
    if (!registry->reserve(pathKey(path))) {
        qCDebug(lcFileList) << "isDuplicate=true";
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
    qCDebug(lcFileList) << "getItemsIcon";
    lowerIconThreadPriority();
    while (!pendingIconRows.isEmpty() && !hasPendingUrls() && !stopRequested) {
        const QString file = pendingIconRows.takeFirst();
        // Removed from the list meanwhile: no row would take the icon.
        if (!registry->contains(pathKey(file)))
            continue;
        const ListIcon icon = makeListIcon(file);
        const QFileInfo info(file);
        Q_EMIT processFinish(icon.image, info.fileName(), info.path(), icon.sizeStr, file);
    }
}
