// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/checkupdatedialog.h"

#include "app/updatedocument.h"
#include "app/urlopener.h"
#include "ui_checkupdatedialog.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPixmap>

CheckUpdateDialog::CheckUpdateDialog(QWidget *parent)
    : CheckUpdateDialog(parent, updateDocumentUrl(), defaultTimeout)
{
}

CheckUpdateDialog::CheckUpdateDialog(
    QWidget *parent, const QUrl &documentUrl, std::chrono::milliseconds timeout)
    : QDialog(parent)
    , ui(std::make_unique<Ui::CheckUpdateDialog>())
{
    ui->setupUi(this);
    ui->downloadButton->hide();

    // A build without the artwork still shows a usable dialog, just without the picture.
    const QPixmap icon(QStringLiteral(":/resources/images/Update128.png"));
    if (!icon.isNull())
        ui->iconLabel->setPixmap(icon);

    ui->installVersionLabel->setText(tr("Installed Version: ") + programVersionText());
    ui->messageLabel->setText(tr("Checking for update ..."));

    connect(&network, &QNetworkAccessManager::finished, this, &CheckUpdateDialog::fileIsReady);
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, this,
        [this] { abandonRequest(tr("the server did not answer in time")); });
    requestDocument(documentUrl, timeout);
}

// Nothing the manager or a reply emits while they are torn down may reach a half-destroyed dialog.
CheckUpdateDialog::~CheckUpdateDialog()
{
    if (pendingReply)
        disconnect(pendingReply, nullptr, this, nullptr);
    disconnect(&network, nullptr, this, nullptr);
}

void CheckUpdateDialog::requestDocument(const QUrl &documentUrl, std::chrono::milliseconds timeout)
{
    QNetworkRequest request(documentUrl);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    pendingReply = network.get(request);
    connect(pendingReply, &QNetworkReply::metaDataChanged, this, &CheckUpdateDialog::checkAnswerSize);
    connect(pendingReply, &QIODevice::readyRead, this, &CheckUpdateDialog::checkAnswerSize);
    deadline.start(timeout);
}

// Stops early when the server announces or sends more than an update document can be.
void CheckUpdateDialog::checkAnswerSize()
{
    if (!pendingReply)
        return;
    const qint64 announced = pendingReply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    if (announced > maximumDocumentSize || pendingReply->bytesAvailable() > maximumDocumentSize)
        abandonRequest(tooLargeReason());
}

// Reports the failure at once; the aborted reply is cut off from the dialog, so whatever it
// emits while it winds down is not taken for an answer.
void CheckUpdateDialog::abandonRequest(const QString &reason)
{
    if (!pendingReply)
        return;
    QNetworkReply *reply = pendingReply;
    pendingReply = nullptr;
    deadline.stop();
    disconnect(reply, nullptr, this, nullptr);
    reply->abort();
    reply->deleteLater();
    showCheckFailed(reason);
}

void CheckUpdateDialog::on_closeButton_clicked()
{
    deleteLater();
}

void CheckUpdateDialog::fileIsReady(QNetworkReply *reply)
{
    reply->deleteLater();
    if (reply != pendingReply)
        return;
    pendingReply = nullptr;
    deadline.stop();

    if (reply->error() != QNetworkReply::NoError) {
        showCheckFailed(failureReason(reply));
        return;
    }
    // Read no more than the limit even if the reply finished before a size check ran.
    const QByteArray body = reply->read(maximumDocumentSize + 1);
    if (body.size() > maximumDocumentSize) {
        showCheckFailed(tooLargeReason());
        return;
    }
    remoteVersion = parseUpdateDocument(body);
    showRemoteVersion();
}

QString CheckUpdateDialog::tooLargeReason() const
{
    return tr("the answer is larger than %1 KiB").arg(maximumDocumentSize / 1024);
}

QString CheckUpdateDialog::failureReason(const QNetworkReply *reply) const
{
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && status.toInt() >= 400) {
        const QString phrase = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        return tr("the server answered with status %1 %2").arg(status.toInt()).arg(phrase).trimmed();
    }
    // Qt leaves some texts with an empty detail ("Decompression failed: "); the message adds
    // its own full stop.
    QString text = reply->errorString().trimmed();
    while (text.endsWith(QLatin1Char(':')) || text.endsWith(QLatin1Char('.')))
        text = text.chopped(1).trimmed();
    return text.isEmpty() ? tr("the answer could not be read") : text;
}

void CheckUpdateDialog::showCheckFailed(const QString &reason)
{
    ui->messageLabel->setText(tr("The update check could not be completed: %1.").arg(reason));
    ui->downloadButton->setText(tr("Visit Website"));
    ui->downloadButton->show();
}

void CheckUpdateDialog::showRemoteVersion()
{
    if (isNewerVersion(remoteVersion, programVersion())) {
        ui->downloadButton->setText(tr("Download update"));
        ui->messageLabel->setText(
            tr("Version ") + formatVersion(remoteVersion) + tr(" is available to download."));
    } else {
        ui->messageLabel->setText(tr("There are no software updates available at this time."));
        ui->downloadButton->setText(tr("Visit Website"));
    }
    ui->downloadButton->show();
}

void CheckUpdateDialog::on_downloadButton_clicked()
{
    openExternalUrl(productPageUrl());
}
