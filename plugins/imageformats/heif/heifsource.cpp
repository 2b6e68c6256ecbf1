// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "plugins/imageformats/heif/heifsource.h"

#include <QIODevice>

#include <libheif/heif.h>

namespace HeifSource {

namespace {

    int64_t sourcePosition(void *userdata)
    {
        const auto *source = static_cast<Source *>(userdata);
        return source->device->pos() - source->start;
    }

    int sourceRead(void *data, size_t size, void *userdata)
    {
        const auto *source = static_cast<Source *>(userdata);
        return source->device->read(static_cast<char *>(data), qint64(size)) == qint64(size) ? 0 : 1;
    }

    int sourceSeek(int64_t position, void *userdata)
    {
        const auto *source = static_cast<Source *>(userdata);
        return source->device->seek(source->start + position) ? 0 : 1;
    }

    heif_reader_grow_status sourceWait(int64_t size, void *userdata)
    {
        const auto *source = static_cast<Source *>(userdata);
        return size <= source->device->size() - source->start ? heif_reader_grow_status_size_reached
                                                              : heif_reader_grow_status_size_beyond_eof;
    }

} // namespace

const heif_reader deviceReader { 1, sourcePosition, sourceRead, sourceSeek, sourceWait };

} // namespace HeifSource
