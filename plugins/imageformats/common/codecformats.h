// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>

// Whether `format` (as QImageReader and QImageWriter name it, lower case) is one of our codec
// plug-ins' formats (the Keys of their .json files): AVIF, HEIC/HEIF and JPEG XL. Their readers
// read a scaled size from the file's own thumbnail or low-resolution pass where it has one, and
// their encoders start threads of their own.
inline bool isCodecPluginFormat(const QByteArray &format)
{
    return format == "avif" || format == "heic" || format == "heif" || format == "jxl";
}
