// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QRect>
#include <QString>

// The main window's position and size as kept between runs. The values are DWORDs and are
// compared unsigned, so a negative stored position counts as far off screen.
struct WindowGeometry {
    quint32 x = 100;
    quint32 y = 100;
    quint32 width = 986;
    quint32 height = 513;
};

constexpr quint32 MinimumWindowWidth = 986;
constexpr quint32 MinimumWindowHeight = 513;

// Brings a stored geometry back onto a screen of the given size.
QRect fitWindowGeometry(WindowGeometry stored, quint32 screenWidth, quint32 screenHeight);

// Where the geometry is kept: HKCU\Software\Larkspan Pictomat on Windows, the settings file
// "Larkspan/Pictomat.conf" in the user's configuration folder elsewhere.
QString windowGeometryKey();
// Elsewhere than on Windows it first takes over the file earlier builds kept the values in.
WindowGeometry readWindowGeometry();
void writeWindowGeometry(const QRect &geometry);
