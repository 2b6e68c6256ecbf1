#pragma once

#include "plugins/imageformats/common/codechandler.h"

#include <QByteArray>
#include <QImageIOHandler>
#include <memory>

struct avifDecoder;

// Reads and writes AVIF through libavif (aom encoder, dav1d decoder). Reading parses the
// container once for every option query and the read; the pixels are decoded only by read().
class AvifHandler : public CodecHandler {
public:
    AvifHandler();
    ~AvifHandler() override;

    bool canRead() const override;
    bool read(QImage *image) override;
    bool write(const QImage &image) override;

    // Looks at the file-type box only; never consumes the device.
    static bool canRead(QIODevice *device);

    // What setQuality(-1) gives: see the measurements in avifhandler.cpp.
    static constexpr int DefaultQuality = 70;

private:
    struct DecoderDeleter {
        void operator()(avifDecoder *decoder) const;
    };
    enum class State { Unparsed, Parsed, Failed };

    QList<QByteArray> supportedSubTypes() const override { return { "8bit", "10bit", "12bit" }; }
    bool ensureParsed() const override;
    QSize storedSize() const;
    QSize uprightSize() const override;
    bool isDeep() const;
    QImage::Format outputFormat() const override;

    mutable State m_state = State::Unparsed;
    bool m_decoded = false;
    mutable QByteArray m_data;
    mutable std::unique_ptr<avifDecoder, DecoderDeleter> m_decoder;
};
