// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/updatedocument.h"
#include "common/logging.h"

#include <QDebug>
#include <QString>
#include <QStringList>

VersionNumber parseUpdateDocument(const QByteArray &body)
{
    VersionNumber remote;
    const QString text = QString::fromUtf8(body);
    const QStringList entries = text.split(QLatin1Char(';'), Qt::KeepEmptyParts, Qt::CaseSensitive);
    for (QString entry : entries) {
        entry.remove(QStringLiteral("\r\n"));
        const qsizetype equals = entry.indexOf(QLatin1Char('='));
        if (entry.isEmpty() || equals < 0)
            continue;
        const QString key = entry.left(equals);
        const QString value = entry.mid(equals + 1);
        qDebug() << key << value;
        if (key == QLatin1String("majorVersion")) {
            qDebug() << "majorVersion found";
            remote.majorVersion = value.toInt(nullptr, 10);
        } else if (key == QLatin1String("minorVersion")) {
            qDebug() << "minorVersion found";
            remote.minorVersion = value.toInt(nullptr, 10);
        } else if (key == QLatin1String("subMinorVersion")) {
            qDebug() << "subMinorVersion found";
            remote.subMinorVersion = value.toInt(nullptr, 10);
        }
    }
    return remote;
}
