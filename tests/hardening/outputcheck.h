// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

inline bool isPdf(const QString &ext)
{
    return ext == QLatin1String(".pdf");
}

// Judging what a job left behind.
namespace OutputCheck {

// Whether Qt has a reader / a writer for the suffix of a path or an extension (".jpg" or "jpg").
bool canRead(const QString &suffixOrPath);
bool canWrite(const QString &suffixOrPath);
// Whether a job writes targets of extension `ext` here: GIF and PDF with the program's own
// writers, the others with Qt's.
bool jobCanWrite(const QString &ext);

// The picture in a written file, read by Qt's reader; null when it cannot be read.
QImage decode(const QString &path);

// pdfinfo's page count; -1 when the document cannot be read, -2 when pdfinfo is not installed.
int pdfPages(const QString &path);

// Files in a folder whose names mark them as a writer's temporary file (what QSaveFile leaves
// when a process dies before commit): the target name followed by a dot and six characters.
QStringList temporaryFiles(const QString &folder);

} // namespace OutputCheck
