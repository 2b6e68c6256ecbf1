#include "convert/imagewriter.h"

#include "convert/pngencoder.h"
#include "imaging/pixelformat.h"

#include <QDebug>
#include <QImageWriter>
#include <QSaveFile>

namespace {

bool fail(const QString &targetPath, const QString &reason, QString *error)
{
    qDebug().noquote() << "Cannot write: " + targetPath + " " + reason;
    qDebug() << QImageWriter::supportedImageFormats();
    if (error)
        *error = reason;
    return false;
}

} // namespace

bool writeImageFile(const QImage &image, const QString &targetPath, int quality, QString *error)
{
    const QByteArray format = targetPath.section(QLatin1Char('.'), -1).toLower().toLatin1();
    if (image.isNull())
        return fail(targetPath, QStringLiteral("Image is empty"), error);

    QSaveFile file(targetPath);
    if (!file.open(QIODevice::WriteOnly))
        return fail(targetPath, file.errorString(), error);

    if (format == "png") {
        QString reason;
        if (!writePng(image, &file, -1, &reason)) {
            file.cancelWriting();
            return fail(targetPath, reason, error);
        }
        return file.commit() || fail(targetPath, file.errorString(), error);
    }

    // Asking the writer loads only the plug-in for this format; the list of supported formats
    // would load every plug-in and their codec libraries.
    QImageWriter writer(&file, format);
    if (!writer.canWrite()) {
        file.cancelWriting();
        return fail(targetPath, QStringLiteral("Unsupported image format"), error);
    }
    if (format == "jpg")
        writer.setQuality(quality);
    writer.setOptimizedWrite(true);
    writer.setProgressiveScanWrite(true);
    // JPEG holds no transparency: written as it is, a transparent area would come out black.
    const bool opaqueFormat = format == "jpg" || format == "jpeg";
    if (!writer.write(opaqueFormat ? flattenOntoBackground(image) : image)) {
        file.cancelWriting();
        return fail(targetPath, writer.errorString(), error);
    }
    if (!file.commit())
        return fail(targetPath, file.errorString(), error);
    return true;
}
