// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLabel>

// The live preview on the main form: a boxed label with a fit-to-size picture in its top-right
// corner while it shows an image; a click there or a double-click opens the full preview. It is
// 400 x 231 at least and asks the layout for the size the form wants to give it (setWantedSize).
class ConvertImagePreviewLabel : public QLabel {
    Q_OBJECT

public:
    explicit ConvertImagePreviewLabel(QWidget *parent = nullptr);

    bool fitIconVisible = false;

    void showPixmap(const QPixmap &pixmap);

    // The size to grow to when the layout has the room; never below the minimum.
    void setWantedSize(QSize size);
    QSize sizeHint() const override;

Q_SIGNALS:
    void mouseDoubleClick();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QSize wantedSize;
};
