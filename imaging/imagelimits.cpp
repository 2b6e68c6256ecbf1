// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "imaging/imagelimits.h"

#include "imaging/memorybudget.h"
#include "plugins/imageformats/common/decodelimits.h"

#include <QImageReader>
#include <limits>

bool fitsAllocationLimit(qint64 width, qint64 height, int bytesPerPixel)
{
    if (width <= 0 || height <= 0 || bytesPerPixel <= 0)
        return false;
    constexpr qint64 maxSide = std::numeric_limits<int>::max();
    if (width > maxSide || height > maxSide)
        return false;
    // A limit of 0 turns the reader's check off; the steps keep the loader's default instead,
    // since nothing else stops a hand-edited option from asking for terabytes.
    const int limitMegabytes = QImageReader::allocationLimit() > 0 ? QImageReader::allocationLimit()
                                                                   : DecodeLimits::AllocationLimitMB;
    const qint64 limitBytes = qint64(limitMegabytes) * 1024 * 1024;
    const qint64 bytesPerLine = width * bytesPerPixel;
    return bytesPerLine <= limitBytes && height <= limitBytes / bytesPerLine;
}

qint64 resultBudgetBytes()
{
    // Without a figure from the system, 1 GB: enough for a 24-megapixel photo at 200 %.
    const qint64 available = MemoryBudget::availableBytes();
    const qint64 share = available > 0 ? available / 4 : qint64(1) << 30;
    const int limitMegabytes = QImageReader::allocationLimit() > 0 ? QImageReader::allocationLimit()
                                                                   : DecodeLimits::AllocationLimitMB;
    return qMax(share, qint64(limitMegabytes) * 1024 * 1024);
}

bool fitsResultBudget(qint64 width, qint64 height, int bytesPerPixel)
{
    if (width <= 0 || height <= 0 || bytesPerPixel <= 0)
        return false;
    constexpr qint64 maxSide = std::numeric_limits<int>::max();
    if (width > maxSide || height > maxSide)
        return false;
    const qint64 budget = resultBudgetBytes();
    const qint64 bytesPerLine = width * bytesPerPixel;
    return bytesPerLine <= budget && height <= budget / bytesPerLine;
}
