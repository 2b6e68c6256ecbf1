#include "filelist/convertimagepreviewlabel.h"

#include <QMouseEvent>
#include <QPainter>

ConvertImagePreviewLabel::ConvertImagePreviewLabel(QWidget *parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("previewImage"));
    setMinimumSize(400, 231);
    setMaximumSize(400, 231);
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
