// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// How many threads the encoder of a file written on this thread may start; the job gives the
// file's decoder the same share (RenderMode::decoderThreads). A job converting several files at
// once gives each file its share of the cores, so that the files and their codecs together start
// no more busy threads than there are cores; outside such a job (0) a codec takes every core.
class EncoderThreadShare {
public:
    explicit EncoderThreadShare(int threads);
    ~EncoderThreadShare();
    EncoderThreadShare(const EncoderThreadShare &) = delete;
    EncoderThreadShare &operator=(const EncoderThreadShare &) = delete;

    // The share set on this thread, 0 when none is.
    static int current();
    // The share of one of `filesAtOnce` files running together: the cores (at most `threadLimit`
    // when that is positive) split evenly, at least 1.
    static int forFiles(int filesAtOnce, int threadLimit = 0);

private:
    int _outer;
};
