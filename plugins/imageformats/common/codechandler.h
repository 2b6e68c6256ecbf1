// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QImage>
#include <QImageIOHandler>
#include <QList>

// What our three format plug-ins share: the content check and the parse-once state of a reader,
// the bounds every read keeps (a file no picture within the decoding limit could need is not
// read; an allocation that fails ends the read, not the process), and the settings every writer
// starts from. A reader answers Size and ImageFormat from the file once it is parsed, and applies
// the file's stored orientation while decoding, so the transformation it reports is none.
// What tells one format's handler from the others'.
struct CodecTraits {
    // The format names, the first being the one written by default.
    QList<QByteArray> keys;
    // The format name of the content on a device (one of `keys`), empty when it is not this
    // format's. Only peeks.
    QByteArray (*detect)(QIODevice *device);
    // The sub-types ("8bit", ...) write() understands.
    QList<QByteArray> subTypes;
    // The bits per channel of a deep picture written without a sub-type.
    int deepDefault;
    // The quality written when none was set.
    int defaultQuality;
    // Whether the writer takes a picture of this size (warns when not); null for every size.
    bool (*takesSize)(QSize size);
    // A format read only: no writer.
    bool readOnly = false;
    // The check asked when no format name is given (Qt guessing from the content alone), where a
    // format sharing its container with others must be surer than `detect`; null for `detect`.
    QByteArray (*detectByContent)(QIODevice *device) = nullptr;
};

class CodecHandler : public QImageIOHandler {
public:
    explicit CodecHandler(const CodecTraits &traits)
        : m_traits(traits)
    {
    }

    bool canRead() const override;
    bool read(QImage *image) override;
    bool write(const QImage &image) override;

    QVariant option(ImageOption option) const override;
    void setOption(ImageOption option, const QVariant &value) override;
    bool supportsOption(ImageOption option) const override;

protected:
    // What write() hands encode(): the bits per channel, the quality (at most 100), and whether
    // that quality asks for lossless coding.
    struct EncodeSettings {
        int depth = 8;
        int quality = 0;
        bool lossless = false;
        // The threads the encoder may start: what the program asked for, else every core.
        int threads = 1;
    };

    // Parses the header of device(), which detect() took and whose size is within bounds, and
    // sets m_header.
    virtual bool parse() const = 0;
    // Decodes the parsed file; called once.
    virtual bool decode(QImage *image) = 0;
    // Decodes the parsed file from the smallest picture it holds that still covers `wanted` (an
    // embedded thumbnail, a low-resolution pass), upright as decode() gives it; the whole picture
    // when it holds none. Called once, instead of decode(), when the reader asks for a scaled size.
    virtual bool decodeReduced(QSize wanted, QImage *image)
    {
        Q_UNUSED(wanted);
        return decode(image);
    }
    // The upright sizes of the smaller pictures decodeReduced() can start from, for callers that
    // choose between a scaled read and a whole one; the reader hands them on as the text
    // MetadataKeys::ReducedSizes.
    virtual QList<QSize> reducedSizes() const { return {}; }
    // Fills m_readExif and m_readXmp where parse() does not, for formats that keep them apart from
    // what the picture needs (JPEG XL's boxes); called only when the program asks for them.
    virtual void readMetadataBlocks() const { }
    // Encodes `input` (as EncoderInput::prepare() made it) onto device(). Handed over by value:
    // once the library holds the pixels in its own form, the handler lets go of this copy, which
    // would otherwise stay for the whole encode.
    virtual bool encode(QImage input, const EncodeSettings &settings) = 0;

    // Of a parsed file: its size once upright, and the format read() produces.
    struct Header {
        QSize size;
        QImage::Format format = QImage::Format_Invalid;
    };
    mutable Header m_header;
    // Of a parsed file: its EXIF (a TIFF structure) and XMP, handed to the program as reader texts.
    mutable QByteArray m_readExif;
    mutable QByteArray m_readXmp;
    // Set by parse() when it refuses a file of its format that it cannot show correctly: why, in
    // words for the user. The reader hands it on as the text MetadataKeys::Refusal.
    mutable QString m_refusal;

    // The TIFF structure in an EXIF payload that may start with an offset or an "Exif" header; empty
    // when there is none.
    static QByteArray exifTiff(const QByteArray &payload);

    // Parses the header once; false when the data is not a readable image.
    bool ensureParsed() const;

    // The bits per channel write() encodes: the sub-type set, when it is one of ours, else
    // `deepDefault` for an image of more than 8 bits per channel and 8 for the others.
    int writeDepth(const QImage &image, int deepDefault) const;

    // The quality write() encodes at: `defaultQuality` when none was set, at most 100.
    int writeQuality(int defaultQuality) const
    {
        return m_quality < 0 ? defaultQuality : qMin(m_quality, 100);
    }

    // EXIF (a TIFF structure) and XMP the program handed over as writer texts; empty when none.
    QByteArray m_exif;
    QByteArray m_xmp;
    // The encoder threads the program asked for; 0 when it did not say.
    int m_encoderThreads = 0;
    int m_quality = -1;
    QByteArray m_subType;
    Transformations m_transformation = TransformationNone;
    // The size a reader asked for (QImageReader::setScaledSize); invalid for the whole picture.
    QSize m_scaledSize;

private:
    const CodecTraits &m_traits;
    enum class State { Unparsed, Parsed, Failed };
    mutable State m_state = State::Unparsed;
    bool m_decoded = false;
};

// A format's handler: a CodecHandler reading and writing with `Traits`, which the format's plug-in
// object asks for too (the format's keys, content check and writer defaults).
template <const CodecTraits &Traits> class FormatHandler : public CodecHandler {
public:
    FormatHandler()
        : CodecHandler(Traits)
    {
    }

    static const CodecTraits &traits() { return Traits; }
};
