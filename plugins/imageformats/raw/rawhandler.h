#pragma once

#include "plugins/imageformats/common/codechandler.h"

#include <QByteArray>
#include <memory>

class LibRaw;
class LibRaw_abstract_datastream;

// The format's keys and content checks; read only.
extern const CodecTraits RawTraits;

// Reads camera RAW files through LibRaw: demosaiced with the white balance the camera stored,
// from the camera's colours into sRGB, 16 bits per channel where the picture fits the decoding
// limit at that depth (8 otherwise), upright. A scaled read (list icons, the first preview) starts
// from the preview JPEG the camera embedded when it covers the size asked for, else from a
// half-size development. Only the decoders of the formats in rawFormats() run.
class RawHandler : public FormatHandler<RawTraits> {
public:
    RawHandler();
    ~RawHandler() override;

private:
    bool parse() const override;
    bool decode(QImage *image) override;
    bool decodeReduced(QSize wanted, QImage *image) override;
    QList<QSize> reducedSizes() const override;
    bool encode(QImage input, const EncodeSettings &settings) override;

    // Unpacks and develops the RAW at full or half size into *image.
    bool develop(bool half, QImage *image);
    // Unpacks the embedded preview once; its upright size in m_previewSize (invalid when there is
    // no JPEG preview Qt can read, or its shape is not the picture's).
    void findPreview() const;
    // The embedded preview decoded, upright, reduced in the JPEG decoder as far as `wanted` allows.
    QImage embeddedPreview(QSize wanted) const;
    // Why LibRaw failed, logged; the text for the user where the program has one.
    void failed(const char *step, int error) const;

    // The whole file, for a device that cannot seek.
    mutable QByteArray m_bytes;
    mutable std::unique_ptr<LibRaw_abstract_datastream> m_stream;
    // Declared after its input, so that it goes first.
    mutable std::unique_ptr<LibRaw> m_raw;
    // LibRaw's orientation of the sensor's picture: bit 4 exchanges rows and columns, applied after
    // bit 2 (upside down) and bit 1 (left to right).
    mutable int m_flip = 0;
    mutable bool m_previewLooked = false;
    mutable QSize m_previewSize;
};
