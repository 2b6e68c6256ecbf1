// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDialog>
#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QTimer>

namespace Ui {
class PreviewDialog;
}
class LoadFullPreviewImageThread;

// Shows the current file rendered at full resolution, with wheel zoom and drag scrolling.
// Created once by the form and reused for every opening.
class PreviewDialog : public QDialog {
    Q_OBJECT

public:
    PreviewDialog(bool *previewDialogOpen, QWidget *parent = nullptr);
    ~PreviewDialog() override;

    // Renders the file and sizes the dialog to show the picture whole, within 80 % of the screen.
    void setImage(const QString &path);

    // The dialog size that shows a `picture` whole with `chrome` (the dialog less its visible
    // area) around it, reduced in proportion to fit 80 % of `available`; never below `minimum`.
    static QSize openingSize(QSize picture, QSize chrome, QSize available, QSize minimum);

    // The zoom label's text and the shown size (tests and the window title read them).
    QString zoomText() const;
    QSize displayedSize() const { return displayedPixmap.size(); }
    QSize fullSize() const { return fullPixmap.size(); }

Q_SIGNALS:
    void previewDialogClosed();

public Q_SLOTS:
    void handleFullPreviewImageReady(QImage image);
    void onNeedToResizeImage(int step);
    void onStartDragImage(QPoint point);
    void onEndDragImage();
    void onMouseMove(QPoint globalPoint, QPoint localPoint);
    void updateTimer();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void done(int result) override;

private:
    void fitToWindow();
    void showZoom();
    QSize visibleArea() const;
    void sizeForPicture(QSize picture);

    Ui::PreviewDialog *ui;
    bool *previewDialogOpen;
    QString path;
    QPixmap fullPixmap;
    QPixmap displayedPixmap;
    bool renderAnswered = false;
    bool dragging = false;
    QPoint lastDragPoint;
    QTimer resizeTimer;
    QPointer<LoadFullPreviewImageThread> worker;
};
