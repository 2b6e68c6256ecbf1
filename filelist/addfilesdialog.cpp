#include "filelist/addfilesdialog.h"

#include "convert/conversionoptions.h"

#include <QFileDialog>
#include <QFileInfo>

QStringList AddFilesDialog::getImageFiles(QWidget *parent, const QString &fallbackFolder)
{
    QString start = conversionOptions().lastPicturesDir;
    if (!QFileInfo(start).exists())
        start = fallbackFolder;
    const QStringList files = QFileDialog::getOpenFileNames(parent, tr("Add Image Files"), start,
        tr("Image Files (*.gif *.heic *.heif *.jpg *.jpeg *.png *.tif *.tiff *.webp)"));
    if (!files.isEmpty()) {
        const QString folder = QFileInfo(files.constFirst()).path();
        updateOptions([&](ConversionOptions &o) { o.lastPicturesDir = folder; });
    }
    return files;
}
