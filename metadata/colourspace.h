// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>
#include <QImageIOHandler>

// The image turned upright by a reader's transformation, with its colour space: Qt 6.4 drops the
// colour space when it rotates an image by a multiple of 90 degrees.
QImage uprightKeepingColourSpace(QImage image, QImageIOHandler::Transformations transformation);

// The pixels converted to sRGB, for what shows them or stores them without a profile (screens,
// GIF, PDF pages). Untagged and sRGB images come back as they are.
QImage convertedToSrgb(QImage image);
