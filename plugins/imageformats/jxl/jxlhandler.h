#pragma once

#include <QByteArray>
#include <QColorSpace>
#include <QImageIOHandler>
#include <memory>

#include <jxl/codestream_header.h>
#include <jxl/decode_cxx.h>
#include <jxl/thread_parallel_runner_cxx.h>

// Reads and writes JPEG XL through libjxl. Reading runs the decoder as far as the colour
// profile for every option query, and on to the pixels only in read().
class JxlHandler : public QImageIOHandler {
public:
    JxlHandler();
    ~JxlHandler() override;

    bool canRead() const override;
    bool read(QImage *image) override;
    bool write(const QImage &image) override;

    QVariant option(ImageOption option) const override;
    void setOption(ImageOption option, const QVariant &value) override;
    bool supportsOption(ImageOption option) const override;

    // Looks at the codestream or container signature only; never consumes the device.
    static bool canRead(QIODevice *device);

    // What setQuality(-1) gives (butteraugli distance 1.0): see the measurements in jxlhandler.cpp.
    static constexpr int DefaultQuality = 90;

private:
    enum class State { Unparsed, Parsed, Failed };

    bool ensureParsed() const;
    QSize uprightSize() const;
    bool hasAlpha() const;
    bool isDeep() const;
    QImage::Format outputFormat() const;
    int writeBits(const QImage &image) const;

    mutable State m_state = State::Unparsed;
    bool m_decoded = false;
    mutable QByteArray m_data;
    mutable JxlThreadParallelRunnerPtr m_runner;
    mutable JxlDecoderPtr m_decoder;
    mutable JxlBasicInfo m_info {};
    mutable QColorSpace m_colorSpace;
    int m_quality = -1;
    QByteArray m_subType;
    Transformations m_transformation = TransformationNone;
};
