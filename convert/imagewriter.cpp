// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/imagewriter.h"

#include "common/logging.h"
#include "convert/checkedsavefile.h"
#include "convert/encoderthreads.h"
#include "convert/pngencoder.h"
#include "imaging/pixelformat.h"
#include "metadata/metadataembed.h"
#include "plugins/imageformats/common/codecformats.h"
#include "plugins/imageformats/common/encoderthreadskey.h"

#include <QCoreApplication>
#include <QDebug>
#include <QImageWriter>

namespace {

bool fail(const QString &targetPath, const QString &reason, QString *error)
{
    // A file the job stopped before its turn was never really attempted: not a write failure.
    if (reason == QCoreApplication::translate("CheckedSaveFile", "the conversion was cancelled")) {
        qCDebug(lcConvert).noquote() << "Not written, the conversion was cancelled: " + targetPath;
    } else {
        qDebug().noquote() << "Cannot write: " + targetPath + " " + reason;
        qDebug() << QImageWriter::supportedImageFormats();
    }
    if (error)
        *error = reason;
    return false;
}

// The longest side a format's encoder takes; larger pictures fail inside the encoder with no
// reason given.
int longestSide(const QByteArray &format)
{
    if (format == "webp")
        return 16383;
    if (format == "jpg")
        return 65500;
    if (format == "png")
        return 1000000;
    return 0;
}

QString tooLargeForFormat(const QImage &image, const QByteArray &format, int side)
{
    return QCoreApplication::translate(
        "ImageWriter", "picture too large for %1 (%2 x %3, at most %4 pixels a side)")
        .arg(QString::fromLatin1(format.toUpper()))
        .arg(image.width())
        .arg(image.height())
        .arg(side);
}

// The writer's own text, or words for the "Unknown error" it gives when an encoder refuses.
QString encoderFailure(const QImageWriter &writer, const QImage &image, const QByteArray &format)
{
    if (writer.error() != QImageWriter::UnknownError)
        return writer.errorString();
    return QCoreApplication::translate("ImageWriter", "the %1 encoder could not store this picture (%2 x %3)")
        .arg(QString::fromLatin1(format.toUpper()))
        .arg(image.width())
        .arg(image.height());
}

// Puts the metadata in (for formats encoded into memory first) and the file in place.
bool finishWrite(CheckedSaveFile &file, MetadataWriter &metadataWriter, const QString &targetPath,
    QString *error, QString *leftOut)
{
    QString reason;
    if (!metadataWriter.finish(file.device(), &reason)) {
        const QString fileReason = file.writeFailure();
        file.cancel();
        return fail(targetPath, fileReason.isEmpty() ? reason : fileReason, error);
    }
    if (leftOut)
        *leftOut = metadataWriter.leftOut().join(QLatin1String("; "));
    return file.commit(&reason) || fail(targetPath, reason, error);
}

} // namespace

bool writeImageFile(const QImage &source, const QString &targetPath, const EncoderSettings &encoder,
    QString *error, const ImageMetadata &metadata, QString *leftOut)
{
    // The only metadata a target carries is what the metadata step hands over.
    const QImage image = withoutTexts(source);
    const QByteArray format = targetPath.section(QLatin1Char('.'), -1).toLower().toLatin1();
    if (image.isNull())
        return fail(targetPath, QStringLiteral("Image is empty"), error);
    const int side = longestSide(format);
    if (side > 0 && qMax(image.width(), image.height()) > side)
        return fail(targetPath, tooLargeForFormat(image, format, side), error);

    CheckedSaveFile file(targetPath);
    QString reason;
    if (!file.open(&reason))
        return fail(targetPath, reason, error);
    MetadataWriter metadataWriter(metadata, format);
    QIODevice *output = metadataWriter.device(file.device());

    if (format == "png") {
        if (!writePng(image, output, pngQuality(encoder), &reason)) {
            const QString fileReason = file.writeFailure();
            file.cancel();
            return fail(targetPath, fileReason.isEmpty() ? reason : fileReason, error);
        }
        return finishWrite(file, metadataWriter, targetPath, error, leftOut);
    }

    // Asking the writer loads only the plug-in for this format; the list of supported formats
    // would load every plug-in and their codec libraries.
    QImageWriter writer(output, format);
    if (!writer.canWrite()) {
        file.cancel();
        return fail(targetPath, QStringLiteral("Unsupported image format"), error);
    }
    applyEncoderSettings(writer, format, encoder);
    writer.setOptimizedWrite(true);
    writer.setProgressiveScanWrite(true);
    metadataWriter.prepare(&writer);
    // Our AVIF, HEIF and JPEG XL encoders start threads of their own; a job running several
    // files at once says how many each may start.
    const int encoderThreads = EncoderThreadShare::current();
    if (encoderThreads > 0 && isCodecPluginFormat(format))
        writer.setText(QLatin1String(EncoderThreadsKey::Key), QString::number(encoderThreads));
    // JPEG holds no transparency: written as it is, a transparent area would come out black.
    const bool opaqueFormat = format == "jpg" || format == "jpeg";
    if (!writeWithSettings(writer, opaqueFormat ? flattenOntoBackground(image, encoder.background) : image,
            format, encoder)) {
        // A write that ran out of room makes the encoder fail too; the file's reason is the real one.
        reason = file.writeFailure();
        file.cancel();
        return fail(targetPath, reason.isEmpty() ? encoderFailure(writer, image, format) : reason, error);
    }
    return finishWrite(file, metadataWriter, targetPath, error, leftOut);
}
