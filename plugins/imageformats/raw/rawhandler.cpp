#include "plugins/imageformats/raw/rawhandler.h"

#include "plugins/imageformats/common/codecformats.h"
#include "plugins/imageformats/common/decodelimits.h"
#include "plugins/imageformats/common/decodestop.h"
#include "plugins/imageformats/raw/rawdetect.h"
#include "plugins/imageformats/raw/rawstream.h"

#include <QBuffer>
#include <QColorSpace>
#include <QCoreApplication>
#include <QHash>
#include <QIODevice>
#include <QImageReader>
#include <QLoggingCategory>
#include <QTransform>
#include <QtEndian>
#include <climits>
#include <cstring>

#include <libraw/libraw.h>

Q_LOGGING_CATEGORY(lcRaw, "pictomat.imageformats.raw", QtWarningMsg)

namespace {

// The decoders (LibRaw's load_raw functions) of the formats we read; the parsers of other formats
// may recognise a file that passed our content check, but their decoders never run.
bool isOurDecoder(const char *name)
{
    static const char *const decoders[] = {
        // DNG
        "lossless_dng_load_raw()",
        "packed_dng_load_raw()",
        "lossy_dng_load_raw()",
        "deflate_dng_load_raw()",
        // CR2, CR3
        "lossless_jpeg_load_raw()",
        "canon_sraw_load_raw()",
        "crxLoadRaw()",
        // NEF, NRW
        "nikon_load_raw()",
        "nikon_14bit_load_raw()",
        "nikon_yuv_load_raw()",
        "nikon_load_yuv_load_raw()",
        // ARW, SR2
        "sony_arw_load_raw()",
        "sony_arw2_load_raw()",
        // RAF
        "fuji_compressed_load_raw()",
        "fuji_14bit_load_raw()",
        "unpacked_load_raw_FujiDBP()",
        // ORF
        "olympus_load_raw()",
        // RW2
        "panasonic_load_raw()",
        "panasonicC6_load_raw()",
        "panasonicC7_load_raw()",
        // PEF
        "pentax_load_raw()",
        // SRW
        "samsung_load_raw()",
        "samsung2_load_raw()",
        "samsung3_load_raw()",
        // 3FR
        "hasselblad_load_raw()",
        // IIQ
        "phase_one_load_raw()",
        "phase_one_load_raw_c()",
        // Uncompressed data of every maker above
        "packed_load_raw()",
        "unpacked_load_raw()",
    };
    if (!name)
        return false;
    for (const char *decoder : decoders) {
        if (std::strcmp(name, decoder) == 0)
            return true;
    }
    return false;
}

// LibRaw asks between the steps of opening, unpacking and developing; non-zero stops it.
int stopWhenCalledOff(void *, LibRaw_progress, int, int)
{
    return DecodeStop::requested() ? 1 : 0;
}

// The largest picture any directory of a TIFF-structured file states, as LibRaw parses them: LibRaw
// forgets the sizes of a file it refuses for its size.
struct StatedSizes {
    QHash<int, QSize> byDirectory;

