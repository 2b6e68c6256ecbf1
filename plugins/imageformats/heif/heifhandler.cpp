// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "plugins/imageformats/heif/heifhandler.h"

#include "plugins/imageformats/common/cicp.h"
#include "plugins/imageformats/common/decodelimits.h"
#include "plugins/imageformats/common/decoderthreads.h"
#include "plugins/imageformats/common/encoderinput.h"
#include "plugins/imageformats/common/freewith.h"
#include "plugins/imageformats/common/isobmff.h"
#include "plugins/imageformats/common/orientation.h"
#include "plugins/imageformats/heif/heifextents.h"
#include "plugins/imageformats/heif/heifthumbnail.h"
#include "plugins/imageformats/heif/hevcdecoder.h"

#include <QColorSpace>
#include <QIODevice>
#include <QImage>
#include <QLoggingCategory>
#include <QPair>
#include <QVariant>
#include <cstring>
#include <limits>
#include <vector>

#include <libheif/heif.h>

Q_LOGGING_CATEGORY(lcHeif, "pictomat.imageformats.heif", QtWarningMsg)

// Encoder defaults, measured on a 12-megapixel photo-like picture (4000x3000, 3.0 MB as JPEG
// quality 92) on the two-core build machines with x265 3.5 (its own threads). The machines were
// shared (load 8 to 13), so CPU seconds are given: wall time on an idle machine lies between
// half of that and all of it. libheif's default preset "slow" took 31 s.
//   quality 70, presets medium / fast (= faster = veryfast for a still picture): 3.1 MB,
//                                      PSNR 46.2 dB, 10 / 9.6 s CPU
//   quality 50 / 60, preset superfast: 1313 KB, 41.0 dB, 6.1 s / 2007 KB, 43.6 dB, 7.3 s
//   quality 60, preset ultrafast:      2113 KB, 43.3 dB, 2.4 s
//   default, quality 50, ultrafast:    1336 KB, PSNR 40.6 dB, encoding 2.3 s CPU, decoding 0.5 s
// Only "ultrafast" keeps within about 3 s; it costs 2 % in size against "superfast". Quality 50
// (libheif's own default) matches the AVIF default's look at a similar size.
namespace {

constexpr const char *DefaultPreset = "ultrafast";
// What setQuality(-1) gives.
constexpr int DefaultQuality = 50;
// libheif 1.15 limits each side, not the area, of every picture it holds, and sizes some buffers
// from boxes its API never shows (an 823-byte file made it allocate 5 GB). The reader checks the
// pixels of every size the file states itself, then lets libheif take the longest of them; a
// file stating only smaller ones keeps this limit.
constexpr int DefaultSideLimit = 16384;

using ImageDeleter = FreeWith<heif_image_release>;
using EncoderDeleter = FreeWith<heif_encoder_release>;
using DecodingOptionsDeleter = FreeWith<heif_decoding_options_free>;
using EncodingOptionsDeleter = FreeWith<heif_encoding_options_free>;
using NclxDeleter = FreeWith<heif_nclx_color_profile_free>;

// libheif loads its codec plug-ins once per process; readers may start on any thread.
void initLibheif()
{
    static const bool initialized = [] {
        heif_init(nullptr);
        return true;
    }();
    Q_UNUSED(initialized);
}

bool failed(const heif_error &error, const char *what)
{
    if (error.code == heif_error_Ok)
        return false;
    qCWarning(lcHeif, "%s: %s", what, error.message ? error.message : "unknown error");
    return true;
}

// Samples of `bits` bits, stored in 16-bit words, stretched to the full 16-bit range.
inline quint16 widen(quint16 value, int bits)
{
    const quint32 max = (1u << bits) - 1;
    return quint16((qMin<quint32>(value, max) * 65535u + max / 2) / max);
}

inline quint16 narrow(quint16 value, int bits)
{
    const quint32 max = (1u << bits) - 1;
    return quint16((quint32(value) * max + 32767u) / 65535u);
}

void copyPixels8(const heif_image *decoded, int channels, QImage *image)
{
    int stride = 0;
    const uint8_t *plane = heif_image_get_plane_readonly(decoded, heif_channel_interleaved, &stride);
    // The sizes taken once: the loops run for every pixel of pictures of tens of megapixels.
    const int width = image->width(), height = image->height();
    for (int y = 0; y < height; ++y) {
        const uint8_t *in = plane + qsizetype(y) * stride;
        auto *out = reinterpret_cast<QRgb *>(image->scanLine(y));
        if (channels == 4) {
            for (int x = 0; x < width; ++x, in += 4)
                out[x] = qRgba(in[0], in[1], in[2], in[3]);
        } else {
            for (int x = 0; x < width; ++x, in += 3)
                out[x] = qRgb(in[0], in[1], in[2]);
        }
    }
}

void copyPixels16(const heif_image *decoded, int channels, int bits, QImage *image)
{
    int stride = 0;
    const uint8_t *plane = heif_image_get_plane_readonly(decoded, heif_channel_interleaved, &stride);
    const int width = image->width(), height = image->height();
    for (int y = 0; y < height; ++y) {
        const uint8_t *row = plane + qsizetype(y) * stride;
        auto *out = reinterpret_cast<QRgba64 *>(image->scanLine(y));
        for (int x = 0; x < width; ++x) {
            quint16 sample[4] = { 0, 0, 0, 0xffff };
            for (int c = 0; c < channels; ++c) {
                const uint8_t *p = row + (x * channels + c) * 2;
                sample[c] = widen(quint16(p[0] | (p[1] << 8)), bits);
            }
            out[x] = QRgba64::fromRgba64(sample[0], sample[1], sample[2], sample[3]);
        }
    }
}

// `input` is Format_RGB888 / Format_RGBA8888 (8 bits) or Format_RGBX64 / Format_RGBA64.
bool fillPlane(heif_image *target, const QImage &input, int bits, bool alpha)
{
    int stride = 0;
    uint8_t *plane = heif_image_get_plane(target, heif_channel_interleaved, &stride);
    if (!plane)
        return false;
    const int channels = alpha ? 4 : 3;
    for (int y = 0; y < input.height(); ++y) {
        uint8_t *out = plane + qsizetype(y) * stride;
        if (bits == 8) {
            std::memcpy(out, input.constScanLine(y), size_t(input.width()) * channels);
            continue;
        }
        const auto *in = reinterpret_cast<const QRgba64 *>(input.constScanLine(y));
        for (int x = 0; x < input.width(); ++x) {
            const quint16 sample[4] = { in[x].red(), in[x].green(), in[x].blue(), in[x].alpha() };
            for (int c = 0; c < channels; ++c) {
                const quint16 v = narrow(sample[c], bits);
                out[(x * channels + c) * 2] = uint8_t(v & 0xff);
                out[(x * channels + c) * 2 + 1] = uint8_t(v >> 8);
            }
        }
    }
    return true;
}

bool setColour(heif_image *target, const QImage &image)
{
    if (image.colorSpace().isValid()) {
        const QByteArray icc = image.colorSpace().iccProfile();
        if (!icc.isEmpty())
            return !failed(
                heif_image_set_raw_color_profile(target, "prof", icc.constData(), size_t(icc.size())),
                "Cannot attach the ICC profile");
    }
    std::unique_ptr<heif_color_profile_nclx, NclxDeleter> nclx(heif_nclx_color_profile_alloc());
    if (!nclx)
        return false;
    nclx->color_primaries = heif_color_primaries_ITU_R_BT_709_5;
    nclx->transfer_characteristics = heif_transfer_characteristic_IEC_61966_2_1;
    nclx->matrix_coefficients = heif_matrix_coefficients_ITU_R_BT_601_6;
    nclx->full_range_flag = 1;
    return !failed(heif_image_set_nclx_color_profile(target, nclx.get()), "Cannot set the colour profile");
}

// Metadata that libheif refuses is left out (logged): the picture is written all the same.
void addMetadata(
    heif_context *context, heif_image_handle *image, const QByteArray &exif, const QByteArray &xmp)
{
    if (!exif.isEmpty())
        failed(heif_context_add_exif_metadata(context, image, exif.constData(), int(exif.size())),
            "EXIF left out");
    if (!xmp.isEmpty())
        failed(
            heif_context_add_XMP_metadata(context, image, xmp.constData(), int(xmp.size())), "XMP left out");
}

// The first metadata block of `type` (and `contentType`, when given); empty when there is none
// or libheif cannot give it.
QByteArray metadataBlock(const heif_image_handle *handle, const char *type, const char *contentType = nullptr)
{
    const int count = heif_image_handle_get_number_of_metadata_blocks(handle, type);
    if (count <= 0)
        return {};
    std::vector<heif_item_id> ids(static_cast<size_t>(count));
    const int listed = heif_image_handle_get_list_of_metadata_block_IDs(handle, type, ids.data(), count);
    for (int i = 0; i < listed; ++i) {
        const char *content = heif_image_handle_get_metadata_content_type(handle, ids[size_t(i)]);
        if (contentType && (!content || std::strcmp(content, contentType) != 0))
            continue;
        QByteArray block(
            qsizetype(heif_image_handle_get_metadata_size(handle, ids[size_t(i)])), Qt::Uninitialized);
        if (!failed(
                heif_image_handle_get_metadata(handle, ids[size_t(i)], block.data()), "Metadata left out"))
            return block;
    }
    return {};
}

heif_error writeToDevice(heif_context *, const void *data, size_t size, void *userdata)
{
    auto *device = static_cast<QIODevice *>(userdata);
    if (device->write(static_cast<const char *>(data), qint64(size)) == qint64(size))
        return { heif_error_Ok, heif_suberror_Unspecified, "" };
    return { heif_error_Encoding_error, heif_suberror_Cannot_write_output_data,
        "cannot write to the device" };
}

using HeifSource::deviceReader;

QSize uprightSize(const heif_image_handle *handle)
{
    // libheif reports the size after its rotation and mirror, which read() applies too.
    return QSize(heif_image_handle_get_width(handle), heif_image_handle_get_height(handle));
}

bool hasAlpha(const heif_image_handle *handle)
{
    return heif_image_handle_has_alpha_channel(handle);
}

bool isDeep(const heif_image_handle *handle)
{
    return heif_image_handle_get_luma_bits_per_pixel(handle) > 8;
}

QImage::Format outputFormat(const heif_image_handle *handle)
{
    const bool premultiplied = heif_image_handle_is_premultiplied_alpha(handle);
    if (isDeep(handle)) {
        if (!hasAlpha(handle))
            return QImage::Format_RGBX64;
        return premultiplied ? QImage::Format_RGBA64_Premultiplied : QImage::Format_RGBA64;
    }
    if (!hasAlpha(handle))
        return QImage::Format_RGB32;
    return premultiplied ? QImage::Format_ARGB32_Premultiplied : QImage::Format_ARGB32;
}

// An ICC profile's colour space; for code points, an invalid one with the code points in *nclx.
QColorSpace colorSpace(const heif_image_handle *handle, QPair<int, int> *nclxCodes)
{
    switch (heif_image_handle_get_color_profile_type(handle)) {
    case heif_color_profile_type_prof:
    case heif_color_profile_type_rICC: {
        QByteArray icc(qsizetype(heif_image_handle_get_raw_color_profile_size(handle)), Qt::Uninitialized);
        if (icc.isEmpty()
            || failed(
                heif_image_handle_get_raw_color_profile(handle, icc.data()), "Cannot read the ICC profile"))
            return {};
        return QColorSpace::fromIccProfile(icc);
    }
    case heif_color_profile_type_nclx: {
        heif_color_profile_nclx *nclx = nullptr;
        if (failed(heif_image_handle_get_nclx_color_profile(handle, &nclx), "Cannot read the colour profile"))
            return {};
        std::unique_ptr<heif_color_profile_nclx, NclxDeleter> owner(nclx);
        *nclxCodes = { int(nclx->color_primaries), int(nclx->transfer_characteristics) };
        return {};
    }
    default:
        return {};
    }
}

bool takesSize(QSize size)
{
    // A file that our own reader would refuse whatever its limit is not written at all: the job
    // reports it instead.
    if (!DecodeLimits::isSaneSize(size)) {
        qCWarning(lcHeif, "Cannot write HEIF: %d x %d is beyond what the reader takes", size.width(),
            size.height());
        return false;
    }
    return true;
}

int sideLimit(const HeifExtents::Survey &survey)
{
    // libheif refuses a side as long as its limit.
    return int(qBound<quint64>(
        DefaultSideLimit, HeifExtents::longestSide(survey) + 1, std::numeric_limits<int>::max()));
}

QByteArray detectHeif(QIODevice *device)
{
    const QList<QByteArray> brands = IsoBmff::peekBrands(device);
    if (!IsoBmff::isHeif(brands))
        return {};
    return IsoBmff::isHevc(brands) ? QByteArrayLiteral("heic") : QByteArrayLiteral("heif");
}

} // namespace

