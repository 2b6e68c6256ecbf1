// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <cstdint>

// PNG row filtering as libpng does it by default for 8- and 16-bit pictures without a palette:
// every row gets the filter whose output has the smallest sum of absolute byte values (None
// first, then Sub, Up, Average, Paeth; a later one wins only when strictly smaller).
//
// `row` and `previous` hold `length` bytes each (`previous` is all zeros for the first row);
// `bytesPerPixel` is the filter distance (at least 1). Writes the filter type byte and the
// filtered row to `out` (length + 1 bytes). `scratch` holds 2 * length bytes of work space.
void filterRowAdaptive(const uint8_t *row, const uint8_t *previous, size_t length, int bytesPerPixel,
    uint8_t *out, uint8_t *scratch);

// The filter type byte 0 (None) followed by the row unchanged: what libpng writes for palette
// pictures and depths below 8 bits.
void filterRowNone(const uint8_t *row, size_t length, uint8_t *out);
