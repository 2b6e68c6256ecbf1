// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QMetaType>
#include <QString>

// The files of one add that did not become rows, by reason. Folder entries the scan never yields
// (hidden files, names without a dot) are not counted: they were not asked for.
struct SkippedFiles {
    int unsupported = 0; // exists, but not a picture the program reads
    int duplicates = 0; // already in the list
    int missing = 0; // no such file or folder
    int notLocal = 0; // a URL that names no local file

    int total() const { return unsupported + duplicates + missing + notLocal; }
    SkippedFiles &operator+=(const SkippedFiles &other);
    bool operator==(const SkippedFiles &other) const;
};

Q_DECLARE_METATYPE(SkippedFiles)

// The status bar's note: "3 files not added: not a supported image", or with several reasons
// "5 files not added: 3 not a supported image, 2 already in the list". Empty when none was skipped.
QString skippedFilesMessage(const SkippedFiles &skipped);
