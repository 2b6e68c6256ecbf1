#pragma once

#include <QByteArray>
#include <QImageIOHandler>
#include <memory>

struct heif_context;
struct heif_image_handle;

// Reads and writes HEIC/HEIF through libheif: HEVC coded images, written with x265 and read
// with libde265. AVIF is never handled here (the AVIF plug-in reads and writes it through
// libavif), both because libheif 1.15's aom path aborts the process on deep images and because
// an AVIF file carries HEIF's brands too.
class HeifHandler : public QImageIOHandler {
public:
    HeifHandler();
    ~HeifHandler() override;

    bool canRead() const override;
    bool read(QImage *image) override;
    bool write(const QImage &image) override;

    QVariant option(ImageOption option) const override;
    void setOption(ImageOption option, const QVariant &value) override;
    bool supportsOption(ImageOption option) const override;

    // Looks at the file-type box only; never consumes the device.
    static bool canRead(QIODevice *device);

    // What setQuality(-1) gives: see the measurements in heifhandler.cpp.
    static constexpr int DefaultQuality = 50;

private:
    struct ContextDeleter {
        void operator()(heif_context *context) const;
    };
    struct HandleDeleter {
        void operator()(heif_image_handle *handle) const;
    };
    enum class State { Unparsed, Parsed, Failed };

    bool ensureParsed() const;
    QSize size() const;
    bool hasAlpha() const;
    bool isDeep() const;
    QImage::Format outputFormat() const;
    QColorSpace colorSpace() const;
    int writeDepth(const QImage &image) const;

    mutable State m_state = State::Unparsed;
    bool m_decoded = false;
    mutable QByteArray m_data;
    mutable std::unique_ptr<heif_context, ContextDeleter> m_context;
    mutable std::unique_ptr<heif_image_handle, HandleDeleter> m_handle;
    int m_quality = -1;
    QByteArray m_subType;
    Transformations m_transformation = TransformationNone;
};
