// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "convert/encodersettings.h"
#include "metadata/imagemetadata.h"

#include <QImage>
#include <QString>

// Writes one file target through QImageWriter (PNG through our own encoder), the format chosen
// from the target's suffix. `encoder` gives the quality or compression of the target's format.
// The image goes to a temporary file in the target folder that replaces the target only once
// it is complete, so a failed write leaves no partial file and never damages an existing one.
// `metadata` goes into the temporary file before it replaces the target.
// What of `metadata` the file could not keep is said in *leftOut (the file is written all the same).
// On failure logs the "Cannot write: " diagnostics, sets *error (if given) and returns false.
bool writeImageFile(const QImage &image, const QString &targetPath, const EncoderSettings &encoder,
    QString *error = nullptr, const ImageMetadata &metadata = ImageMetadata(), QString *leftOut = nullptr);
