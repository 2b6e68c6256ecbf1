// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "plugins/imageformats/avif/avifhandler.h"

#include "plugins/imageformats/common/cicp.h"
#include "plugins/imageformats/common/decodelimits.h"
#include "plugins/imageformats/common/decoderthreads.h"
#include "plugins/imageformats/common/encoderinput.h"
#include "plugins/imageformats/common/freewith.h"
#include "plugins/imageformats/common/isobmff.h"
#include "plugins/imageformats/common/orientation.h"
#include "plugins/imageformats/heif/heifextents.h"
#include "plugins/imageformats/heif/heifthumbnail.h"

#include <QColorSpace>
#include <QIODevice>
#include <QImage>
#include <QLoggingCategory>
#include <QRect>
#include <QVariant>
#include <new>

#include <avif/avif.h>

Q_LOGGING_CATEGORY(lcAvif, "pictomat.imageformats.avif", QtWarningMsg)

// Encoder defaults, measured on a 12-megapixel photo-like picture (4000x3000, 3.0 MB as JPEG
// quality 92) on the two-core build machines, aom with 2 threads and automatic tiling. The
// machines were shared (load 8 to 13), so CPU seconds are given: wall time on an idle machine
// lies between half of that and all of it. libavif 0.11's own defaults (quantizer 0, slowest
// speed, one thread) took 324 s and 10 MB.
//   speed 6 / 7 / 8, quality 70, 4:2:0:  969 / 940 / 945 KB, PSNR 38.8 / 38.6 / 38.4 dB,
//                                        whole run 2.8 / 2.2 / 1.2 s CPU
//   speed 8, quality 60 / 80, 4:2:0:     471 KB, 36.6 dB / 1519 KB, 40.5 dB
//   default, speed 8, quality 70, 4:4:4: 1021 KB, PSNR 39.0 dB, encoding 1.1 s CPU, decoding 0.2 s
// Speed 8 loses almost nothing against 6 and 7 at half the time or less. Quality 70
// (quantizer 19, range 13..25) keeps fine texture without visible blocking at a third of the
// JPEG's size.
namespace {

constexpr int DefaultSpeed = 8;
// What setQuality(-1) gives.
constexpr int DefaultQuality = 70;
constexpr int QuantizerSpread = 6;
// AV1 codes no picture with a longer side; within it, pictures are limited by their pixels.
constexpr int MaxSide = 65536;

using EncoderDeleter = FreeWith<avifEncoderDestroy>;
using ImageDeleter = FreeWith<avifImageDestroy>;

// The most threads a decoder of ours is given.
constexpr int MaxThreads = 64;

// Tiles from the picture's size alone, about one per 2 MiB pixels, at most 8: the encoder's
// threads work on tiles, so a large picture uses the cores, and the file is the same whatever
// the number of threads (a tiling that followed the threads made it differ between machines and
// between a job running one file at a time and one running several).
void setTiles(avifEncoder *encoder, QSize size)
{
    const qint64 tiles = qBound(qint64(1), qint64(size.width()) * size.height() / (2 << 20), qint64(8));
    const int log2 = tiles >= 8 ? 3 : tiles >= 4 ? 2 : tiles >= 2 ? 1 : 0;
    encoder->tileColsLog2 = size.width() >= size.height() ? (log2 + 1) / 2 : log2 / 2;
    encoder->tileRowsLog2 = log2 - encoder->tileColsLog2;
}

// libavif wants pixels in memory order; Format_ARGB32 is BGRA in memory on little-endian hosts.
avifRGBFormat argb32Order()
{
    return QSysInfo::ByteOrder == QSysInfo::LittleEndian ? AVIF_RGB_FORMAT_BGRA : AVIF_RGB_FORMAT_ARGB;
}

// Quality 0..99 onto aom's quantizer 63..0, as a range centred on the mapped value: libavif
// hands aom the middle of the range as its constant-quality level.
void setQuantizers(avifEncoder *encoder, int quality)
{
    const int quantizer = ((100 - quality) * AVIF_QUANTIZER_WORST_QUALITY + 50) / 100;
    encoder->minQuantizer = qMax(AVIF_QUANTIZER_BEST_QUALITY, quantizer - QuantizerSpread);
    encoder->maxQuantizer = qMin(AVIF_QUANTIZER_WORST_QUALITY, quantizer + QuantizerSpread);
    // Alpha edges show coding errors more than colour does; it also compresses far better.
    encoder->minQuantizerAlpha = AVIF_QUANTIZER_BEST_QUALITY;
    encoder->maxQuantizerAlpha = quantizer;
}

void setColour(avifImage *avif, const QImage &image)
{
    if (image.colorSpace().isValid()) {
        const QByteArray icc = image.colorSpace().iccProfile();
        if (!icc.isEmpty()) {
            avifImageSetProfileICC(
                avif, reinterpret_cast<const uint8_t *>(icc.constData()), size_t(icc.size()));
            return;
        }
    }
    // Untagged pixels are sRGB to Qt; say so instead of leaving it to the viewer.
    avif->colorPrimaries = Cicp::PrimariesBt709;
    avif->transferCharacteristics = Cicp::TransferSrgb;
}

void setTransformation(avifImage *avif, QImageIOHandler::Transformations transformation)
{
    const Orientation::HeifTransform transform = Orientation::heifFromTransformation(transformation);
    if (transform.angle != 0) {
        avif->transformFlags |= AVIF_TRANSFORM_IROT;
        avif->irot.angle = uint8_t(transform.angle);
    }
    if (transform.mirror >= 0) {
        avif->transformFlags |= AVIF_TRANSFORM_IMIR;
        avif->imir.mode = uint8_t(transform.mirror);
    }
}

// libavif reads the orientation from the EXIF it is given; the transformation asked of the writer
// is applied again after it.
void setMetadata(avifImage *avif, const QByteArray &exif, const QByteArray &xmp,
    QImageIOHandler::Transformations transformation)
{
    if (!exif.isEmpty()) {
        avifImageSetMetadataExif(
            avif, reinterpret_cast<const uint8_t *>(exif.constData()), size_t(exif.size()));
        setTransformation(avif, transformation);
    }
    if (!xmp.isEmpty())
        avifImageSetMetadataXMP(avif, reinterpret_cast<const uint8_t *>(xmp.constData()), size_t(xmp.size()));
}

// `input` as EncoderInput::prepare() made it, converted to YUV planes of `depth` bits.
std::unique_ptr<avifImage, ImageDeleter> toAvifImage(
    const QImage &input, int depth, bool lossless, QImageIOHandler::Transformations transformation)
{
    // Full-resolution chroma: watermark text and QR codes are sharp colour edges that 4:2:0
    // smears, and it costs only 8 % in size on photos.
    std::unique_ptr<avifImage, ImageDeleter> avif(avifImageCreate(
        uint32_t(input.width()), uint32_t(input.height()), uint32_t(depth), AVIF_PIXEL_FORMAT_YUV444));
    if (!avif)
        return nullptr;
    setColour(avif.get(), input);
    if (lossless) {
        // Lossless AV1 keeps the RGB planes as they are (identity matrix, full range).
        avif->matrixCoefficients = AVIF_MATRIX_COEFFICIENTS_IDENTITY;
        avif->yuvRange = AVIF_RANGE_FULL;
    }
    setTransformation(avif.get(), transformation);

    const bool alpha = input.hasAlphaChannel();
    avifRGBImage rgb;
    avifRGBImageSetDefaults(&rgb, avif.get());
    rgb.depth = depth > 8 ? 16 : 8;
    if (depth > 8) {
        rgb.format = AVIF_RGB_FORMAT_RGBA;
        rgb.ignoreAlpha = alpha ? AVIF_FALSE : AVIF_TRUE;
    } else {
        rgb.format = alpha ? AVIF_RGB_FORMAT_RGBA : AVIF_RGB_FORMAT_RGB;
    }
    rgb.pixels = const_cast<uint8_t *>(input.constBits());
    rgb.rowBytes = uint32_t(input.bytesPerLine());
    const avifResult result = avifImageRGBToYUV(avif.get(), &rgb);
    if (result != AVIF_RESULT_OK) {
        qCWarning(lcAvif, "Cannot convert pixels for AVIF: %s", avifResultToString(result));
        return nullptr;
    }
    return avif;
}

// libavif reads the boxes it needs through this, so that a file is never held whole in memory:
// only the box or item being parsed, which libavif copies where it keeps it (not persistent).
namespace DeviceIo {

