// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>

// The camera RAW formats our LibRaw plug-in reads, as file suffixes (lower case), which are also
// its format names (the Keys of raw.json): the formats LibRaw 0.20 reads that cameras still write.
// LibRaw knows many older formats besides; the plug-in refuses their content and their decoders.
inline const QList<QByteArray> &rawFormats()
{
    static const QList<QByteArray> formats = { "dng", "cr2", "cr3", "nef", "nrw", "arw", "sr2", "raf", "orf",
        "rw2", "pef", "srw", "3fr", "iiq" };
    return formats;
}

inline bool isRawFormat(const QByteArray &format)
{
    return rawFormats().contains(format);
}

// Whether `format` (as QImageReader and QImageWriter name it, lower case) is one of our codec
// plug-ins' formats (the Keys of their .json files): AVIF, HEIC/HEIF, JPEG XL and camera RAW. Their
// readers read a scaled size from the file's own thumbnail or low-resolution pass where it has one,
// and their encoders start threads of their own.
inline bool isCodecPluginFormat(const QByteArray &format)
{
    return format == "avif" || format == "heic" || format == "heif" || format == "jxl" || isRawFormat(format);
}
