// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "filelist/convertimagefullpreviewlabel.h"

#include <QMouseEvent>
#include <QWheelEvent>
#include <cmath>

ConvertImageFullPreviewLabel::ConvertImageFullPreviewLabel(QWidget *parent)
    : QLabel(parent)
{
}

void ConvertImageFullPreviewLabel::mousePressEvent(QMouseEvent *event)
{
    Q_EMIT startDragImage(event->globalPosition().toPoint());
}

void ConvertImageFullPreviewLabel::mouseReleaseEvent(QMouseEvent *)
{
    Q_EMIT endDragImage();
}

void ConvertImageFullPreviewLabel::mouseMoveEvent(QMouseEvent *event)
{
    Q_EMIT mouseMove(event->globalPosition().toPoint(), event->position().toPoint());
}

void ConvertImageFullPreviewLabel::leaveEvent(QEvent *)
{
    Q_EMIT mouseLeave();
}

void ConvertImageFullPreviewLabel::wheelEvent(QWheelEvent *event)
{
    // Degrees, rounded half away from zero.
    const long dx = std::lround(event->angleDelta().x() / 8.0);
    const long dy = std::lround(event->angleDelta().y() / 8.0);
    if (dx == 0 && dy == 0) {
        event->ignore();
        return;
    }
    if (dy > 0)
        Q_EMIT needToResizeImage(1);
    else if (dy < 0)
        Q_EMIT needToResizeImage(-1);
    event->accept();
}