    struct Reader {
        avifIO io;
        QIODevice *device;
        qint64 start;
        QByteArray buffer;
    };

    avifResult read(avifIO *io, uint32_t readFlags, uint64_t offset, size_t size, avifROData *out)
    {
        auto *reader = static_cast<Reader *>(io->data);
        if (readFlags != 0 || offset > io->sizeHint)
            return AVIF_RESULT_IO_ERROR;
        const qint64 wanted = qint64(qMin<uint64_t>(size, io->sizeHint - offset));
        if (!reader->device->seek(reader->start + qint64(offset)))
            return AVIF_RESULT_IO_ERROR;
        try {
            reader->buffer = reader->device->read(wanted);
        } catch (const std::bad_alloc &) {
            return AVIF_RESULT_OUT_OF_MEMORY;
        }
        if (reader->buffer.size() != wanted)
            return AVIF_RESULT_IO_ERROR;
        out->data = reinterpret_cast<const uint8_t *>(reader->buffer.constData());
        out->size = size_t(reader->buffer.size());
        return AVIF_RESULT_OK;
    }

    void destroy(avifIO *io)
    {
        delete static_cast<Reader *>(io->data);
    }

    // A reader of `device` from where it stands; null for a device that cannot seek.
    avifIO *create(QIODevice *device)
    {
        if (device->isSequential())
            return nullptr;
        auto *reader = new Reader {};
        reader->io.destroy = destroy;
        reader->io.read = read;
        reader->io.sizeHint = uint64_t(device->size() - device->pos());
        reader->io.persistent = AVIF_FALSE;
        reader->io.data = reader;
        reader->device = device;
        reader->start = device->pos();
        return &reader->io;
    }

} // namespace DeviceIo

QSize storedSize(const avifImage *image)
{
    return QSize(int(qMin<uint32_t>(image->width, INT_MAX)), int(qMin<uint32_t>(image->height, INT_MAX)));
}

// The part of the stored picture its clean aperture ('clap') keeps: all of it without one; an
// empty rectangle for an aperture that does not fit the picture.
QRect cropRect(const avifImage *image)
{
    if (!(image->transformFlags & AVIF_TRANSFORM_CLAP))
        return QRect(QPoint(0, 0), storedSize(image));
    avifCropRect crop;
    avifDiagnostics diag;
    if (!avifCropRectConvertCleanApertureBox(
            &crop, &image->clap, image->width, image->height, image->yuvFormat, &diag)) {
        qCWarning(lcAvif, "AVIF clean aperture is invalid for the picture: %s", diag.error);
        return {};
    }
    return QRect(int(crop.x), int(crop.y), int(crop.width), int(crop.height));
}

QSize uprightSize(const avifImage *image)
{
    const bool quarterTurn = (image->transformFlags & AVIF_TRANSFORM_IROT) && (image->irot.angle & 1);
    const QSize cropped = cropRect(image).size();
    return quarterTurn ? cropped.transposed() : cropped;
}

QImage::Format outputFormat(const avifDecoder *decoder)
{
    const bool alpha = decoder->alphaPresent;
    if (decoder->image->depth > 8)
        return alpha ? QImage::Format_RGBA64 : QImage::Format_RGBX64;
    return alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32;
}

// The reader keeps libavif's default limit of pixels and takes every side AV1 codes; a file it
// would refuse is not written at all.
bool takesSize(QSize size)
{
    if (size.width() > MaxSide || size.height() > MaxSide
        || qint64(size.width()) * size.height() > AVIF_DEFAULT_IMAGE_SIZE_LIMIT) {
        qCWarning(
            lcAvif, "Cannot write AVIF: %d x %d is beyond the reader's limits", size.width(), size.height());
        return false;
    }
    return true;
}

QByteArray detectAvif(QIODevice *device)
{
    return IsoBmff::isAvif(IsoBmff::peekBrands(device)) ? QByteArrayLiteral("avif") : QByteArray();
}

// Parses the file on `device` with a new decoder, its EXIF and XMP with it when `metadata`.
avifResult parseWithMetadata(avifDecoder *decoder, QIODevice *device, bool metadata)
{
    if (!decoder)
        return AVIF_RESULT_OUT_OF_MEMORY;
    decoder->maxThreads = DecoderThreads::forDevice(device, MaxThreads);
    decoder->ignoreExif = metadata ? AVIF_FALSE : AVIF_TRUE;
    decoder->ignoreXMP = metadata ? AVIF_FALSE : AVIF_TRUE;
    // Files from older encoders lack boxes the strict mode insists on; the pixels are fine.
    decoder->strictFlags = AVIF_STRICT_DISABLED;
    // Pictures are limited by their pixels (libavif's limit for every item, the allocation limit
    // for the one decoded), not by their sides: a panorama wider than libavif's 32,768 reads.
    decoder->imageDimensionLimit = MaxSide;
    avifIO *io = DeviceIo::create(device);
    if (!io)
        return AVIF_RESULT_IO_ERROR;
    avifDecoderSetIO(decoder, io);
    return avifDecoderParse(decoder);
}

} // namespace

