// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/aboutdialog.h"

#include "app/version.h"
#include "ui_aboutdialog.h"

#include <QPixmap>

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::AboutDialog>())
{
    ui->setupUi(this);

    // A build without the artwork still shows a usable dialog, just without the picture.
    const QPixmap logo(QStringLiteral(":/resources/images/AboutLogo.png"));
    if (!logo.isNull())
        ui->logoLabel->setPixmap(logo);

    ui->titleLabel->setText(productDisplayName());
    ui->versionLabel->setText(tr("Version: ") + programVersionText());
    const QUrl site = makerWebsiteUrl();
    ui->webLabel->setText(
        QStringLiteral("<a href=\"%1\">%2</a>")
            .arg(site.toString(QUrl::FullyEncoded).toHtmlEscaped(), site.host().toHtmlEscaped()));
}

AboutDialog::~AboutDialog() = default;

void AboutDialog::on_closeButton_clicked()
{
    deleteLater();
}
