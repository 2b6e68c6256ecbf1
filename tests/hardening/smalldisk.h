// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// A small tmpfs mounted over a folder while the object lives: a disk that fills up after a
// known number of bytes. Mounted only inside this process's private mount namespace, so that
// nothing outlives the test, whatever happens to it.
class SmallDisk {
public:
    SmallDisk(const QString &folder, qint64 bytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    QString folder() const { return _folder; }
    bool isMounted() const { return _mounted; }
    QString problem() const { return _problem; }
    qint64 freeBytes() const;

private:
    QString _folder;
    bool _mounted = false;
    QString _problem;
};
