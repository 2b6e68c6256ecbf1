// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "plugins/imageformats/common/codechandler.h"

#include <memory>

struct avifDecoder;

// The format's keys, content check and writer defaults (see the measurements in the .cpp).
extern const CodecTraits AvifTraits;

// Reads and writes AVIF through libavif (aom encoder, dav1d decoder). Reading parses the
// container once for every option query and the read, reading its boxes from the device as
// libavif asks for them; the pixels are decoded only by read().
class AvifHandler : public FormatHandler<AvifTraits> {
public:
    AvifHandler();

private:
    bool parse() const override;
    bool decode(QImage *image) override;
    bool decodeReduced(QSize wanted, QImage *image) override;
    bool encode(QImage input, const EncodeSettings &settings) override;

    mutable std::unique_ptr<avifDecoder, void (*)(avifDecoder *)> m_decoder;
};
