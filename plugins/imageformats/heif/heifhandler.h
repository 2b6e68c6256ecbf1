#pragma once

#include "plugins/imageformats/common/codechandler.h"

#include <QByteArray>
#include <QImageIOHandler>
#include <memory>

struct heif_context;
struct heif_image_handle;

// Reads and writes HEIC/HEIF through libheif: HEVC coded images, written with x265 and read
// with libde265. AVIF is never handled here (the AVIF plug-in reads and writes it through
// libavif), both because libheif 1.15's aom path aborts the process on deep images and because
// an AVIF file carries HEIF's brands too.
class HeifHandler : public CodecHandler {
public:
    HeifHandler();
    ~HeifHandler() override;

    bool canRead() const override;
    bool read(QImage *image) override;
    bool write(const QImage &image) override;

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

    QList<QByteArray> supportedSubTypes() const override { return { "8bit", "10bit", "12bit" }; }
    bool ensureParsed() const override;
    QSize uprightSize() const override;
    bool hasAlpha() const;
    bool isDeep() const;
    QImage::Format outputFormat() const override;
    QColorSpace colorSpace() const;

    mutable State m_state = State::Unparsed;
    bool m_decoded = false;
    mutable QByteArray m_data;
    mutable std::unique_ptr<heif_context, ContextDeleter> m_context;
    mutable std::unique_ptr<heif_image_handle, HandleDeleter> m_handle;
};
