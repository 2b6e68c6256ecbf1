#pragma once

#include <QtGlobal>

// Whether an image of width x height pixels at bytesPerPixel stays within the allocation limit
// the reader enforces for decoded files (QImageReader::allocationLimit()), so that no step makes
// an image larger than any file the program would load. False for sizes of 0 or less.
bool fitsAllocationLimit(qint64 width, qint64 height, int bytesPerPixel = 4);
