// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/pngfilter.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

enum Filter : uint8_t { None = 0, Sub = 1, Up = 2, Average = 3, Paeth = 4 };

// The byte seen as a signed value, its distance from zero: libpng's measure of a filtered row.
inline unsigned weight(uint8_t v)
{
    return unsigned(std::abs(int(int8_t(v))));
}

inline int paethPredictor(int a, int b, int c)
{
    // |p - a|, |p - b| and |p - c| for p = a + b - c, without forming p.
    const int pa = std::abs(b - c);
    const int pb = std::abs(a - c);
    const int pc = std::abs(a + b - 2 * c);
    return pa <= pb && pa <= pc ? a : (pb <= pc ? b : c);
}

template <Filter filter> inline int predict(int left, int above, int upperLeft)
{
    if constexpr (filter == Sub)
        return left;
    else if constexpr (filter == Up)
        return above;
    else if constexpr (filter == Average)
        return (left + above) / 2;
    else if constexpr (filter == Paeth)
        return paethPredictor(left, above, upperLeft);
    else
        return 0;
}

// Filters bytes [from, to) of a row; `hasLeft` when they all lie past the first pixel.
template <Filter filter, bool hasLeft>
size_t filterSpan(const uint8_t *__restrict row, const uint8_t *__restrict up, size_t from, size_t to,
    size_t bpp, uint8_t *__restrict out)
{
    size_t sum = 0;
    for (size_t i = from; i < to; ++i) {
        const int left = hasLeft ? row[i - bpp] : 0;
        const int upperLeft = hasLeft ? up[i - bpp] : 0;
        out[i] = uint8_t(row[i] - predict<filter>(left, up[i], upperLeft));
        sum += weight(out[i]);
    }
    return sum;
}

// Filters `row` into `out` and returns the weight of the result, or SIZE_MAX as soon as the
// weight reaches `limit` (it could not win then, and the rest of the row is not needed).
template <Filter filter>
size_t applyFilter(
    const uint8_t *row, const uint8_t *up, size_t length, size_t bpp, uint8_t *out, size_t limit)
{
    constexpr size_t Block = 1024;
    const size_t head = bpp < length ? bpp : length;
    size_t sum = filterSpan<filter, false>(row, up, 0, head, bpp, out);
    for (size_t from = head; from < length && sum < limit; from += Block)
        sum += filterSpan<filter, true>(row, up, from, std::min(from + Block, length), bpp, out);
    return sum < limit ? sum : SIZE_MAX;
}

} // namespace

void filterRowAdaptive(const uint8_t *row, const uint8_t *previous, size_t length, int bytesPerPixel,
    uint8_t *out, uint8_t *scratch)
{
    const size_t bpp = size_t(bytesPerPixel < 1 ? 1 : bytesPerPixel);
    uint8_t *candidate = scratch;
    uint8_t *best = scratch + length;
    const uint8_t *bestRow = row;
    uint8_t bestFilter = None;
    size_t bestSum = 0;
    for (size_t i = 0; i < length; ++i)
        bestSum += weight(row[i]);

    const auto consider = [&](Filter filter, size_t sum) {
        if (sum == SIZE_MAX)
            return;
        bestSum = sum;
        bestFilter = filter;
        std::swap(best, candidate);
        bestRow = best;
    };
    consider(Sub, applyFilter<Sub>(row, previous, length, bpp, candidate, bestSum));
    consider(Up, applyFilter<Up>(row, previous, length, bpp, candidate, bestSum));
    consider(Average, applyFilter<Average>(row, previous, length, bpp, candidate, bestSum));
    consider(Paeth, applyFilter<Paeth>(row, previous, length, bpp, candidate, bestSum));
    out[0] = bestFilter;
    std::memcpy(out + 1, bestRow, length);
}

void filterRowNone(const uint8_t *row, size_t length, uint8_t *out)
{
    out[0] = None;
    std::memcpy(out + 1, row, length);
}
