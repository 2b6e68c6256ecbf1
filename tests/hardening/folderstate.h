// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

// What a folder holds, recursively: every entry by its path relative to the folder, with the
// SHA-256 of each file's content, "dir" for a folder and "link:" plus the target for a symbolic
// link (never followed). Comparing two states proves that nothing was changed, added or lost.
class FolderState {
public:
    static FolderState capture(const QString &folder);

    QStringList entries() const { return _entries.keys(); }
    QByteArray digestOf(const QString &relativePath) const { return _entries.value(relativePath); }
    bool contains(const QString &relativePath) const { return _entries.contains(relativePath); }
    int fileCount() const;

    // Entries of `before` that are missing here or differ, as "name: what happened".
    QStringList changedSince(const FolderState &before) const;
    // Entries here that `before` did not have.
    QStringList addedSince(const FolderState &before) const;

private:
    QMap<QString, QByteArray> _entries;
};