const CodecTraits HeifTraits { { "heic", "heif" }, detectHeif, { "8bit", "10bit", "12bit" }, 10,
    DefaultQuality, takesSize };

HeifHandler::HeifHandler()
    : m_context(nullptr, heif_context_free)
    , m_handle(nullptr, heif_image_handle_release)
{
}

bool HeifHandler::parse() const
{
    if (device()->isSequential())
        return false;
    m_source = { device(), device()->pos() };
    const HeifExtents::Survey extents = HeifExtents::survey(device(), m_source.start);
    m_refusal = HeifExtents::refusal(extents, extents.primary.pixels());
    if (!m_refusal.isEmpty() || !device()->seek(m_source.start)) {
        qCWarning(lcHeif, "HEIF refused: %s", qPrintable(m_refusal));
        return false;
    }
    initLibheif();
    m_context.reset(heif_context_alloc());
    if (!m_context)
        return false;
    HevcDecoder::useFor(m_context.get(), DecoderThreads::forDevice(device(), HevcDecoder::MaxThreads));
    // libheif 1.15 trusts a grid's or overlay's own canvas size; a 1 KB file claiming a huge one
    // made it allocate 2.4 GB before failing. Sides beyond those checked are refused while parsing.
    heif_context_set_maximum_image_size_limit(m_context.get(), sideLimit(extents));
    if (failed(heif_context_read_from_reader(m_context.get(), &deviceReader, &m_source, nullptr),
            "Cannot parse HEIF"))
        return false;
    heif_image_handle *handle = nullptr;
    if (failed(heif_context_get_primary_image_handle(m_context.get(), &handle), "HEIF has no primary image"))
        return false;
    m_handle.reset(handle);
    const QSize size = uprightSize(handle);
    if (!DecodeLimits::isSaneSize(size)) {
        qCWarning(lcHeif, "HEIF image has an invalid size");
        return false;
    }
    // A crop makes the picture smaller than the one libheif decodes before cropping.
    m_refusal = HeifExtents::refusal(extents, quint64(size.width()) * quint64(size.height()));
    if (!m_refusal.isEmpty()) {
        qCWarning(lcHeif, "HEIF refused: %s", qPrintable(m_refusal));
        return false;
    }
    m_header = { size, outputFormat(handle) };
    m_readExif = exifTiff(metadataBlock(handle, "Exif"));
    m_readXmp = metadataBlock(handle, "mime", "application/rdf+xml");
    return true;
}