const CodecTraits AvifTraits { { "avif" }, detectAvif, { "8bit", "10bit", "12bit" }, 10, DefaultQuality,
    takesSize };

AvifHandler::AvifHandler()
    : m_decoder(nullptr, avifDecoderDestroy)
{
}

bool AvifHandler::parse() const
{
    // EXIF in which libavif finds no TIFF header fails the parse: the picture is read without it.
    const qint64 start = device()->pos();
    m_decoder.reset(avifDecoderCreate());
    avifResult result = parseWithMetadata(m_decoder.get(), device(), true);
    if (result == AVIF_RESULT_INVALID_EXIF_PAYLOAD && device()->seek(start)) {
        qCWarning(lcAvif, "AVIF EXIF left out: libavif refuses it");
        m_decoder.reset(avifDecoderCreate());
        result = parseWithMetadata(m_decoder.get(), device(), false);
    }
    if (result != AVIF_RESULT_OK) {
        if (m_decoder)
            qCWarning(lcAvif, "Cannot parse AVIF: %s %s", avifResultToString(result), m_decoder->diag.error);
        return false;
    }
    const avifImage *image = m_decoder->image;
    if (!DecodeLimits::isSaneSize(storedSize(image)) || image->depth > 16 || cropRect(image).isEmpty()) {
        qCWarning(lcAvif, "AVIF image has an invalid size or depth");
        return false;
    }
    m_header = { uprightSize(image), outputFormat(m_decoder.get()) };
    m_readExif
        = exifTiff(QByteArray(reinterpret_cast<const char *>(image->exif.data), qsizetype(image->exif.size)));
    m_readXmp = QByteArray(reinterpret_cast<const char *>(image->xmp.data), qsizetype(image->xmp.size));
    return true;
}

