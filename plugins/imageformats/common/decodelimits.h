// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QSize>
#include <QString>
#include <QtGlobal>

class QIODevice;

namespace DecodeLimits {

// The reader's allocation limit in megabytes (QImageReader::setAllocationLimit) that the program
// sets for every decode of a source; the budgets below are derived from it.
inline constexpr int AllocationLimitMB = 256;

// Whether a size read from a header is a plausible, non-empty image size within QImage's
// bounds. Checked before anything is decoded; the reader's allocation limit is enforced by
// QImageIOHandler::allocateImage before the codec decodes pixels.
bool isSaneSize(const QSize &size);

// The largest file a reader takes: twice the bytes of the largest picture the allocation limit
// lets it decode (lossless coding of noise can exceed the raw size a little), plus room for
// metadata. No picture the reader would decode needs a larger file.
qint64 maxFileBytes();

// Whether what is left on `device` is within maxFileBytes() (warns when not).
bool fitsFileLimit(QIODevice *device);

// The most pixels any picture a reader decodes may have, hidden ones and tiles included: the
// allocation limit at 4 bytes a pixel, the fewest our readers give (256 MB: 67 megapixels).
// With the limit off, AllocationLimitMB stands in, as for the program's other steps.
quint64 maxPixels();

// Why a file is refused, in the program's words: a picture of width x height beyond maxPixels().
QString tooLarge(quint64 width, quint64 height);
QString damaged();

} // namespace DecodeLimits
