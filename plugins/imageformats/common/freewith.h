#pragma once

// A std::unique_ptr deleter that hands an object back to the C library that made it, through the
// library's own release function.
template <auto Free> struct FreeWith {
    template <typename T> void operator()(T *object) const { Free(object); }
};