bool AvifHandler::decode(QImage *image)
{
    // Everything below follows the header as parsed; a coded picture that disagrees with it
    // (another size or depth) is refused, not written into a buffer sized for something else.
    const bool deep = m_decoder->image->depth > 8;
    QImage pixels;
    if (!QImageIOHandler::allocateImage(storedSize(m_decoder->image), m_header.format, &pixels))
        return false;
    qCDebug(lcAvif, "AVIF decoder on %d threads", m_decoder->maxThreads);
    avifResult result = avifDecoderNextImage(m_decoder.get());
    if (result != AVIF_RESULT_OK) {
        qCWarning(lcAvif, "Cannot decode AVIF: %s %s", avifResultToString(result), m_decoder->diag.error);
        return false;
    }
    const avifImage *decoded = m_decoder->image;
    if (QSize(int(decoded->width), int(decoded->height)) != pixels.size() || (decoded->depth > 8) != deep) {
        qCWarning(lcAvif, "AVIF picture differs from its header");
        return false;
    }

    avifRGBImage rgb;
    avifRGBImageSetDefaults(&rgb, decoded);
    rgb.depth = deep ? 16 : 8;
    rgb.format = deep ? AVIF_RGB_FORMAT_RGBA : argb32Order();
    rgb.alphaPremultiplied = AVIF_FALSE;
    rgb.pixels = pixels.bits();
    rgb.rowBytes = uint32_t(pixels.bytesPerLine());
    result = avifImageYUVToRGB(decoded, &rgb);
    if (result != AVIF_RESULT_OK) {
        qCWarning(lcAvif, "Cannot convert AVIF pixels: %s", avifResultToString(result));
        return false;
    }

    // The format crops before it turns and mirrors.
    const QRect crop = cropRect(decoded);
    if (crop.isEmpty())
        return false;
    if (crop.size() != pixels.size())
        pixels = pixels.copy(crop);
    if (decoded->icc.size > 0) {
        // A copy: the colour space keeps the profile's bytes, which outlive the decoder.
        pixels.setColorSpace(QColorSpace::fromIccProfile(
            QByteArray(reinterpret_cast<const char *>(decoded->icc.data), qsizetype(decoded->icc.size))));
    } else if (Cicp::apply(pixels, decoded->colorPrimaries, decoded->transferCharacteristics)) {
        qCWarning(lcAvif, "AVIF picture with transfer %d tone-mapped to SDR",
            int(decoded->transferCharacteristics));
    }

    // 'irot' and 'imir' are part of how the picture is meant to be seen, not optional
    // metadata: every AVIF viewer applies them. So does this reader, and reports no further
    // transformation to QImageReader.
    const int angle = (decoded->transformFlags & AVIF_TRANSFORM_IROT) ? decoded->irot.angle : 0;
    const int mirror = (decoded->transformFlags & AVIF_TRANSFORM_IMIR) ? decoded->imir.mode : -1;
    *image = Orientation::applyHeifTransform(pixels, angle, mirror);
    return true;
}

