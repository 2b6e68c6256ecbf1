// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "plugins/imageformats/common/codechandler.h"
#include "plugins/imageformats/heif/heifsource.h"

#include <memory>

struct heif_context;
struct heif_image_handle;

// The format's keys, content check and writer defaults (see the measurements in the .cpp).
extern const CodecTraits HeifTraits;

// Reads and writes HEIC/HEIF through libheif: HEVC coded images, written with x265 and read
// with libde265. AVIF is never handled here (the AVIF plug-in reads and writes it through
// libavif), both because libheif 1.15's aom path aborts the process on deep images and because
// an AVIF file carries HEIF's brands too.
class HeifHandler : public FormatHandler<HeifTraits> {
public:
    HeifHandler();

    using Source = HeifSource::Source;

private:
    bool parse() const override;
    bool decode(QImage *image) override;
    bool decodeReduced(QSize wanted, QImage *image) override;
    QList<QSize> reducedSizes() const override;
    bool encode(QImage input, const EncodeSettings &settings) override;

    mutable Source m_source;
    mutable std::unique_ptr<heif_context, void (*)(heif_context *)> m_context;
    mutable std::unique_ptr<heif_image_handle, void (*)(const heif_image_handle *)> m_handle;
};
