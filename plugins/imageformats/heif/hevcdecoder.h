// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

struct heif_context;

// An HEVC decoder for libheif on libde265 that decodes a picture's wavefront rows on several
// threads (libheif's own gives libde265 one). It hands libheif the same planes libheif's own
// would, so the pixels after libheif's colour conversion are the same.
namespace HevcDecoder {

// libde265 takes at most 32 worker threads.
inline constexpr int MaxThreads = 32;

// Makes `context` decode HEVC items with this decoder, ahead of libheif's own, on `threads`
// worker threads (1 to MaxThreads: the file's share of the cores), and decode up to that many of
// a grid's tiles side by side.
void useFor(heif_context *context, int threads);

} // namespace HevcDecoder
