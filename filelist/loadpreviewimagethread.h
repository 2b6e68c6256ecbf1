// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>
#include <QSize>
#include <QThread>
#include <atomic>

// Renders one live preview (or reads its thumbnail) on its own thread. Superseded workers are
// asked to stop through stopRequested; they may finish their render but emit nothing after.
class LoadPreviewImageThread : public QThread {
    Q_OBJECT

public:
    LoadPreviewImageThread(const QString &path, QSize targetSize, bool reload, QObject *parent = nullptr);

    std::atomic<bool> stopRequested { false };

Q_SIGNALS:
    void updatePreviewImage(QImage image);

protected:
    void run() override;

private:
    void _loadImage();
    void createPreviewImage(const QString &thumbnailFilePath, int number, quint64 generation);

    QString path;
    QSize targetSize;
    bool reload;
};
