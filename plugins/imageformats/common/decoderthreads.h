// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QIODevice>
#include <QThread>
#include <QVariant>

// How many threads the decoder of a file may start. A job converting several files at once gives
// each file its share of the cores, for its decoder as for its encoder, so that the files and their
// codecs together start no more busy threads than there are cores. The program tells our readers
// the share through a property of the device they read from (an int); a device without it (a
// preview, another program) lets the decoder take every core.
namespace DecoderThreads {

inline constexpr char Property[] = "pictomatDecoderThreads";

// The threads for a decoder reading `device`, from 1 to `maximum`.
inline int forDevice(const QIODevice *device, int maximum)
{
    const int asked = device ? device->property(Property).toInt() : 0;
    return qBound(1, asked > 0 ? asked : QThread::idealThreadCount(), maximum);
}

} // namespace DecoderThreads
