// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "filelist/convertimagepreviewlabel.h"

#include <QMouseEvent>
#include <QPainter>

ConvertImagePreviewLabel::ConvertImagePreviewLabel(QWidget *parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("previewImage"));
    setMinimumSize(400, 231);
    // Upward it shares the spare height with the option tabs, up to the wanted size.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    setWantedSize(minimumSize());
    setFrameShape(QFrame::Box);
    setAlignment(Qt::AlignCenter);
}

void ConvertImagePreviewLabel::showPixmap(const QPixmap &pixmap)
{
    if (pixmap.isNull()) {
        fitIconVisible = false;
    } else {
        setPixmap(pixmap);
        fitIconVisible = true;
    }
    repaint();
}

void ConvertImagePreviewLabel::setWantedSize(QSize size)
{
    size = size.expandedTo(minimumSize());
    if (size == wantedSize)
        return;
    wantedSize = size;
    setMaximumSize(size);
    updateGeometry();
}

// The shown pixmap has no say: the preview is fitted to the label, not the label to the preview.
// The column takes the wanted width; the height asks only for the minimum and grows into the room
// the layout has, so that the label is never squeezed below what it asks for.
QSize ConvertImagePreviewLabel::sizeHint() const
{
    return QSize(wantedSize.width(), minimumHeight());
}

void ConvertImagePreviewLabel::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (!fitIconVisible)
        return;
    QPainter painter(this);
    painter.drawPixmap(width() - 34, 10, QPixmap(QStringLiteral(":/resources/images/FitToSize24.png")));
}

void ConvertImagePreviewLabel::mousePressEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    if (p.y() >= 11 && p.y() <= 33 && p.x() > width() - 34 && p.x() < width() - 10)
        Q_EMIT mouseDoubleClick();
}

void ConvertImagePreviewLabel::mouseDoubleClickEvent(QMouseEvent *)
{
    Q_EMIT mouseDoubleClick();
}
