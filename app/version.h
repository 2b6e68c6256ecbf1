// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QUrl>

// A program version as three numbers; the update document names one the same way.
struct VersionNumber {
    int majorVersion = 0;
    int minorVersion = 0;
    int subMinorVersion = 0;
};

// The version this program was built as (the project version of the build).
VersionNumber programVersion();

// major.minor.sub in decimal: the one way a version is shown to the user.
QString formatVersion(const VersionNumber &version);
QString programVersionText();

// The major number decides first, then the minor, then the sub-minor.
bool isNewerVersion(const VersionNumber &candidate, const VersionNumber &installed);

QString productDisplayName();

// The maker's web site (About dialog, toolbar Website button).
QUrl makerWebsiteUrl();
// The page the update check offers for downloading the program.
QUrl productPageUrl();
// The update document; PICTOMAT_UPDATE_URL replaces it, so a test or a mirror can serve it.
QUrl updateDocumentUrl();
