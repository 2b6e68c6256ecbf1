// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QtGlobal>

// Call first in main(), before any thread starts. Conversions and previews decode and encode
// large images on worker threads; glibc gives each thread its own malloc arena, and an arena
// keeps much of what a finished file freed, so a job held about half an image more than it used.
// One shared arena lets the next file reuse that memory. Pictures are also kept off glibc's
// fresh-mapping path: a new mapping per picture made every file fault in its pages again, and
// the threads of a job converting several files at once queued on those faults. Elsewhere this
// does nothing.
void shareOneMallocArena();

// Hands the memory that freed pictures left in the heap back to the system: at the end of a job.
void releaseFreeMemory();

// What the process's address-space limit (RLIMIT_AS, as `ulimit -v` or prlimit set it) leaves
// above what the process has mapped now, in bytes; -1 when there is no such limit.
qint64 addressSpaceLeft();
