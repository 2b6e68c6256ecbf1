#include "filelist/removethumbnailsdialog.h"
#include "ui_removethumbnailsdialog.h"

#include "filelist/thumbnailcache.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace {
bool cleanupPending = true;
}

bool thumbnailsCleanupPending()
{
    return cleanupPending;
}

void setThumbnailsCleanupPending(bool pending)
{
    cleanupPending = pending;
}

RemoveThumbnailsDialog::RemoveThumbnailsDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::RemoveThumbnailsDialog)
{
    ui->setupUi(this);
}

RemoveThumbnailsDialog::~RemoveThumbnailsDialog()
{
    delete ui;
}

void RemoveThumbnailsDialog::removeThumbnailFiles()
{
    const QString dir = ThumbnailCache::thumbnailsDir();
    const QStringList names = QDir(dir).entryList(QDir::Files, QDir::NoSort);
    for (const QString &name : names) {
        // Lets the dialog paint between files; user input waits, so no second close can start.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (stopRequested)
            break;
        QFile(dir + name).remove();
    }
    setThumbnailsCleanupPending(false);
    Q_EMIT closeApp();
}

void RemoveThumbnailsDialog::on_cancelButton_clicked()
{
    stopRequested = true;
}
