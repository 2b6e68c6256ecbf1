// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The QImageWriter text key under which the program tells our writers how many threads their
// encoder may start ("3"); without it they take every core. Our writers never write it as text.
namespace EncoderThreadsKey {
inline constexpr char Key[] = "PictomatEncoderThreads";
} // namespace EncoderThreadsKey
