// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/urlopener.h"

#include <QDesktopServices>

#include <utility>

namespace {

ExternalUrlOpener &currentOpener()
{
    static ExternalUrlOpener opener;
    return opener;
}

}

bool openExternalUrl(const QUrl &url)
{
    const ExternalUrlOpener &opener = currentOpener();
    if (opener)
        return opener(url);
    return QDesktopServices::openUrl(url);
}

ExternalUrlOpener setExternalUrlOpener(ExternalUrlOpener opener)
{
    return std::exchange(currentOpener(), std::move(opener));
}
