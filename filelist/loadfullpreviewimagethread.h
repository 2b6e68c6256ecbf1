// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>
#include <QThread>

// Renders the full-size preview of one file with full-quality scaling.
class LoadFullPreviewImageThread : public QThread {
    Q_OBJECT

public:
    explicit LoadFullPreviewImageThread(const QString &path, QObject *parent = nullptr);

Q_SIGNALS:
    void previewImageReady(QImage image);

protected:
    void run() override;

private:
    QString path;
};
