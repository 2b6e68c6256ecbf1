// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QFrame>
#include <QList>
#include <QUrl>

// The drop target shown while the file list is empty. Its caption and picture are child labels
// placed by the form.
class ConvertImageFrame : public QFrame {
    Q_OBJECT

public:
    explicit ConvertImageFrame(QWidget *parent = nullptr);

Q_SIGNALS:
    void addURLs(QList<QUrl> urls);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
};
