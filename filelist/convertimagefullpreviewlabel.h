// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLabel>
#include <QPoint>

// The image of the full preview; turns mouse input into drag and zoom requests.
class ConvertImageFullPreviewLabel : public QLabel {
    Q_OBJECT

public:
    explicit ConvertImageFullPreviewLabel(QWidget *parent = nullptr);

Q_SIGNALS:
    void startDragImage(QPoint starPos);
    void endDragImage();
    void mouseMove(QPoint globalPoint, QPoint localPoint);
    void mouseLeave();
    void needToResizeImage(int step);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
};
