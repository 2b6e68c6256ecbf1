// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QtGlobal>

class QIODevice;

namespace JpegScans {

// libjpeg-turbo's own tools refuse files with more scans than this; no encoder writes as many.
constexpr int Limit = 500;

// The number of start-of-scan markers in the JPEG on `device`, counted from where it stands,
// stopping once `stopAbove` is passed. A frame whose first scan holds every component is single
// scan, and libjpeg refuses any further scan of it, so the count ends there without reading the
// coded data. The device is left where it was. -1 when it cannot be read or moved.
int count(QIODevice *device, int stopAbove = Limit);

} // namespace JpegScans
