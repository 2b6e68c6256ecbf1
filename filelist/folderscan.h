// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <atomic>
#include <vector>

// Walks a folder and all its subfolders, yielding the regular, non-hidden files whose name
// contains a dot: a folder's own files first, then each subfolder in turn, both sorted by name
// in natural order (IMG_2 before IMG_10), so that a drop lists pages in the order a person
// expects. Each folder is listed when the walk reaches it. Linked folders are followed, but every
// folder is entered once by its canonical path, so a link that points back up the tree cannot
// make the walk endless.
class FolderScan {
public:
    // `stop` (may be null) is tested between entries so that a caller can end a long walk.
    // Without `subfolders`, only the folder's own files are yielded.
    explicit FolderScan(
        const QString &folder, const std::atomic<bool> *stop = nullptr, bool subfolders = true);
    ~FolderScan();

    // A subfolder not to walk: the output folder of a job, so that a second run does not take
    // the first run's results as sources. The folder given to the constructor is always walked.
    void skipFolder(const QString &folder);

    // The next file in normal form (common/pathcompare.h); false when the walk is done or stopped.
    bool next(QString *path);

    // Entries of the folders entered so far whose names are not valid in the file-name encoding
    // (UTF-8), as paths with replacement characters: no Qt file name reaches them, so they are
    // not yielded, and a caller reports them instead of leaving them out without a word.
    QStringList unreachableNames() const { return unreachable; }

private:
    // One listed folder: its files and subfolders (full paths, sorted), and how far the walk is.
    struct Folder {
        QStringList files;
        QStringList folders;
        qsizetype nextFile = 0;
        qsizetype nextFolder = 0;
    };

    void enter(const QString &folder);

    std::vector<Folder> stack;
    QSet<QString> visited;
    QSet<QString> skipped;
    const std::atomic<bool> *stop;
    const bool subfolders;
    QStringList unreachable;
};
