// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "app/version.h"

#include <QDialog>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <memory>

class QNetworkReply;

namespace Ui {
class CheckUpdateDialog;
}

// Fetches the update document once, compares it with the running version and offers the product
// page. Close deletes the dialog (and with it any request still running); Escape only hides it.
class CheckUpdateDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds defaultTimeout { 5000 };
    // Larger answers are not an update document; stop reading instead of filling memory.
    static constexpr qint64 maximumDocumentSize = 64 * 1024;

    explicit CheckUpdateDialog(QWidget *parent);
    // The whole check, from request to last byte, must finish within `timeout`.
    CheckUpdateDialog(QWidget *parent, const QUrl &documentUrl, std::chrono::milliseconds timeout);
    ~CheckUpdateDialog() override;

private slots:
    void on_closeButton_clicked();
    void fileIsReady(QNetworkReply *reply);
    void on_downloadButton_clicked();

private:
    void requestDocument(const QUrl &documentUrl, std::chrono::milliseconds timeout);
    void checkAnswerSize();
    void abandonRequest(const QString &reason);
    QString failureReason(const QNetworkReply *reply) const;
    QString tooLargeReason() const;
    void showCheckFailed(const QString &reason);
    void showRemoteVersion();

    std::unique_ptr<Ui::CheckUpdateDialog> ui;
    QNetworkAccessManager network;
    QTimer deadline;
    QPointer<QNetworkReply> pendingReply;
    VersionNumber remoteVersion;
};
