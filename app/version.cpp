// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/version.h"

#include <QByteArray>
#include <QtGlobal>

#if !defined(PICTOMAT_VERSION_MAJOR) || !defined(PICTOMAT_VERSION_MINOR) || !defined(PICTOMAT_VERSION_PATCH)
#error "The build passes the project version to this file"
#endif

VersionNumber programVersion()
{
    return { PICTOMAT_VERSION_MAJOR, PICTOMAT_VERSION_MINOR, PICTOMAT_VERSION_PATCH };
}

QString formatVersion(const VersionNumber &version)
{
    return QStringLiteral("%1.%2.%3")
        .arg(version.majorVersion)
        .arg(version.minorVersion)
        .arg(version.subMinorVersion);
}

QString programVersionText()
{
    return formatVersion(programVersion());
}

bool isNewerVersion(const VersionNumber &candidate, const VersionNumber &installed)
{
    if (candidate.majorVersion != installed.majorVersion)
        return candidate.majorVersion > installed.majorVersion;
    if (candidate.minorVersion != installed.minorVersion)
        return candidate.minorVersion > installed.minorVersion;
    return candidate.subMinorVersion > installed.subMinorVersion;
}

QString productDisplayName()
{
    return QStringLiteral("Larkspan Pictomat");
}

// The project has no domain of its own yet; the reserved example domain keeps these harmless.
QUrl makerWebsiteUrl()
{
    return QUrl(QStringLiteral("https://pictomat.example/"));
}

QUrl productPageUrl()
{
    return QUrl(QStringLiteral("https://pictomat.example/download/"));
}

QUrl updateDocumentUrl()
{
    const QByteArray override = qgetenv("PICTOMAT_UPDATE_URL");
    if (!override.isEmpty())
        return QUrl::fromUserInput(QString::fromUtf8(override));
    return QUrl(QStringLiteral("http://pictomat.example/Pictomat/update.txt"));
}
