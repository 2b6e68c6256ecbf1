// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "plugins/imageformats/common/codechandler.h"

#include <QColorSpace>
#include <memory>

#include <jxl/codestream_header.h>
#include <jxl/decode_cxx.h>
#include <jxl/thread_parallel_runner_cxx.h>

// The format's keys, content check and writer defaults (see the measurements in the .cpp).
extern const CodecTraits JxlTraits;

// Reads and writes JPEG XL through libjxl. Reading runs the decoder as far as the colour
// profile for every option query, and on to the pixels only in read(), handing it the file in
// parts as it asks for them.
class JxlHandler : public FormatHandler<JxlTraits> {
private:
    bool parse() const override;
    bool decode(QImage *image) override;
    bool encode(QImage input, const EncodeSettings &settings) override;
    // EXIF and XMP from their boxes, Brotli-compressed ("brob") ones too, in a pass of its own
    // over the file.
    void readMetadataBlocks() const override;
    // Hands the decoder the next part of the file, keeping what it has not taken yet; false at
    // the end of the file.
    bool feedInput() const;
    // The decoder's next event, fed from the device as it asks for more.
    JxlDecoderStatus nextEvent() const;

    mutable QByteArray m_input;
    mutable qint64 m_inputEnd = -1;
    mutable qint64 m_inputStart = -1;
    mutable bool m_boxesRead = false;
    mutable JxlThreadParallelRunnerPtr m_runner;
    mutable JxlDecoderPtr m_decoder;
    mutable JxlBasicInfo m_info {};
    mutable QColorSpace m_colorSpace;
    // Whether read() asks libjxl for 16 bits per channel.
    mutable bool m_deepOutput = false;
};
