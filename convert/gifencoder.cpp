// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/gifencoder.h"

#include "common/logging.h"
#include "convert/checkedsavefile.h"

#include <QDebug>
#include <QIODevice>
#include <cstring>
#include <gif_lib.h>
#include <vector>

namespace {

// The logical screen and the image are described with 16-bit sizes.
constexpr int MaxGifSide = 0xFFFF;

struct GifSink {
    QIODevice *device;
    QString writeError;
};

// giflib treats any count other than `length` as a failed write.
int writeToSink(GifFileType *gif, const GifByteType *data, int length)
{
    auto *sink = static_cast<GifSink *>(gif->UserData);
    const qint64 written = sink->device->write(reinterpret_cast<const char *>(data), length);
    if (written == length)
        return length;
    if (sink->writeError.isEmpty())
        sink->writeError = sink->device->errorString();
    return 0;
}

bool setError(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

QString unencodableReason(const QImage &image)
{
    if (image.isNull())
        return QStringLiteral("Image is empty");
    if (image.width() > MaxGifSide || image.height() > MaxGifSide)
        return QStringLiteral("Image is too large for GIF (at most %1 pixels a side)").arg(MaxGifSide);
    return {};
}

// The colour table padded with black to the next power of two (at least two entries), as GIF
// colour tables must be; alpha is dropped.
std::vector<GifColorType> gifColours(const QList<QRgb> &table, int paletteSize)
{
    std::vector<GifColorType> colours(paletteSize, GifColorType { 0, 0, 0 });
    for (int i = 0; i < table.size() && i < paletteSize; ++i) {
        const QRgb rgb = table.at(i);
        colours[i]
            = GifColorType { GifByteType(qRed(rgb)), GifByteType(qGreen(rgb)), GifByteType(qBlue(rgb)) };
    }
    return colours;
}

QString gifFailure(int errorCode, const GifSink &sink)
{
    const char *text = GifErrorString(errorCode);
    QString reason = text ? QString::fromUtf8(text) : QStringLiteral("GIF error %1").arg(errorCode);
    if (!sink.writeError.isEmpty())
        reason += QStringLiteral(" (") + sink.writeError + QLatin1Char(')');
    return reason;
}

bool putFrame(GifFileType *gif, const QImage &indexed, ColorMapObject *colorMap)
{
    const int width = indexed.width();
    const int height = indexed.height();
    // The colour-resolution argument is the palette size; giflib folds it into the three bits
    // of the screen descriptor.
    if (EGifPutScreenDesc(gif, width, height, colorMap->ColorCount, 0, colorMap) != GIF_OK)
        return false;
    if (EGifPutImageDesc(gif, 0, 0, width, height, false, colorMap) != GIF_OK)
        return false;
    // giflib masks the pixels of the line it is given in place, so it gets a copy of each row,
    // exactly `width` bytes long.
    std::vector<GifPixelType> row(width);
    for (int y = 0; y < height; ++y) {
        std::memcpy(row.data(), indexed.constScanLine(y), width);
        if (EGifPutLine(gif, row.data(), width) != GIF_OK)
            return false;
    }
    return true;
}

} // namespace

bool writeGif(const QImage &image, QIODevice *device, QString *error)
{
    const QString unencodable = unencodableReason(image);
    if (!unencodable.isEmpty())
        return setError(error, unencodable);

    const QImage indexed
        = image.format() == QImage::Format_Indexed8 ? image : image.convertToFormat(QImage::Format_Indexed8);
    if (indexed.isNull())
        return setError(error, QStringLiteral("Cannot convert the image to a palette"));

    const QList<QRgb> table = indexed.colorTable();
    const int bits = GifBitSize(int(table.size()));
    const int paletteSize = 1 << bits;
    std::vector<GifColorType> colours = gifColours(table, paletteSize);
    ColorMapObject colorMap {};
    colorMap.ColorCount = paletteSize;
    colorMap.BitsPerPixel = bits;
    colorMap.SortFlag = false;
    colorMap.Colors = colours.data();

    GifSink sink { device, {} };
    int openError = 0;
    GifFileType *gif = EGifOpen(&sink, writeToSink, &openError);
    if (!gif)
        return setError(error, gifFailure(openError, sink));
    EGifSetGifVersion(gif, true);

    const bool framed = putFrame(gif, indexed, &colorMap);
    const int frameError = framed ? E_GIF_SUCCEEDED : gif->Error;
    // Closing writes the trailer and frees the encoder whether or not the frame went out.
    int closeError = E_GIF_SUCCEEDED;
    const bool closed = EGifCloseFile(gif, &closeError) == GIF_OK;
    if (!framed)
        return setError(error, gifFailure(frameError, sink));
    if (!closed || !sink.writeError.isEmpty())
        return setError(error, gifFailure(closed ? E_GIF_ERR_WRITE_FAILED : closeError, sink));
    return true;
}

bool writeGifFile(const QImage &image, const QString &targetPath, QString *error)
{
    QString reason = unencodableReason(image);
    if (reason.isEmpty()) {
        CheckedSaveFile file(targetPath);
        if (file.open(&reason)) {
            // giflib's reason quotes the file's own, in words.
            if (!writeGif(image, file.device(), &reason)) {
                file.cancel();
            } else if (file.commit(&reason)) {
                return true;
            }
        }
    }
    qCDebug(lcConvert).noquote() << "Cannot write: " + targetPath + " " + reason;
    return setError(error, reason);
}
