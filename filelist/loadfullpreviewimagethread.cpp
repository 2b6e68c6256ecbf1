#include "filelist/loadfullpreviewimagethread.h"

#include "imaging/renderpipeline.h"

LoadFullPreviewImageThread::LoadFullPreviewImageThread(const QString &path, QObject *parent)
    : QThread(parent)
    , path(path)
{
}

void LoadFullPreviewImageThread::run()
{
    Q_EMIT previewImageReady(renderFullPreview(path));
}
