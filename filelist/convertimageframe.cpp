// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "filelist/convertimageframe.h"

#include "imaging/renderpipeline.h"

#include <QDragEnterEvent>
#include <QFileInfo>
#include <QMimeData>

ConvertImageFrame::ConvertImageFrame(QWidget *parent)
    : QFrame(parent)
{
    setFrameShape(QFrame::Box);
    setFrameShadow(QFrame::Raised);
    setMinimumSize(431, 291);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAcceptDrops(true);
}

void ConvertImageFrame::dragEnterEvent(QDragEnterEvent *event)
{
    event->setDropAction(Qt::LinkAction);
    const QMimeData *mimeData = event->mimeData();
    if (!mimeData || !mimeData->hasUrls() || mimeData->urls().isEmpty()) {
        event->ignore();
        return;
    }
    // The first URL decides; the add worker vets the others.
    const QString path = mimeData->urls().constFirst().toLocalFile();
    event->setAccepted(QFileInfo(path).isDir() || isSupportedImageFile(path));
}

void ConvertImageFrame::dragMoveEvent(QDragMoveEvent *event)
{
    event->accept();
}

void ConvertImageFrame::dropEvent(QDropEvent *event)
{
    Q_EMIT addURLs(event->mimeData()->urls());
    event->accept();
}
