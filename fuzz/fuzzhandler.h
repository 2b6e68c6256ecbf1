// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QBuffer>
#include <QImage>
#include <QImageIOHandler>
#include <QImageReader>
#include <QLoggingCategory>
#include <cstddef>
#include <cstdint>

// One fuzz input through a plug-in's reader the way QImageReader drives it: the content
// check, the header queries, then the full or the scaled read.
template <typename Handler> int fuzzImageHandler(const uint8_t *data, size_t size)
{
    static const bool configured = [] {
        // Keeps legitimately huge headers from exhausting the fuzzer's memory limit.
        QImageReader::setAllocationLimit(64);
        QLoggingCategory::setFilterRules(QStringLiteral("pictomat.imageformats.*=false"));
        return true;
    }();
    Q_UNUSED(configured);

    QBuffer buffer;
    buffer.setData(reinterpret_cast<const char *>(data), qsizetype(size));
    if (!buffer.open(QIODevice::ReadOnly))
        return 0;
    Handler handler;
    handler.setDevice(&buffer);
    if (!handler.canRead())
        return 0;
    handler.option(QImageIOHandler::Size);
    handler.option(QImageIOHandler::ImageFormat);
    handler.option(QImageIOHandler::Description);
    // Half the inputs take the scaled read of the list icons and the live preview (thumbnails,
    // low-resolution passes).
    if (data[size - 1] & 1)
        handler.setOption(QImageIOHandler::ScaledSize, QSize(64, 48));
    QImage image;
    if (handler.read(&image) && image.isNull())
        __builtin_trap();
    return 0;
}