// libavif 0.11 reads only the primary item; libheif, which reads AV1 too, finds a thumbnail item
// that another writer put in the file. A file without one is decoded whole.
bool AvifHandler::decodeReduced(QSize wanted, QImage *image)
{
    // libheif sizes buffers from every picture the file states, hidden ones included: a file
    // that states one beyond the decoding budget, or one without a size, is refused before
    // libheif parses it, as the HEIF reader refuses it.
    const auto *source = static_cast<const DeviceIo::Reader *>(m_decoder->io->data);
    m_refusal = HeifExtents::refusal(HeifExtents::survey(source->device, source->start),
        quint64(m_header.size.width()) * quint64(m_header.size.height()));
    if (!m_refusal.isEmpty()) {
        qCWarning(lcAvif, "AVIF refused: %s", qPrintable(m_refusal));
        return false;
    }
    QImage thumbnail = HeifThumbnail::decodeFile(source->device, source->start, wanted);
    if (thumbnail.isNull())
        return decode(image);
    *image = std::move(thumbnail);
    return true;
}

bool AvifHandler::encode(QImage input, const EncodeSettings &settings)
{
    const int depth = settings.depth;
    const int quality = settings.quality;
    const bool lossless = settings.lossless;
    std::unique_ptr<avifImage, ImageDeleter> avif = toAvifImage(input, depth, lossless, m_transformation);
    if (!avif)
        return false;
    setMetadata(avif.get(), m_exif, m_xmp, m_transformation);
    std::unique_ptr<avifEncoder, EncoderDeleter> encoder(avifEncoderCreate());
    if (!encoder)
        return false;
    encoder->codecChoice = AVIF_CODEC_CHOICE_AOM;
    encoder->maxThreads = settings.threads;
    encoder->speed = DefaultSpeed;
    setTiles(encoder.get(), input.size());
    // libaom's row threading codes the picture differently with one thread than with several.
    avifEncoderSetCodecSpecificOption(encoder.get(), "row-mt", "0");
    if (lossless) {
        encoder->minQuantizer = encoder->maxQuantizer = AVIF_QUANTIZER_LOSSLESS;
        encoder->minQuantizerAlpha = encoder->maxQuantizerAlpha = AVIF_QUANTIZER_LOSSLESS;
    } else {
        setQuantizers(encoder.get(), qMax(0, quality));
    }

    // libavif holds the pixels as YUV planes now.
    input = QImage();
    avifRWData output = AVIF_DATA_EMPTY;
    avifResult result = avifEncoderWrite(encoder.get(), avif.get(), &output);
    if (result == AVIF_RESULT_INVALID_EXIF_PAYLOAD) {
        // The picture matters more than its EXIF.
        qCWarning(lcAvif, "EXIF left out: libavif refuses it");
        avifImageSetMetadataExif(avif.get(), nullptr, 0);
        result = avifEncoderWrite(encoder.get(), avif.get(), &output);
    }
    if (result != AVIF_RESULT_OK) {
        qCWarning(lcAvif, "Cannot encode AVIF: %s %s", avifResultToString(result), encoder->diag.error);
        avifRWDataFree(&output);
        return false;
    }
    const qint64 written = device()->write(reinterpret_cast<const char *>(output.data), qint64(output.size));
    const bool complete = written == qint64(output.size);
    avifRWDataFree(&output);
    if (!complete)
        qCWarning(lcAvif, "Cannot write AVIF data: %s", qPrintable(device()->errorString()));
    return complete;
}
