// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// Paths are compared the way the platform's file system does: ignoring case on Windows and
// macOS, exactly elsewhere (a.jpg and A.jpg are two files on Linux). Every path comparison
// of the program goes through these helpers.
Qt::CaseSensitivity pathCaseSensitivity();

// Cleaned path in native separators; the one normal form used for comparing and listing.
QString normalPath(const QString &path);

// A key that is equal for two paths exactly when samePath() holds; for hashes and sets.
QString pathKey(const QString &path);

bool samePath(const QString &a, const QString &b);
