// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QtGlobal>

// Whether an image of width x height pixels at bytesPerPixel stays within the allocation limit
// the reader enforces for decoded files (QImageReader::allocationLimit()), so that no step makes
// an image larger than any file the program would load. False for sizes of 0 or less.
bool fitsAllocationLimit(qint64 width, qint64 height, int bytesPerPixel = 4);

// The bytes a result of the user's own scaling may take: a quarter of the memory the machine has
// available now (the result, the image it was made from, a working copy and the encoder share
// it), never less than the reader's allocation limit.
qint64 resultBudgetBytes();

// Whether a width x height result at bytesPerPixel fits resultBudgetBytes(). Enlarging a photo
// is the user's choice, so the reader's limit for untrusted files does not apply to it.
bool fitsResultBudget(qint64 width, qint64 height, int bytesPerPixel = 4);
