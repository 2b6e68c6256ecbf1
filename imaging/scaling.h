// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "convert/conversionoptions.h"

#include <QImage>
#include <QSize>
#include <optional>

// The size the scaling step resizes a w x h image to, or nothing when scaleType is outside 0..2.
std::optional<QSize> computeScaledSize(const ConversionOptions &options, int w, int h);

// When scaling is on and a size setting can give no picture at all (a side of 0, as typed letters
// are stored), the words that say which one ("The long edge must be at least 1 pixel"); else empty.
QString scalingProblem(const ConversionOptions &options);

// The transformation mode of the scaling step for one render; pdfPage: a page of a combined PDF.
Qt::TransformationMode scalingMode(const ConversionOptions &options, bool fastPreview, bool pdfPage);

// The scaling step: the image resized as the options say, or unchanged when scaling is off.
// Null when the size is empty, or too large for the memory budget (then *reason, if given, says
// so). A palette or 1-bit picture is smoothed in 32 bits, so it keeps its colours.
QImage applyScaling(const QImage &image, const ConversionOptions &options, bool fastPreview, bool pdfPage,
    QString *reason = nullptr);

// Whether halveImage() gives exactly what the toolkit's smooth scaler gives for this reduction:
// both sides halved exactly, from a format that scaler works in directly.
bool canHalveExactly(const QImage &image, QSize size);

// The image at half its width and height, each pixel the mean of a 2 x 2 block rounded down:
// the toolkit's smooth (area-averaging) scaler computes exactly this for a halving, in four
// times the work. Only for what canHalveExactly() accepts.
QImage halveImage(const QImage &image);
