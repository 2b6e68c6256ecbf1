// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "imaging/jpegreduction.h"

#include "plugins/imageformats/common/decodelimits.h"

#include <QtGlobal>

int jpegReduction(QSize stored, QSize wanted)
{
    if (stored.isEmpty()
        || qint64(stored.width()) * stored.height() * 4 > qint64(DecodeLimits::AllocationLimitMB) << 20)
        return 1;
    int factor = 1;
    while (factor < 8 && stored.width() / (factor * 2) >= wanted.width()
        && stored.height() / (factor * 2) >= wanted.height())
        factor *= 2;
    return factor;
}
