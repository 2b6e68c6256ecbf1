// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/encoderthreads.h"

#include <QThread>

namespace {

thread_local int share = 0;

} // namespace

EncoderThreadShare::EncoderThreadShare(int threads)
    : _outer(share)
{
    share = qMax(0, threads);
}

EncoderThreadShare::~EncoderThreadShare()
{
    share = _outer;
}

int EncoderThreadShare::current()
{
    return share;
}

int EncoderThreadShare::forFiles(int filesAtOnce, int threadLimit)
{
    const int cores = qMax(1, QThread::idealThreadCount());
    return qMax(1, (threadLimit > 0 ? qMin(cores, threadLimit) : cores) / qMax(1, filesAtOnce));
}
