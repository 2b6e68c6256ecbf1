// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

// How much memory converting one picture takes, by target, against what the machine has free, so
// that a job refuses a picture it cannot encode instead of letting the system swap or end the
// program, and so that files run side by side only as far as memory allows.
namespace MemoryBudget {

// The memory the machine can give without swapping, now: the least of MemAvailable, what the
// control groups the process is in leave (see controlGroupLeft()) and what its address-space
// limit leaves. -1 when the system does not say.
qint64 availableBytes();

// Bytes per pixel the writer of `targetExt` (".avif", "jxl", any case, with or without the dot)
// takes at its peak on top of the finished picture it is handed. Measured; see memorybudget.cpp.
double encoderBytesPerPixel(const QString &targetExt);

// What the writer takes on top of the picture, for a picture of `size`.
qint64 encoderBytes(QSize size, const QString &targetExt);

// Bytes per pixel the reader of `sourceFormat` (as QImageReader::format() names it: "png",
// "dng", ...) holds at its peak, the decoded picture included: 4 for a picture as the render hands
// it on, more for camera RAW, whose development holds LibRaw's buffers beside the picture.
double decoderBytesPerPixel(const QByteArray &sourceFormat);

// The whole conversion of a picture of `size` read as `sourceFormat`: the larger of the reader's
// peak and the decoded picture (4 bytes a pixel, 8 for RAW's 16 bits) with the writer's peak.
qint64 conversionBytes(QSize size, const QString &targetExt, const QByteArray &sourceFormat = QByteArray());

// The check before decoding: false, with "picture too large" in *reason (if given), when the
// reader's peak exceeds `available`. An unknown amount (-1) is taken as enough.
bool fitsDecoder(QSize size, const QByteArray &sourceFormat, QString *reason = nullptr,
    qint64 available = availableBytes());

// What the memory limits of the process's control groups leave, the least of them: cgroup v2's
// memory.max less memory.current in the process's own group (a systemd-run scope) and each one
// above it, or cgroup v1's memory.limit_in_bytes less memory.usage_in_bytes likewise. `root` is
// where the groups are mounted, `procSelfCgroup` what /proc/self/cgroup says. -1 when no limit.
qint64 controlGroupLeft(const QString &root, const QByteArray &procSelfCgroup);

// What a job may hold in files in flight: three quarters of availableBytes() when the job
// starts (the rest for the previews, the window and the system), -1 when the system does not say.
qint64 jobBytes();

// The check before encoding: false, with "picture too large" and the number of megapixels that
// fit into `available` in *reason (if given), when the writer's peak exceeds it. An unknown
// amount (-1) is taken as enough.
bool fitsEncoder(
    QSize size, const QString &targetExt, QString *reason = nullptr, qint64 available = availableBytes());

} // namespace MemoryBudget
