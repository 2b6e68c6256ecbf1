// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QUrl>

#include <functional>

using ExternalUrlOpener = std::function<bool(const QUrl &)>;

// Opens a web page in the user's default browser; false when nothing could take it.
bool openExternalUrl(const QUrl &url);

// Routes openExternalUrl elsewhere (tests use this to see what would be opened) and returns the
// previous opener. An empty opener restores the default browser. GUI thread only.
ExternalUrlOpener setExternalUrlOpener(ExternalUrlOpener opener);
