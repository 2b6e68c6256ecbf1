#include "app/formrequests.h"

#include "app/aboutdialog.h"
#include "app/checkupdatedialog.h"
#include "app/urlopener.h"
#include "app/version.h"
#include "form/convertimageform.h"

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
    QObject::connect(
        form, &ConvertImageForm::websiteRequested, form, [] { openExternalUrl(makerWebsiteUrl()); });
}
