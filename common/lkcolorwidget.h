// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QColor>
#include <QWidget>

// A colour swatch: shows its colour inside a red outline and lets the user pick another one
// with a left click.
class LKColorWidget : public QWidget {
    Q_OBJECT

public:
    explicit LKColorWidget(QWidget *parent = nullptr);

    QColor color() const { return currentColor; }
    void setColor(const QColor &color);

signals:
    void colorUpdated(const QColor &color);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QColor currentColor = Qt::white;
};
