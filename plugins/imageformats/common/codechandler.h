#pragma once

#include <QByteArray>
#include <QImageIOHandler>
#include <QList>

// What our three format plug-ins share: the options a writer sets are remembered for write(),
// and a reader answers Size and ImageFormat from the file once it is parsed. Every reader applies
// the file's stored orientation while decoding, so the transformation it reports is none.
class CodecHandler : public QImageIOHandler {
public:
    QVariant option(ImageOption option) const override;
    void setOption(ImageOption option, const QVariant &value) override;
    bool supportsOption(ImageOption option) const override;

protected:
    // The sub-types ("8bit", ...) write() understands.
    virtual QList<QByteArray> supportedSubTypes() const = 0;
    // Parses the header once; false when the data is not a readable image.
    virtual bool ensureParsed() const = 0;
    // Of a parsed file: its size once upright, and the format read() produces.
    virtual QSize uprightSize() const = 0;
    virtual QImage::Format outputFormat() const = 0;

    // The bits per channel write() encodes: the sub-type set, when it is one of ours, else
    // `deepDefault` for an image of more than 8 bits per channel and 8 for the others.
    int writeDepth(const QImage &image, int deepDefault) const;

    // The quality write() encodes at: `defaultQuality` when none was set, at most 100.
    int writeQuality(int defaultQuality) const { return m_quality < 0 ? defaultQuality : qMin(m_quality, 100); }

    int m_quality = -1;
    QByteArray m_subType;
    Transformations m_transformation = TransformationNone;
};
