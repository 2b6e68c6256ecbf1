// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/outputformats.h"

const QList<TargetFormat> &targetFormats()
{
    static const QList<TargetFormat> formats = {
        { 0, QStringLiteral("AVIF"), QStringLiteral(".avif"), TargetFormat::ImageWriter, false },
        { 1, QStringLiteral("GIF"), QStringLiteral(".gif"), TargetFormat::GifEncoder, false },
        { 2, QStringLiteral("HEIC"), QStringLiteral(".heic"), TargetFormat::ImageWriter, false },
        { 3, QStringLiteral("HEIF"), QStringLiteral(".heif"), TargetFormat::ImageWriter, false },
        { 4, QStringLiteral("JPG"), QStringLiteral(".jpg"), TargetFormat::ImageWriter, true },
        { 5, QStringLiteral("JPEG XL"), QStringLiteral(".jxl"), TargetFormat::ImageWriter, false },
        { 6, QStringLiteral("PNG"), QStringLiteral(".png"), TargetFormat::ImageWriter, false },
        { 7, QStringLiteral("TIFF"), QStringLiteral(".tiff"), TargetFormat::ImageWriter, false },
        { 8, QStringLiteral("WEBP"), QStringLiteral(".webp"), TargetFormat::ImageWriter, false },
        { 9, QStringLiteral("PDF"), QStringLiteral(".pdf"), TargetFormat::PdfAssembly, false },
    };
    return formats;
}

const TargetFormat &targetFormatAt(int position)
{
    const QList<TargetFormat> &formats = targetFormats();
    if (position < 0 || position >= formats.size())
        return formats.first();
    return formats.at(position);
}

bool isGifTarget(const QString &targetPath)
{
    return targetPath.section(QLatin1Char('.'), -1).compare(QLatin1String("gif"), Qt::CaseInsensitive) == 0;
}
