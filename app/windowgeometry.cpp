#include "app/windowgeometry.h"

#include "common/lkglobal.h"

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
    return QStringLiteral("Software\\Larkspan Pictomat");
}

WindowGeometry readWindowGeometry()
{
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
