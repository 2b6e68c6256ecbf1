#include "convert/pngfilter.h"

#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

enum Filter : uint8_t { None = 0, Sub = 1, Up = 2, Average = 3, Paeth = 4 };

// The byte seen as a signed value, its distance from zero: libpng's measure of a filtered row.
inline size_t weight(uint8_t v)
{
    return v < 128 ? v : 256 - v;
}

inline int paethPredictor(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = std::abs(p - a);
    const int pb = std::abs(p - b);
    const int pc = std::abs(p - c);
    if (pa <= pb && pa <= pc)
        return a;
    return pb <= pc ? b : c;
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

// Filters `row` into `out` and returns the weight of the result. One instance per filter keeps
// the choice out of the inner loop.
template <Filter filter>
size_t applyFilter(const uint8_t *row, const uint8_t *up, size_t length, size_t bpp, uint8_t *out)
{
    size_t sum = 0;
    const size_t head = bpp < length ? bpp : length;
    for (size_t i = 0; i < head; ++i) {
        out[i] = uint8_t(row[i] - predict<filter>(0, up[i], 0));
        sum += weight(out[i]);
    }
    for (size_t i = head; i < length; ++i) {
        out[i] = uint8_t(row[i] - predict<filter>(row[i - bpp], up[i], up[i - bpp]));
        sum += weight(out[i]);
    }
    return sum;
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
        if (sum >= bestSum)
            return;
        bestSum = sum;
        bestFilter = filter;
        std::swap(best, candidate);
        bestRow = best;
    };
    consider(Sub, applyFilter<Sub>(row, previous, length, bpp, candidate));
    consider(Up, applyFilter<Up>(row, previous, length, bpp, candidate));
    consider(Average, applyFilter<Average>(row, previous, length, bpp, candidate));
    consider(Paeth, applyFilter<Paeth>(row, previous, length, bpp, candidate));
    out[0] = bestFilter;
    std::memcpy(out + 1, bestRow, length);
}

void filterRowNone(const uint8_t *row, size_t length, uint8_t *out)
{
    out[0] = None;
    std::memcpy(out + 1, row, length);
}
