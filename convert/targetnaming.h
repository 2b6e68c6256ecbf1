// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDateTime>
#include <QSize>
#include <QString>
#include <functional>

struct ConversionOptions;

// The file name pattern of a file job. Tokens: {name} the source's name up to its first dot,
// {counter} the source's position in the job from 1 (three digits), {date} the date the picture
// was taken (else the file's last change) as yyyy-MM-dd, {size} the target size as WIDTHxHEIGHT.
// The default "{name}" gives the names of earlier versions.
namespace TargetNaming {

inline const QString DefaultPattern = QStringLiteral("{name}");

// What to do when a target already exists (the option `targetExistsAction`).
enum ExistsAction { Ask = 0, Skip = 1, AddNumber = 2 };

struct Source {
    QString path;
    int counter = 1;
    QSize targetSize; // invalid when unknown
    QDateTime taken; // invalid when unknown
};

// The size the picture will have after scaling, read from its header; invalid when unreadable.
QSize targetSize(const QString &path, const ConversionOptions &options);

bool usesSize(const QString &pattern);
bool usesDate(const QString &pattern);

// The base name (no folder, no extension) the pattern gives for the source. Characters a file
// name cannot hold become "_"; an empty result falls back to the source's own name.
QString baseName(const QString &pattern, const Source &source);

// `target` itself when `taken` says it is free, else "name (2).ext", "name (3).ext", ... the
// first one that is free.
QString numbered(const QString &target, const std::function<bool(const QString &)> &taken);

// The target of every source of a file job, in order: the folder the options choose (the output
// folder, the same sub-folders under it, or the source's own folder), the pattern's name and
// `ext`. With "add a number", a name that exists or that an earlier source of the job took gets
// the first free number; an empty entry when none is free.
QStringList planTargets(const QStringList &sources, const QString &targetFolder, const QString &ext,
    const ConversionOptions &options);

// When the picture was taken, from the Exif DateTimeOriginal the file carries; else the file's
// last change.
QDateTime dateTaken(const QString &path);

} // namespace TargetNaming