    quint64 largest() const
    {
        quint64 pixels = 0;
        for (const QSize &size : byDirectory)
            pixels = qMax(pixels, quint64(size.width()) * quint64(size.height()));
        return pixels;
    }
};

void noteStatedSize(void *context, int tag, int type, int count, unsigned int order, void *stream, INT64)
{
    const int number = tag & 0xffff;
    if ((number != 256 && number != 257) || count != 1 || (type != 3 && type != 4) || !stream)
        return;
    auto *input = static_cast<LibRaw_abstract_datastream *>(stream);
    uchar bytes[4] = {};
    if (input->read(bytes, 1, type == 3 ? 2 : 4) != (type == 3 ? 2 : 4))
        return;
    const bool little = order == 0x4949;
    const quint32 value = type == 3
        ? (little ? qFromLittleEndian<quint16>(bytes) : qFromBigEndian<quint16>(bytes))
        : (little ? qFromLittleEndian<quint32>(bytes) : qFromBigEndian<quint32>(bytes));
    QSize &size = static_cast<StatedSizes *>(context)->byDirectory[tag >> 16];
    const int side = int(qMin<quint32>(value, INT_MAX));
    if (number == 256)
        size.setWidth(side);
    else
        size.setHeight(side);
}

// The picture at `size` as LibRaw's orientation leaves it.
QSize turned(QSize size, int flip)
{
    return flip & 4 ? size.transposed() : size;
}

// Turns a picture as the sensor's orientation says (the embedded preview is stored as the sensor
// saw the scene, like the RAW itself).
QImage upright(QImage image, int flip)
{
    const QColorSpace space = image.colorSpace();
    if (flip & 3)
        image = image.mirrored(flip & 1, flip & 2);
    if (flip & 4) {
        // Exchanging rows and columns: a quarter turn clockwise, then left and right swapped.
        image = image.transformed(QTransform().rotate(90)).mirrored(true, false);
        image.setColorSpace(space);
    }
    return image;
}

bool covers(QSize size, QSize wanted)
{
    return size.width() >= wanted.width() && size.height() >= wanted.height();
}

// Whether two sizes have nearly one shape: a preview cut to another shape than the picture
// (black bars, another crop) would be stretched.
bool sameShape(QSize a, QSize b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    const double ratio = double(a.width()) * b.height() / (double(a.height()) * b.width());
    return ratio > 0.97 && ratio < 1.03;
}

// Whether a picture of `size` at 16 bits per channel fits the reader's allocation limit.
bool fitsDeep(QSize size)
{
    const qint64 limitBytes = qint64(QImageReader::allocationLimit() > 0 ? QImageReader::allocationLimit()
                                                                         : DecodeLimits::AllocationLimitMB)
        << 20;
    return qint64(size.width()) * size.height() * 8 <= limitBytes;
}

// LibRaw's three 16-bit samples a pixel widened in place to Qt's four (the last opaque), from
// the right so that no sample is overwritten before it is read.
void widenRows(QImage *image)
{
    for (int y = 0; y < image->height(); ++y) {
        auto *row = reinterpret_cast<quint16 *>(image->scanLine(y));
        for (int x = image->width() - 1; x >= 0; --x) {
            const quint16 r = row[3 * x], g = row[3 * x + 1], b = row[3 * x + 2];
            row[4 * x] = r;
            row[4 * x + 1] = g;
            row[4 * x + 2] = b;
            row[4 * x + 3] = 0xffff;
        }
    }
}

} // namespace

const CodecTraits RawTraits { rawFormats(), RawDetect::byName, {}, 16, 0, nullptr, true,
    RawDetect::byContent };

RawHandler::RawHandler() = default;
RawHandler::~RawHandler() = default;

void RawHandler::failed(const char *step, int error) const
{
    qCWarning(lcRaw, "Cannot %s the %s file: %s", step, format().constData(), libraw_strerror(error));
    if (error == LIBRAW_CANCELLED_BY_CALLBACK)
        m_refusal = QCoreApplication::translate("FailureReason", "stopped");
    else if (error == LIBRAW_UNSUFFICIENT_MEMORY || error == LIBRAW_TOO_BIG)
        m_refusal = QCoreApplication::translate("FailureReason", "not enough memory");
    else if (error == LIBRAW_DATA_ERROR || error == LIBRAW_IO_ERROR)
        m_refusal = DecodeLimits::damaged();
}

