// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

// Metadata blocks that exiv2 0.27 does not read, found in the file's own structure. Each is empty
// when the file is not of its format, has no such block or is damaged.

// The EXIF (a TIFF structure) of a PNG file's "eXIf" chunk.
QByteArray pngExifChunk(const QString &path);

// The XMP packet of a GIF file's "XMP DataXMP" application extension.
QByteArray gifXmpPacket(const QString &path);
