#pragma once

#include "plugins/imageformats/common/codechandler.h"

#include <QByteArray>
#include <QColorSpace>
#include <QImageIOHandler>
#include <memory>

#include <jxl/codestream_header.h>
#include <jxl/decode_cxx.h>
#include <jxl/thread_parallel_runner_cxx.h>

// Reads and writes JPEG XL through libjxl. Reading runs the decoder as far as the colour
// profile for every option query, and on to the pixels only in read().
class JxlHandler : public CodecHandler {
public:
    JxlHandler();
    ~JxlHandler() override;

    bool canRead() const override;
    bool read(QImage *image) override;
    bool write(const QImage &image) override;

    // Looks at the codestream or container signature only; never consumes the device.
    static bool canRead(QIODevice *device);

    // What setQuality(-1) gives (butteraugli distance 1.0): see the measurements in jxlhandler.cpp.
    static constexpr int DefaultQuality = 90;

private:
    enum class State { Unparsed, Parsed, Failed };

    QList<QByteArray> supportedSubTypes() const override { return { "8bit", "16bit" }; }
    bool ensureParsed() const override;
    QSize uprightSize() const override;
    bool hasAlpha() const;
    bool isDeep() const;
    QImage::Format outputFormat() const override;

    mutable State m_state = State::Unparsed;
    bool m_decoded = false;
    mutable QByteArray m_data;
    mutable JxlThreadParallelRunnerPtr m_runner;
    mutable JxlDecoderPtr m_decoder;
    mutable JxlBasicInfo m_info {};
    mutable QColorSpace m_colorSpace;
};