bool RawHandler::parse() const
{
    // LibRaw's own reports of damaged data and memory go to stderr; ours go to the log.
    m_raw = std::make_unique<LibRaw>(LIBRAW_OPIONS_NO_MEMERR_CALLBACK | LIBRAW_OPIONS_NO_DATAERR_CALLBACK);
    libraw_output_params_t &params = m_raw->imgdata.params;
    params.use_camera_wb = 1;
    params.use_camera_matrix = 1;
    params.output_color = 1; // sRGB
    // The sRGB curve, so that the pixels are what the colour space attached to them says.
    params.gamm[0] = 1.0 / 2.4;
    params.gamm[1] = 12.92;
    // The largest raw buffer a picture within the decoding limit needs: four 16-bit samples a pixel.
    params.max_raw_memory_mb = unsigned(qMax<quint64>(1, DecodeLimits::maxPixels() * 8 >> 20));
    m_raw->set_progress_handler(stopWhenCalledOff, nullptr);

    if (device()->isSequential()) {
        m_bytes = device()->readAll();
        m_stream = std::make_unique<LibRaw_buffer_datastream>(m_bytes.data(), size_t(m_bytes.size()));
    } else {
        m_stream = std::make_unique<RawDeviceStream>(device());
    }
    StatedSizes stated;
    m_raw->set_exifparser_handler(noteStatedSize, &stated);
    const int opened = m_raw->open_datastream(m_stream.get());
    m_raw->set_exifparser_handler(nullptr, nullptr);
    const libraw_image_sizes_t &sizes = m_raw->imgdata.sizes;
    const quint64 rawPixels = quint64(sizes.raw_width) * sizes.raw_height;
    const quint64 pixels = quint64(sizes.width) * sizes.height;
    if (qMax(rawPixels, pixels) > DecodeLimits::maxPixels()) {
        qCWarning(lcRaw, "%s file of %ux%u pixels refused", format().constData(), sizes.raw_width,
            sizes.raw_height);
        m_refusal = DecodeLimits::tooLarge(sizes.raw_width, sizes.raw_height);
        return false;
    }
    if (opened != LIBRAW_SUCCESS) {
        // LibRaw refuses sides beyond 64000 itself and forgets them; the reason is still the size.
        if (stated.largest() > DecodeLimits::maxPixels()) {
            QSize largest;
            for (const QSize &size : std::as_const(stated.byDirectory)) {
                if (quint64(size.width()) * quint64(size.height()) == stated.largest())
                    largest = size;
            }
            m_refusal = DecodeLimits::tooLarge(quint64(largest.width()), quint64(largest.height()));
        }
        failed("open", opened);
        return false;
    }
    libraw_decoder_info_t decoder {};
    if (m_raw->get_decoder_info(&decoder) != LIBRAW_SUCCESS || !isOurDecoder(decoder.decoder_name)) {
        qCWarning(lcRaw, "%s file with LibRaw's decoder %s refused", format().constData(),
            decoder.decoder_name ? decoder.decoder_name : "(none)");
        m_refusal
            = QCoreApplication::translate("FailureReason", "this kind of camera RAW file is not supported");
        return false;
    }
    m_flip = sizes.flip & 7;
    const QSize size = turned(QSize(sizes.width, sizes.height), m_flip);
    if (!DecodeLimits::isSaneSize(size)) {
        qCWarning(lcRaw, "%s file has an invalid size", format().constData());
        return false;
    }
    const bool grey = m_raw->imgdata.idata.colors == 1;
    const bool deep = fitsDeep(size);
    params.output_bps = deep ? 16 : 8;
    m_header.size = size;
    m_header.format = grey ? (deep ? QImage::Format_Grayscale16 : QImage::Format_Grayscale8)
                           : (deep ? QImage::Format_RGBX64 : QImage::Format_RGB888);
    return true;
}

