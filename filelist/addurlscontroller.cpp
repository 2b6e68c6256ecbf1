// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "filelist/addurlscontroller.h"

#include "common/logging.h"
#include "filelist/filelistmodel.h"
#include "filelist/filepathregistry.h"

#include <QDebug>

namespace {

QString boolText(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

} // namespace

AddUrlsController::AddUrlsController(FileListModel *model, QObject *parent)
    : QObject(parent)
    , model(model)
{
}

AddUrlsController::~AddUrlsController()
{
    stopAndWait();
    delete worker.data();
    // Rows still queued to this object will never be created.
    if (model)
        model->registry()->releaseAll();
}

void AddUrlsController::startAddUrls(const QList<QUrl> &urls)
{
    if (running) {
        qDebug().noquote() << QStringLiteral("convertImageAddUrlsThreadStat #1: ") + boolText(running);
        if (!worker || !worker->enqueueUrls(urls))
            handedOver.append(urls);
        return;
    }
    qDebug().noquote() << QStringLiteral("convertImageAddUrlsThreadStat #2: ") + boolText(running);
    startWorker(urls);
}

void AddUrlsController::setRowsInView(const QStringList &paths)
{
    if (worker)
        worker->setRowsInView(paths);
}

void AddUrlsController::startWorker(const QList<QUrl> &urls)
{
    if (!model)
        return;
    running = true;
    worker = new ConvertImageAddUrlsThread(model->registry());
    connect(worker, &ConvertImageAddUrlsThread::addFileRows, this, &AddUrlsController::onAddFileRows);
    connect(worker, &ConvertImageAddUrlsThread::addUrlsFinish, this, &AddUrlsController::onAddUrlsFinish);
    connect(worker, &ConvertImageAddUrlsThread::processFinish, this,
        &AddUrlsController::onGetItemIconProcessFinish);
    connect(worker, &QThread::finished, this, &AddUrlsController::onAddUrlsThreadDestroy);
    connect(worker, &ConvertImageAddUrlsThread::filesSkipped, this, [this](const SkippedFiles &skipped) {
        if (!abandoned)
            Q_EMIT filesSkipped(skipped);
    });
    connect(worker, &ConvertImageAddUrlsThread::filesUnreachable, this, [this](const QStringList &paths) {
        if (!abandoned)
            Q_EMIT filesUnreachable(paths);
    });
    worker->enqueueUrls(urls);
    Q_EMIT addUrlsStarted();
    worker->start(QThread::InheritPriority);
}

void AddUrlsController::stopAndWait()
{
    handedOver.clear();
    if (!worker)
        return;
    abandoned = true;
    worker->requestStop();
    worker->wait();
}

void AddUrlsController::onAddFileRows(const QStringList &paths)
{
    if (model && !abandoned)
        model->appendFiles(paths);
}

void AddUrlsController::onAddUrlsFinish(const QString &lastPath)
{
    if (!abandoned)
        Q_EMIT addUrlsFinish(lastPath);
}

void AddUrlsController::onGetItemIconProcessFinish(const QImage &image, const QString &fileName,
    const QString &path, const QString &sizeStr, const QString &filePath)
{
    if (model && !abandoned)
        model->setFileIcon(filePath, image, fileName, path, sizeStr);
}

void AddUrlsController::onAddUrlsThreadDestroy()
{
    running = false;
    if (worker)
        worker->deleteLater();
    worker = nullptr;
    // The rows an abandoned worker had on their way will never be created.
    if (abandoned && model)
        model->registry()->releaseAll();
    abandoned = false;
    Q_EMIT addUrlsThreadDestroy();
    qCDebug(lcFileList) << "onAddUrlsThreadDestroy";
    if (!handedOver.isEmpty())
        startWorker(std::exchange(handedOver, {}));
}
