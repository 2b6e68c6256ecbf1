// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/lkcolorwidget.h"

#include <QColorDialog>
#include <QMouseEvent>
#include <QPainter>

LKColorWidget::LKColorWidget(QWidget *parent)
    : QWidget(parent)
{
}

void LKColorWidget::setColor(const QColor &color)
{
    currentColor = color;
    update();
}

void LKColorWidget::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    QColorDialog dialog(currentColor);
    connect(&dialog, &QColorDialog::colorSelected, this, [this](const QColor &color) {
        emit colorUpdated(color);
        setColor(color);
        repaint();
    });
    dialog.exec();
}

void LKColorWidget::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(this);
        painter.fillRect(event->rect(), currentColor);
        painter.setPen(Qt::red);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    QWidget::paintEvent(event);
}
