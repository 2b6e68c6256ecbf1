// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>
#include <QList>
#include <QSize>

class QIODevice;
struct heif_image_handle;

// The thumbnail items of a HEIF or AVIF picture (phones write one), which make list icons and
// previews without decoding the whole picture. Only thumbnails shaped like the picture count.
namespace HeifThumbnail {

// The upright sizes of the picture's usable thumbnails, smallest first.
QList<QSize> sizes(const heif_image_handle *primary);

// The smallest usable thumbnail whose upright size covers `wanted`, decoded upright (libheif
// turns, mirrors and crops it as its own boxes say, as it does the picture) in 8 bits per
// channel with its colour space, or the picture's when it has none. Null when there is none.
QImage decode(const heif_image_handle *primary, QSize wanted);

// The same for the file on `device` from `start` (an AVIF file, whose thumbnails libavif does not
// give), which libheif reads through the device as far as it needs. The caller has checked the
// sizes the file states (HeifExtents::refusal) before.
QImage decodeFile(QIODevice *device, qint64 start, QSize wanted);

} // namespace HeifThumbnail