bool HeifHandler::decode(QImage *image)
{
    QImage pixels;
    const heif_image_handle *handle = m_handle.get();
    if (!QImageIOHandler::allocateImage(m_header.size, m_header.format, &pixels))
        return false;
    const bool alpha = hasAlpha(handle);
    const heif_chroma chroma = isDeep(handle)
        ? (alpha ? heif_chroma_interleaved_RRGGBBAA_LE : heif_chroma_interleaved_RRGGBB_LE)
        : (alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB);
    std::unique_ptr<heif_decoding_options, DecodingOptionsDeleter> options(heif_decoding_options_alloc());
    heif_image *decoded = nullptr;
    if (failed(heif_decode_image(m_handle.get(), &decoded, heif_colorspace_RGB, chroma, options.get()),
            "Cannot decode HEIF"))
        return false;
    std::unique_ptr<heif_image, ImageDeleter> owner(decoded);
    if (QSize(heif_image_get_width(decoded, heif_channel_interleaved),
            heif_image_get_height(decoded, heif_channel_interleaved))
        != pixels.size()) {
        qCWarning(lcHeif, "HEIF image size differs from its header");
        return false;
    }

    const int channels = alpha ? 4 : 3;
    if (heif_image_get_bits_per_pixel(decoded, heif_channel_interleaved)
        != channels * (isDeep(handle) ? 16 : 8)) {
        qCWarning(lcHeif, "HEIF decoder returned an unexpected pixel layout");
        return false;
    }
    if (isDeep(handle))
        copyPixels16(decoded, channels,
            heif_image_get_bits_per_pixel_range(decoded, heif_channel_interleaved), &pixels);
    else
        copyPixels8(decoded, channels, &pixels);
    QPair<int, int> nclx { 0, 0 };
    const QColorSpace space = colorSpace(handle, &nclx);
    if (space.isValid())
        pixels.setColorSpace(space);
    else if (nclx.first != 0 && Cicp::apply(pixels, nclx.first, nclx.second))
        qCWarning(lcHeif, "HEIF picture with transfer %d tone-mapped to SDR", nclx.second);
    *image = pixels;
    return true;
}

