// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "imaging/adjustrule.h"

#include <QImage>

// Every rule of `rules` applied in list order; the caller's image is not modified, and an image
// handed over as an rvalue is worked on in place instead of copied. Runs on worker threads.
QImage applyAdjustments(QImage image, const AdjustRuleList &rules);

// The steps of the rule kinds. Each returns a new image; passing an rvalue lets a step work in
// place instead of copying. All but Grayscale and Gaussian Blur return Format_RGB32, or
// Format_ARGB32 with the alpha channel kept when the image has one; Grayscale returns
// Format_Grayscale8, or gray Format_ARGB32 with its alpha (Gamma with a gamma of 0 or less
// returns the image as it came).
QImage onProcessGrayscale(QImage image);
QImage onProcessSepia(QImage image);
QImage onProcessContrast(QImage image, int contrast);
QImage onProcessBrightness(QImage image, int offset);
QImage onProcessGamma(QImage image, int value);
QImage onProcessInvertColors(QImage image, int threshold);
QImage onProcessGaussianBlur(QImage image, int radius);
