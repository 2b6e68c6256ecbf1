// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// Putting a finished file in place, and the system calls it needs, behind portable functions.
// Safe on any thread.
namespace FilePlacement {

// Renames `from` to `to` only when nothing is at `to`: one job never replaces a file another
// job (or the user) put there since the job looked. False with the system's error code in *error
// (EEXIST when something is there). Uses renameat2's RENAME_NOREPLACE, then a hard link and an
// unlink where the file system lacks it, then a check before the rename where it has neither
// (exFAT through FUSE).
bool renameWithoutReplacing(const QString &from, const QString &to, int *error);

// Renames `from` over `to`, replacing what is there; false with the system's error code.
bool renameReplacing(const QString &from, const QString &to, int *error);

// Asks the system to put an open file's bytes on the disk before it is renamed into place.
void syncToDisk(int handle);

// Marks an open file as in use for as long as it stays open (an advisory lock), so that
// removeIfUnused() from another job or process leaves it alone.
void markInUse(int handle);

// Removes the file unless a program has it open and marked in use; true when it was removed.
bool removeIfUnused(const QString &path);

} // namespace FilePlacement
