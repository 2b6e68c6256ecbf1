// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "convert/conversionoptions.h"

#include <QImage>
#include <QString>
#include <functional>

// The live preview's picture from a reduced decode (a JPEG decoded at 1/2 to 1/8 of its size, a
// HEIF or AVIF thumbnail), upright and reduced by nearest pixel to the size `fit` gives
// for what the options' scaling makes of the whole picture; the adjustments are the caller's.
// Null when an option draws on the picture or blurs it (those need the picture at the size the
// target has), or when no reduced decode covers the fitted size: the exact render is used then.
// Runs on the preview worker.
QImage reducedPreview(
    const QString &path, const ConversionOptions &options, const std::function<QSize(QSize)> &fit);
