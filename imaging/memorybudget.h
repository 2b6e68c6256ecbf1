// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QSize>
#include <QString>

// How much memory converting one picture takes, by target, against what the machine has free, so
// that a job refuses a picture it cannot encode instead of letting the system swap or end the
// program, and so that files run side by side only as far as memory allows.
namespace MemoryBudget {

// Bytes per pixel the writer of `targetExt` (".avif", "jxl", any case, with or without the dot)
// takes at its peak on top of the finished picture it is handed. Measured; see memorybudget.cpp.
double encoderBytesPerPixel(const QString &targetExt);

// What the writer takes on top of the picture, for a picture of `size`.
qint64 encoderBytes(QSize size, const QString &targetExt);

// The whole conversion of a picture of `size`: the decoded picture (4 bytes a pixel, as the
// render hands it on) and the writer's peak.
qint64 conversionBytes(QSize size, const QString &targetExt);

// The memory the machine can give without swapping, now: the least of MemAvailable, what the
// control groups the process is in leave (see controlGroupLeft()) and what its address-space
// limit leaves. -1 when the system does not say.
qint64 availableBytes();

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
