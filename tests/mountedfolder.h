// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QTemporaryDir>

namespace TestSupport {

// A small file system of its own kind in an image file on a loop device, mounted for one test and
// unmounted (the loop device detached) when the object goes. Needs root and the kind's tools;
// when a mount is not possible, `folder()` is empty and `skipReason()` says why, for QSKIP.
class MountedFolder {
public:
    enum Kind {
        // exFAT, as on a camera's memory card, through FUSE: the kernel here has no FAT driver.
        ExfatFuse,
        // An ext4 folder with the case-folding attribute (chattr +F); needs a kernel with Unicode.
        Ext4CaseFolding,
        // FAT32, as on older cards and USB sticks, through fusefat (read-write mode).
        FatFuse,
    };

    explicit MountedFolder(Kind kind, int megabytes = 16);
    ~MountedFolder();
    MountedFolder(const MountedFolder &) = delete;
    MountedFolder &operator=(const MountedFolder &) = delete;

    // A writable, empty folder on the mounted file system; empty when not mounted.
    QString folder() const { return _folder; }
    QString skipReason() const { return _skipReason; }

private:
    bool fail(const QString &reason);
    bool mountExfat();
    bool mountExt4CaseFolding();
    bool mountFat();

    QTemporaryDir work;
    QString image;
    QString loopDevice;
    QString mountPoint;
    QString _folder;
    QString _skipReason;
    bool mounted = false;
    bool fuse = false;
};

} // namespace TestSupport
