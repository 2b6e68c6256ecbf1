// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "app/version.h"

#include <QByteArray>

// Reads the remote version from an update document: UTF-8 text of key=value entries separated by
// ";". Keys are case-sensitive (majorVersion, minorVersion, subMinorVersion), later entries win,
// a value that is not a decimal number counts as 0 and a missing key leaves its number at 0.
// Only the pair "\r\n" is dropped from an entry; a lone "\r" or "\n" stays part of it.
// Accepts any bytes; pure apart from the debug lines naming the keys it meets.
VersionNumber parseUpdateDocument(const QByteArray &body);
