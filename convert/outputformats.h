// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>

// The targets the user can pick, in the order of the target list; the position is the value
// of `targeFileType`.
struct TargetFormat {
    enum Writer { ImageWriter, GifEncoder, PdfAssembly };

    int position;
    QString text;
    QString extension; // with the dot, handed to the worker as targetExt
    Writer writer;
    bool qualityApplied;
};

const QList<TargetFormat> &targetFormats();

// The format at a list position; positions outside the table give the first entry.
const TargetFormat &targetFormatAt(int position);

constexpr int PdfTargetPosition = 9;
constexpr int GifTargetPosition = 1;
constexpr int JpgTargetPosition = 4;

// The writer that a target path's extension selects: "gif" (any case) the GIF encoder,
// anything else the image writer.
bool isGifTarget(const QString &targetPath);
