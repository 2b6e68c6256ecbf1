// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "filelist/previewdialog.h"
#include "common/logging.h"
#include "ui_previewdialog.h"

#include "convert/conversionoptions.h"
#include "convert/targetnaming.h"
#include "filelist/loadfullpreviewimagethread.h"

#include <QDebug>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QScrollBar>

PreviewDialog::PreviewDialog(bool *previewDialogOpen, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::PreviewDialog)
    , previewDialogOpen(previewDialogOpen)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint);
    if (previewDialogOpen)
        *previewDialogOpen = true;
    resizeTimer.setInterval(10);
    connect(&resizeTimer, &QTimer::timeout, this, &PreviewDialog::updateTimer);
    connect(ui->previewLabel, &ConvertImageFullPreviewLabel::needToResizeImage, this,
        &PreviewDialog::onNeedToResizeImage);
    connect(ui->previewLabel, &ConvertImageFullPreviewLabel::startDragImage, this,
        &PreviewDialog::onStartDragImage);
    connect(
        ui->previewLabel, &ConvertImageFullPreviewLabel::endDragImage, this, &PreviewDialog::onEndDragImage);
    connect(ui->previewLabel, &ConvertImageFullPreviewLabel::mouseMove, this, &PreviewDialog::onMouseMove);
}

PreviewDialog::~PreviewDialog()
{
    qDebug() << "~PreviewDialog()";
    if (worker)
        disconnect(worker, nullptr, this, nullptr);
    delete ui;
}

void PreviewDialog::setImage(const QString &newPath)
{
    if (!QFileInfo(newPath).exists())
        return;
    setWindowTitle(tr("Preview - ") + QFileInfo(newPath).fileName());
    path = newPath;
    sizeForPicture(TargetNaming::targetSize(path, optionsSnapshot()));
    auto *thread = new LoadFullPreviewImageThread(path);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    connect(thread, &LoadFullPreviewImageThread::previewImageReady, this,
        &PreviewDialog::handleFullPreviewImageReady);
    // An older render still running must not replace the newer picture when it ends.
    if (worker)
        disconnect(worker, &LoadFullPreviewImageThread::previewImageReady, this, nullptr);
    worker = thread;
    thread->start(QThread::InheritPriority);
}

QSize PreviewDialog::openingSize(QSize picture, QSize chrome, QSize available, QSize minimum)
{
    const QSize largest(available.width() * 4 / 5, available.height() * 4 / 5);
    if (picture.isEmpty())
        return minimum.boundedTo(largest);
    const QSize room = (largest - chrome).expandedTo(QSize(1, 1));
    const QSize shown = picture.width() > room.width() || picture.height() > room.height()
        ? picture.scaled(room, Qt::KeepAspectRatio)
        : picture;
    return (shown + chrome).expandedTo(minimum).boundedTo(largest);
}

// The picture's size comes from its header and the scale options, before it is rendered, so the
// dialog opens at its size instead of growing when the render arrives.
void PreviewDialog::sizeForPicture(QSize picture)
{
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    layout()->activate();
    const QSize chrome = size() - visibleArea();
    const QRect available = screen->availableGeometry();
    resize(openingSize(picture, chrome, available.size(), QSize(320, 240)));
    move(available.center() - rect().center());
}

QString PreviewDialog::zoomText() const
{
    return ui->percentResizeLabel->text();
}

void PreviewDialog::handleFullPreviewImageReady(QImage image)
{
    fullPixmap = QPixmap::fromImage(image);
    renderAnswered = true;
    fitToWindow();
}

QSize PreviewDialog::visibleArea() const
{
    return ui->scrollArea->size() - QSize(16, 4);
}

void PreviewDialog::fitToWindow()
{
    const QSize area = visibleArea();
    ui->scrollAreaWidgetContents->setFixedSize(area);
    ui->previewLabel->setFixedSize(area);
    // Until the render answers, the label keeps its waiting text and no size is claimed.
    if (!renderAnswered)
        return;
    ui->sizeInfoLabel->setText(
        QString::number(fullPixmap.width()) + QLatin1Char('x') + QString::number(fullPixmap.height()));
    if (area.isEmpty()) {
        displayedPixmap = QPixmap();
        ui->previewLabel->setPixmap(displayedPixmap);
        return;
    }
    const float byWidth = float(fullPixmap.width()) / float(area.width());
    const float byHeight = float(fullPixmap.height()) / float(area.height());
    if (byWidth < byHeight)
        displayedPixmap = fullPixmap.scaledToHeight(area.height(), Qt::FastTransformation);
    else
        displayedPixmap = fullPixmap.scaledToWidth(area.width(), Qt::FastTransformation);
    showZoom();
}

void PreviewDialog::showZoom()
{
    if (fullPixmap.width() > 0) {
        const double zoom = double(displayedPixmap.width()) / double(fullPixmap.width());
        ui->percentResizeLabel->setText(QString::number(qRound(zoom * 100)) + QLatin1Char('%'));
    }
    ui->previewLabel->setPixmap(displayedPixmap);
}

void PreviewDialog::onNeedToResizeImage(int step)
{
    if (fullPixmap.isNull())
        return;
    const int w = displayedPixmap.width();
    int newWidth = w;
    if (step > 0) {
        newWidth = int(double(w) + double(w) * 0.1);
        const QScreen *screen = QGuiApplication::primaryScreen();
        const double screenWidthMm = screen ? screen->physicalSize().width() : 0.0;
        if (newWidth > 4 * fullPixmap.width() && newWidth >= screenWidthMm)
            return;
    } else if (step < 0) {
        newWidth = int(double(w) - double(w) * 0.1);
        if (newWidth < 40)
            return;
    } else {
        return;
    }
    displayedPixmap = fullPixmap.scaledToWidth(newWidth, Qt::FastTransformation);
    showZoom();
    const QSize area = visibleArea();
    const QSize content(
        qMax(displayedPixmap.width(), area.width()), qMax(displayedPixmap.height(), area.height()));
    ui->scrollAreaWidgetContents->setFixedSize(content);
    ui->previewLabel->setFixedSize(content);
}

void PreviewDialog::onStartDragImage(QPoint point)
{
    dragging = true;
    lastDragPoint = point;
}

void PreviewDialog::onEndDragImage()
{
    dragging = false;
}

void PreviewDialog::onMouseMove(QPoint globalPoint, QPoint)
{
    if (!dragging)
        return;
    QScrollBar *h = ui->scrollArea->horizontalScrollBar();
    QScrollBar *v = ui->scrollArea->verticalScrollBar();
    h->setValue(h->value() + lastDragPoint.x() - globalPoint.x());
    v->setValue(v->value() + lastDragPoint.y() - globalPoint.y());
    lastDragPoint = globalPoint;
}

void PreviewDialog::updateTimer()
{
    fitToWindow();
    resizeTimer.stop();
}

void PreviewDialog::showEvent(QShowEvent *event)
{
    if (previewDialogOpen)
        *previewDialogOpen = true;
    QDialog::showEvent(event);
}

void PreviewDialog::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    resizeTimer.start(10);
}

void PreviewDialog::done(int result)
{
    if (previewDialogOpen)
        *previewDialogOpen = false;
    Q_EMIT previewDialogClosed();
    QDialog::done(result);
}
