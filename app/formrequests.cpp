// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/formrequests.h"

#include "app/aboutdialog.h"
#include "app/checkupdatedialog.h"
#include "app/urlopener.h"
#include "app/version.h"
#include "common/lkglobal.h"
#include "form/convertimageform.h"

#include <QMessageBox>

void connectFormRequests(ConvertImageForm *form)
{
    // Both dialogs delete themselves from their Close button; one closed otherwise is only hidden
    // and goes with the form.
    QObject::connect(form, &ConvertImageForm::aboutRequested, form, [form] {
        auto *dialog = new AboutDialog(form);
        dialog->exec();
    });
    QObject::connect(form, &ConvertImageForm::updateCheckRequested, form, [form] {
        auto *dialog = new CheckUpdateDialog(form);
        dialog->exec();
    });
    // A desktop without a browser says nothing by itself.
    QObject::connect(form, &ConvertImageForm::websiteRequested, form, [form] {
        const QUrl url = makerWebsiteUrl();
        if (!openExternalUrl(url))
            QMessageBox::warning(form, LKGlobal::productName(),
                QObject::tr("The web site %1 could not be opened.").arg(url.toString()));
    });
}
