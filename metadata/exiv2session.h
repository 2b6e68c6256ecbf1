// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Sets exiv2 up once per process: the XMP toolkit with a lock (conversions run on several
// threads), the ISO-BMFF reader (AVIF, HEIF, JPEG XL) and its own log silenced, since every
// failure is reported by our callers. Safe to call from any thread, any number of times.
void ensureExiv2Ready();