bool RawHandler::develop(bool half, QImage *image)
{
    m_raw->imgdata.params.half_size = half ? 1 : 0;
    int result = m_raw->unpack();
    if (result != LIBRAW_SUCCESS) {
        failed("unpack", result);
        return false;
    }
    if (m_raw->error_count() > 0)
        qCWarning(lcRaw, "Damaged RAW data: %d errors while unpacking", m_raw->error_count());
    result = m_raw->dcraw_process();
    if (result != LIBRAW_SUCCESS) {
        failed("develop", result);
        return false;
    }
    int width = 0, height = 0, colours = 0, bits = 0;
    m_raw->get_mem_image_format(&width, &height, &colours, &bits);
    const bool deep = bits == 16;
    QImage::Format format = QImage::Format_Invalid;
    if (colours == 3)
        format = deep ? QImage::Format_RGBX64 : QImage::Format_RGB888;
    else if (colours == 1)
        format = deep ? QImage::Format_Grayscale16 : QImage::Format_Grayscale8;
    QImage pixels;
    if (format == QImage::Format_Invalid
        || !QImageIOHandler::allocateImage(QSize(width, height), format, &pixels))
        return false;
    result = m_raw->copy_mem_image(pixels.bits(), int(pixels.bytesPerLine()), 0);
    m_raw->recycle();
    if (result != LIBRAW_SUCCESS) {
        failed("copy", result);
        return false;
    }
    if (format == QImage::Format_RGBX64)
        widenRows(&pixels);
    pixels.setColorSpace(QColorSpace::SRgb);
    *image = pixels;
    return true;
}

bool RawHandler::decode(QImage *image)
{
    return develop(false, image);
}

void RawHandler::findPreview() const
{
    if (m_previewLooked)
        return;
    m_previewLooked = true;
    const libraw_thumbnail_t &thumb = m_raw->imgdata.thumbnail;
    // Only a JPEG preview, which LibRaw copies as it stands: its other preview formats are
    // unpacked by decoders of older cameras' formats, which the program keeps out of reach.
    if (!m_raw->is_jpeg_thumb() || !m_raw->thumbOK(device()->size())
        || m_raw->unpack_thumb() != LIBRAW_SUCCESS || !thumb.thumb || thumb.tformat != LIBRAW_THUMBNAIL_JPEG)
        return;
    QBuffer buffer;
    buffer.setData(thumb.thumb, qsizetype(thumb.tlength));
    buffer.open(QIODevice::ReadOnly);
    const QSize stored = QImageReader(&buffer, "jpeg").size();
    const QSize previewSize = turned(stored, m_flip);
    if (sameShape(previewSize, m_header.size))
        m_previewSize = previewSize;
}

QImage RawHandler::embeddedPreview(QSize wanted) const
{
    findPreview();
    if (!m_previewSize.isValid())
        return {};
    const libraw_thumbnail_t &thumb = m_raw->imgdata.thumbnail;
    QBuffer buffer;
    buffer.setData(thumb.thumb, qsizetype(thumb.tlength));
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    reader.setAutoTransform(false);
    // The JPEG decoder reduces by 1/2, 1/4 or 1/8 almost for free: as far as still covers `wanted`.
    const QSize stored = turned(m_previewSize, m_flip);
    const QSize wantedStored = turned(wanted, m_flip);
    int factor = 1;
    while (factor < 8 && covers(stored / (factor * 2), wantedStored))
        factor *= 2;
    if (factor > 1)
        reader.setScaledSize(stored / factor);
    QImage image = reader.read();
    if (image.isNull())
        return {};
    if (!image.colorSpace().isValid())
        image.setColorSpace(QColorSpace::SRgb);
    return upright(image, m_flip);
}

bool RawHandler::decodeReduced(QSize wanted, QImage *image)
{
    findPreview();
    if (m_previewSize.isValid() && covers(m_previewSize, wanted)) {
        const QImage preview = embeddedPreview(wanted);
        if (!preview.isNull()) {
            *image = preview;
            return true;
        }
    }
    const QSize halfSize((m_header.size.width() + 1) / 2, (m_header.size.height() + 1) / 2);
    return develop(covers(halfSize, wanted), image);
}

QList<QSize> RawHandler::reducedSizes() const
{
    QList<QSize> sizes;
    findPreview();
    if (m_previewSize.isValid())
        sizes.append(m_previewSize);
    sizes.append(QSize((m_header.size.width() + 1) / 2, (m_header.size.height() + 1) / 2));
    return sizes;
}

bool RawHandler::encode(QImage input, const EncodeSettings &settings)
{
    Q_UNUSED(input);
    Q_UNUSED(settings);
    return false;
}
