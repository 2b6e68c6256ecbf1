// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// Makes a folder unwritable for this process while the object lives (or until release()):
// nothing can be created, renamed or removed in it. An ordinary user gets the write bits taken
// away; root, whom permission bits do not stop, gets the folder's immutable attribute (what
// chattr +i sets) or, where the file system has none, a read-only bind mount over it (in a
// private mount namespace). apply() proves the result by trying to create a file.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString &folder);
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder &) = delete;
    ReadOnlyFolder &operator=(const ReadOnlyFolder &) = delete;

    bool apply();
    void release();

    // How the folder was made read-only, or why it could not be.
    QString method() const { return _method; }
    QString problem() const { return _problem; }

private:
    enum class Mechanism { None, Permissions, ImmutableFlag, BindMount };

    bool tryPermissions();
    bool tryImmutableFlag();
    bool tryBindMount();
    bool creationRefused();

    QString _folder;
    Mechanism _applied = Mechanism::None;
    unsigned _oldMode = 0;
    QString _method;
    QString _problem;
};
