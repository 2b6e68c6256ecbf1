#pragma once

#include <QSize>

namespace DecodeLimits {

// Whether a size read from a header is a plausible, non-empty image size within QImage's
// bounds. Checked before anything is decoded; the reader's allocation limit is enforced by
// QImageIOHandler::allocateImage before the codec decodes pixels.
bool isSaneSize(const QSize &size);

} // namespace DecodeLimits