// A phone's thumbnail item is a small HEVC picture of its own: an icon from it costs a fraction
// of the whole picture's decode.
bool HeifHandler::decodeReduced(QSize wanted, QImage *image)
{
    QImage thumbnail = HeifThumbnail::decode(m_handle.get(), wanted);
    if (thumbnail.isNull())
        return decode(image);
    *image = std::move(thumbnail);
    return true;
}

QList<QSize> HeifHandler::reducedSizes() const
{
    return m_handle ? HeifThumbnail::sizes(m_handle.get()) : QList<QSize>();
}

bool HeifHandler::encode(QImage input, const EncodeSettings &settings)
{
    initLibheif();
    const int bits = settings.depth;
    const bool alpha = input.hasAlphaChannel();
    const int quality = settings.quality;

    std::unique_ptr<heif_context, void (*)(heif_context *)> context(heif_context_alloc(), heif_context_free);
    heif_encoder *rawEncoder = nullptr;
    if (!context
        || failed(heif_context_get_encoder_for_format(context.get(), heif_compression_HEVC, &rawEncoder),
            "No HEVC encoder"))
        return false;
    std::unique_ptr<heif_encoder, EncoderDeleter> encoder(rawEncoder);
    if (failed(heif_encoder_set_lossy_quality(encoder.get(), quality), "Cannot set the HEIF quality")
        || failed(heif_encoder_set_parameter_string(encoder.get(), "preset", DefaultPreset),
            "Cannot set the preset")
        // x265's thread pool; its wavefront rows come out the same with any number of threads.
        || failed(heif_encoder_set_parameter_string(
                      encoder.get(), "x265:pools", QByteArray::number(settings.threads).constData()),
            "Cannot set the encoder threads"))
        return false;

    const heif_chroma chroma = bits > 8
        ? (alpha ? heif_chroma_interleaved_RRGGBBAA_LE : heif_chroma_interleaved_RRGGBB_LE)
        : (alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB);
    heif_image *rawImage = nullptr;
    if (failed(heif_image_create(input.width(), input.height(), heif_colorspace_RGB, chroma, &rawImage),
            "Cannot create the HEIF image"))
        return false;
    std::unique_ptr<heif_image, ImageDeleter> target(rawImage);
    if (failed(
            heif_image_add_plane(target.get(), heif_channel_interleaved, input.width(), input.height(), bits),
            "Cannot allocate the HEIF image")
        || !fillPlane(target.get(), input, bits, alpha) || !setColour(target.get(), input))
        return false;
    input = QImage();

    std::unique_ptr<heif_encoding_options, EncodingOptionsDeleter> options(heif_encoding_options_alloc());
    options->save_alpha_channel = alpha;
    if (options->version >= 5)
        options->image_orientation = heif_orientation(Orientation::exifFromTransformation(m_transformation));
    heif_image_handle *encoded = nullptr;
    if (failed(heif_context_encode_image(context.get(), target.get(), encoder.get(), options.get(), &encoded),
            "Cannot encode HEIF"))
        return false;
    addMetadata(context.get(), encoded, m_exif, m_xmp);
    heif_image_handle_release(encoded);
    heif_writer writer { 1, writeToDevice };
    return !failed(heif_context_write(context.get(), &writer, device()), "Cannot write HEIF");
}
