// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

class QImageReader;

// What every decode of a source goes through (the job, the previews, the list icons, the picture
// watermark): Qt picks a decoder from the file's content, so a file named .png may hold any format
// Qt reads (SVG with its references, for one). Only the program's own source formats are decoded.
namespace SourceCheck {

// Whether `format`, as QImageReader::format() names it, is one of the program's source formats.
bool isSupportedFormat(const QByteArray &format);

// The largest source file taken: what the largest picture within the reader's allocation limit
// may need, as our own readers count it.
qint64 maxFileBytes();

// To be called before reader.read(): false, with the reason in *reason (if given), when no
// decoder recognises the content, when it is not one of the supported formats, is a JPEG with more scans than
// any encoder writes, is a file larger than any picture within the decoding budget needs, or
// declares a picture beyond the reader's allocation limit. Nothing is decoded.
bool accept(QImageReader &reader, QString *reason = nullptr);

// What QImage(path) gives, for a file that accept() takes; a null image otherwise.
QImage read(const QString &path);

} // namespace SourceCheck
