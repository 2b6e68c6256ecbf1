// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QHash>
#include <QString>

// What the file system itself says about names, for the questions where comparing strings is
// wrong: a memory card (exFAT, FAT), an NTFS or SMB share and an ext4 folder with the case-folding
// attribute ignore case, so "IMG_0001.jpg" there is the camera's "IMG_0001.JPG".
// Answers about a folder are kept for the object's life: one job, one drop or one check asks each
// folder once. Not shared between threads: each user holds its own.
class FileSystemNames {
public:
    // Whether the folder (or, when it does not exist yet, its nearest existing parent) finds a
    // name spelled with other case.
    bool ignoresCase(const QString &folder);

    // The absolute path with every existing part spelled as the file system stores it; parts that
    // do not exist yet are kept as given.
    QString storedSpelling(const QString &path);

    // Equal for two paths exactly when they name one file, or would once written: the stored
    // spelling, with the part not written yet folded where the folder ignores case.
    QString key(const QString &path);

    // One file: the same device and inode when both exist, else the same key. (A FUSE file system
    // may give each spelling of one name its own inode, so the key decides there.)
    bool sameFile(const QString &a, const QString &b);

private:
    struct Spelled {
        QString path;
        bool exists = false;
    };
    // A folder's absolute path in stored spelling, and whether it exists; "/" separators.
    Spelled spelledFolder(const QString &folder);
    bool probeIgnoresCase(const QString &folder);
    QString storedName(const QString &folder, const QString &name);

    QHash<QString, bool> folderRule;
    QHash<QString, Spelled> folders;
    // Per folder that ignores case: each entry's folded name to its stored name.
    QHash<QString, QHash<QString, QString>> entries;
};

// The name with the case of every letter turned over ("Img_1.JPG" to "iMG_1.jpg"); equal to
// `name` when it has no letter with two cases.
QString otherCase(const QString &name);
