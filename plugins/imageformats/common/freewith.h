// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// A std::unique_ptr deleter that hands an object back to the C library that made it, through the
// library's own release function.
template <auto Free> struct FreeWith {
    template <typename T> void operator()(T *object) const { Free(object); }
};
