// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/windowgeometry.h"

#include "common/lkglobal.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>

QRect fitWindowGeometry(WindowGeometry stored, quint32 screenWidth, quint32 screenHeight)
{
    quint32 x = stored.x;
    quint32 y = stored.y;
    quint32 w = stored.width;
    quint32 h = stored.height;
    if (x > screenWidth)
        x = 100;
    if (y > screenHeight)
        y = 100;

    if (w < MinimumWindowWidth)
        w = MinimumWindowWidth;
    else if (w > screenWidth)
        w = screenWidth;
    else if (x + w > screenWidth)
        x = screenWidth - w;

    if (h < MinimumWindowHeight)
        h = MinimumWindowHeight;
    else if (h > screenHeight)
        h = screenHeight;
    else if (y + h > screenHeight)
        y = screenHeight - h;

    return QRect(int(x), int(y), int(w), int(h));
}

QString windowGeometryKey()
{
#ifdef Q_OS_WIN
    return QStringLiteral("Software\\Larkspan Pictomat");
#else
    // Beside the settings store in the organisation's folder: "Larkspan/Pictomat.conf".
    return QStringLiteral("Software\\Larkspan\\Pictomat");
#endif
}

#ifndef Q_OS_WIN
namespace {

// Earlier builds kept the geometry in "Larkspan Pictomat.conf" at the top of the user's
// configuration folder. Its values are taken over where the new place has none, and the file
// goes, so that it is read only once.
void takeOverEarlierGeometryFile()
{
    QSettings earlier(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Larkspan Pictomat"));
    const QString earlierFile = earlier.fileName();
    if (!QFileInfo::exists(earlierFile))
        return;
    // The file LKGlobal's registry stand-in keeps windowGeometryKey() in.
    QSettings current(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Larkspan"),
        QStringLiteral("Pictomat"));
    const QStringList names = earlier.childKeys();
    for (const QString &name : names) {
        if (!current.contains(name))
            current.setValue(name, earlier.value(name));
    }
    current.sync();
    if (current.status() == QSettings::NoError)
        QFile::remove(earlierFile);
}

} // namespace
#endif

WindowGeometry readWindowGeometry()
{
#ifndef Q_OS_WIN
    takeOverEarlierGeometryFile();
#endif
    WindowGeometry geometry;
    const QString key = windowGeometryKey();
    LKGlobal::readRegistryDword(LKGlobal::CurrentUser, key, QStringLiteral("posX"), geometry.x);
    LKGlobal::readRegistryDword(LKGlobal::CurrentUser, key, QStringLiteral("posY"), geometry.y);
    LKGlobal::readRegistryDword(LKGlobal::CurrentUser, key, QStringLiteral("width"), geometry.width);
    LKGlobal::readRegistryDword(LKGlobal::CurrentUser, key, QStringLiteral("height"), geometry.height);
    return geometry;
}

void writeWindowGeometry(const QRect &geometry)
{
    const QString key = windowGeometryKey();
    LKGlobal::writeRegistryDword(LKGlobal::CurrentUser, key, QStringLiteral("posX"), quint32(geometry.x()));
    LKGlobal::writeRegistryDword(LKGlobal::CurrentUser, key, QStringLiteral("posY"), quint32(geometry.y()));
    LKGlobal::writeRegistryDword(
        LKGlobal::CurrentUser, key, QStringLiteral("width"), quint32(geometry.width()));
    LKGlobal::writeRegistryDword(
        LKGlobal::CurrentUser, key, QStringLiteral("height"), quint32(geometry.height()));
}
