#include "plugins/imageformats/common/decodelimits.h"

namespace DecodeLimits {

bool isSaneSize(const QSize &size)
{
    // QImage addresses lines with int byte counts; 16 bytes per pixel is the widest format.
    return size.width() > 0 && size.height() > 0 && size.width() <= (1 << 27) / 16
        && size.height() <= (1 << 27);
}

} // namespace DecodeLimits
