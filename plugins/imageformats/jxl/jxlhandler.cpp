// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "plugins/imageformats/jxl/jxlhandler.h"

#include "plugins/imageformats/common/decodelimits.h"
#include "plugins/imageformats/common/decoderthreads.h"
#include "plugins/imageformats/common/encoderinput.h"
#include "plugins/imageformats/common/orientation.h"

#include <QCoreApplication>
#include <QIODevice>
#include <QImage>
#include <QLoggingCategory>
#include <QVariant>
#include <cmath>
#include <cstring>

#include <jxl/encode_cxx.h>

Q_LOGGING_CATEGORY(lcJxl, "pictomat.imageformats.jxl", QtWarningMsg)

// Encoder defaults, measured on a 12-megapixel photo-like picture (4000x3000, 3.0 MB as JPEG
// quality 92) on the two-core build machines with libjxl 0.7 and 2 threads. The machines were
// shared (load about 12), so CPU seconds are given: wall time on an idle machine lies between
// half of that and all of it. libjxl's default effort 7 took 8 s.
//   distance 1.0, effort 3 / 4 / 5 / 7:  1556 / 1556 / 1535 / 1538 KB, PSNR 41.1 / 41.1 / 41.1 /
//                                         41.4 dB, encoding 0.7 / 0.8 / 2.0 / 5.0 s CPU
//   default, effort 4, distance 1.0:     1556 KB, PSNR 41.1 dB, encoding 0.8 s CPU, decoding 0.4 s
// Effort 5 and up buy 1 % in size for two and a half times the time. Distance 1.0 is libjxl's
// "visually lossless" target (quality 90 in cjxl's terms).
namespace {

constexpr int DefaultEffort = 4;
// Large enough for the signature box and the start of the codestream header.
constexpr int SignatureBytes = 12;
// What the decoder is handed at a time.
constexpr qint64 InputChunkBytes = 1 << 20;
// The largest EXIF or XMP box taken from a file.
constexpr qsizetype MaxMetadataBytes = 64 << 20;
// What setQuality(-1) gives (butteraugli distance 1.0).
constexpr int DefaultQuality = 90;

// The codestream or container signature only; never consumes the device.
QByteArray detectJxl(QIODevice *device)
{
    if (!device || !device->isReadable())
        return {};
    const QByteArray head = device->peek(SignatureBytes);
    const JxlSignature signature
        = JxlSignatureCheck(reinterpret_cast<const uint8_t *>(head.constData()), size_t(head.size()));
    return signature == JXL_SIG_CODESTREAM || signature == JXL_SIG_CONTAINER ? QByteArrayLiteral("jxl")
                                                                             : QByteArray();
}

// The most threads a decoder of ours is given.
constexpr int MaxThreads = 64;

// The mapping cjxl uses for its --quality option, so that numbers mean the same as there; below
// quality 7 it passes the largest distance libjxl takes.
float distanceFromQuality(int quality)
{
    if (quality >= 30)
        return 0.1f + float(100 - quality) * 0.09f;
    return qMin(25.0f, 6.4f + std::pow(2.5f, float(30 - quality) / 5.0f) / 6.25f);
}

// Colour spaces libjxl can describe without an ICC profile: Qt's named primaries with a
// simple curve. Lossy JPEG XL codes such images in XYB and decodes them back into the same
// space; from XYB with any other profile libjxl 0.7 could only give linear sRGB.
bool describeColourSpace(const QColorSpace &space, JxlColorEncoding *encoding)
{
    JxlColorEncodingSetToSRGB(encoding, JXL_FALSE);
    switch (space.primaries()) {
    case QColorSpace::Primaries::SRgb:
        break;
    case QColorSpace::Primaries::DciP3D65:
        encoding->primaries = JXL_PRIMARIES_P3;
        break;
    case QColorSpace::Primaries::AdobeRgb:
        encoding->primaries = JXL_PRIMARIES_CUSTOM;
        encoding->primaries_red_xy[0] = 0.64;
        encoding->primaries_red_xy[1] = 0.33;
        encoding->primaries_green_xy[0] = 0.21;
        encoding->primaries_green_xy[1] = 0.71;
        encoding->primaries_blue_xy[0] = 0.15;
        encoding->primaries_blue_xy[1] = 0.06;
        break;
    default:
        return false;
    }
    switch (space.transferFunction()) {
    case QColorSpace::TransferFunction::SRgb:
        return true;
    case QColorSpace::TransferFunction::Linear:
        encoding->transfer_function = JXL_TRANSFER_FUNCTION_LINEAR;
        return true;
    case QColorSpace::TransferFunction::Gamma:
        encoding->transfer_function = JXL_TRANSFER_FUNCTION_GAMMA;
        encoding->gamma = 1.0 / double(space.gamma());
        return true;
    default:
        return false;
    }
}

// libjxl takes three-channel input without padding between pixels; Format_RGBX64 has four.
QByteArray packRgb16(const QImage &rgbx64)
{
    QByteArray packed(qsizetype(rgbx64.width()) * rgbx64.height() * 6, Qt::Uninitialized);
    auto *out = reinterpret_cast<quint16 *>(packed.data());
    for (int y = 0; y < rgbx64.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgba64 *>(rgbx64.constScanLine(y));
        for (int x = 0; x < rgbx64.width(); ++x) {
            *out++ = in[x].red();
            *out++ = in[x].green();
            *out++ = in[x].blue();
        }
    }
    return packed;
}

// Basic info and colour profile of `input` (as EncoderInput::prepare() made it).
bool describeImage(JxlEncoder *encoder, const QImage &input, int bits, bool lossless,
    QImageIOHandler::Transformations transformation)
{
    const bool alpha = input.hasAlphaChannel();
    JxlBasicInfo info;
    JxlEncoderInitBasicInfo(&info);
    info.xsize = uint32_t(input.width());
    info.ysize = uint32_t(input.height());
    info.bits_per_sample = uint32_t(bits);
    info.num_color_channels = 3;
    info.num_extra_channels = alpha ? 1 : 0;
    info.alpha_bits = alpha ? uint32_t(bits) : 0;
    JxlColorEncoding described;
    const QColorSpace space = input.colorSpace();
    const bool asIcc = space.isValid() && !describeColourSpace(space, &described);
    if (!space.isValid())
        JxlColorEncodingSetToSRGB(&described, JXL_FALSE);
    // Lossy coding is in XYB, except for profiles libjxl cannot describe: those keep the
    // samples in their own space so that the profile and the colours come back unchanged.
    info.uses_original_profile = lossless || asIcc ? JXL_TRUE : JXL_FALSE;
    info.orientation = JxlOrientation(Orientation::exifFromTransformation(transformation));
    if (JxlEncoderSetBasicInfo(encoder, &info) != JXL_ENC_SUCCESS)
        return false;
    if (!asIcc)
        return JxlEncoderSetColorEncoding(encoder, &described) == JXL_ENC_SUCCESS;
    const QByteArray icc = space.iccProfile();
    return JxlEncoderSetICCProfile(
               encoder, reinterpret_cast<const uint8_t *>(icc.constData()), size_t(icc.size()))
        == JXL_ENC_SUCCESS;
}

bool addFrame(JxlEncoderFrameSettings *settings, const QImage &input, int bits)
{
    const bool alpha = input.hasAlphaChannel();
    const JxlDataType type = bits > 8 ? JXL_TYPE_UINT16 : JXL_TYPE_UINT8;
    if (bits > 8 && !alpha) {
        const QByteArray packed = packRgb16(input);
        const JxlPixelFormat format { 3, type, JXL_NATIVE_ENDIAN, 0 };
        return JxlEncoderAddImageFrame(settings, &format, packed.constData(), size_t(packed.size()))
            == JXL_ENC_SUCCESS;
    }
    const JxlPixelFormat format { alpha ? 4u : 3u, type, JXL_NATIVE_ENDIAN, size_t(input.bytesPerLine()) };
    return JxlEncoderAddImageFrame(settings, &format, input.constBits(), size_t(input.sizeInBytes()))
        == JXL_ENC_SUCCESS;
}

// Metadata boxes; one the encoder refuses is left out (logged): the picture is written all the same.
void addMetadata(JxlEncoder *encoder, const QByteArray &exif, const QByteArray &xmp)
{
    if (exif.isEmpty() && xmp.isEmpty())
        return;
    if (JxlEncoderUseBoxes(encoder) != JXL_ENC_SUCCESS) {
        qCWarning(lcJxl, "Metadata left out: no boxes");
        return;
    }
    if (!exif.isEmpty()) {
        // The box starts with the offset of the TIFF header, which follows at once.
        const QByteArray box = QByteArray(4, '\0') + exif;
        if (JxlEncoderAddBox(encoder, "Exif", reinterpret_cast<const uint8_t *>(box.constData()),
                size_t(box.size()), JXL_FALSE)
            != JXL_ENC_SUCCESS)
            qCWarning(lcJxl, "EXIF left out");
    }
    if (!xmp.isEmpty()
        && JxlEncoderAddBox(encoder, "xml ", reinterpret_cast<const uint8_t *>(xmp.constData()),
               size_t(xmp.size()), JXL_FALSE)
            != JXL_ENC_SUCCESS)
        qCWarning(lcJxl, "XMP left out");
}

bool encodeToDevice(JxlEncoder *encoder, QIODevice *device)
{
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    qsizetype used = 0;
    for (;;) {
        auto *next = reinterpret_cast<uint8_t *>(buffer.data() + used);
        size_t available = size_t(buffer.size() - used);
        const JxlEncoderStatus status = JxlEncoderProcessOutput(encoder, &next, &available);
        used = reinterpret_cast<char *>(next) - buffer.data();
        if (status == JXL_ENC_SUCCESS)
            break;
        if (status != JXL_ENC_NEED_MORE_OUTPUT) {
            qCWarning(lcJxl, "Cannot encode JPEG XL: error %d", int(JxlEncoderGetError(encoder)));
            return false;
        }
        buffer.resize(buffer.size() * 2);
    }
    if (device->write(buffer.constData(), used) != used) {
        qCWarning(lcJxl, "Cannot write JPEG XL data: %s", qPrintable(device->errorString()));
        return false;
    }
    return true;
}

QSize uprightSize(const JxlBasicInfo &info)
{
    const QSize stored(int(qMin<uint32_t>(info.xsize, INT_MAX)), int(qMin<uint32_t>(info.ysize, INT_MAX)));
    // Orientations 5 to 8 turn the picture a quarter; libjxl applies them while decoding.
    return info.orientation >= JXL_ORIENT_TRANSPOSE ? stored.transposed() : stored;
}

bool hasAlpha(const JxlBasicInfo &info)
{
    return info.alpha_bits > 0;
}

bool isDeep(const JxlBasicInfo &info)
{
    return info.bits_per_sample > 8 || info.exponent_bits_per_sample > 0;
}

QImage::Format outputFormat(const JxlBasicInfo &info, bool deep)
{
    if (deep)
        return hasAlpha(info) ? QImage::Format_RGBA64 : QImage::Format_RGBX64;
    return hasAlpha(info) ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888;
}

// libjxl 0.7 gives a CMYK picture's black as an extra channel and its inks as if they were RGB;
// only the picture's CMYK profile could turn them into colours.
bool hasBlackChannel(const JxlDecoder *decoder, const JxlBasicInfo &info)
{
    for (uint32_t index = 0; index < info.num_extra_channels; ++index) {
        JxlExtraChannelInfo channel;
        if (JxlDecoderGetExtraChannelInfo(decoder, index, &channel) == JXL_DEC_SUCCESS
            && channel.type == JXL_CHANNEL_BLACK)
            return true;
    }
    return false;
}

QByteArray iccProfile(const JxlDecoder *decoder, JxlColorProfileTarget target)
{
    size_t size = 0;
    if (JxlDecoderGetICCProfileSize(decoder, nullptr, target, &size) != JXL_DEC_SUCCESS || size == 0)
        return {};
    QByteArray icc(qsizetype(size), Qt::Uninitialized);
    if (JxlDecoderGetColorAsICCProfile(
            decoder, nullptr, target, reinterpret_cast<uint8_t *>(icc.data()), size)
        != JXL_DEC_SUCCESS)
        return {};
    return icc;
}

// A lossy (XYB) picture whose profile is an ICC profile comes out of libjxl 0.7 in linear sRGB
// unless asked otherwise, which bands in the shadows at 8 bits. It can give any space it can
// describe: the profile's own where Qt reads it as one of those, else BT.2020 primaries, wide
// enough for any photo, both with a perceptual curve.
void preferOriginalSpace(JxlDecoder *decoder, const JxlBasicInfo &info)
{
    JxlColorEncoding encoding;
    if (info.uses_original_profile
        || JxlDecoderGetColorAsEncodedProfile(decoder, nullptr, JXL_COLOR_PROFILE_TARGET_ORIGINAL, &encoding)
            == JXL_DEC_SUCCESS)
        return;
    if (info.num_color_channels == 1) {
        JxlColorEncodingSetToSRGB(&encoding, JXL_TRUE);
    } else if (!describeColourSpace(
                   QColorSpace::fromIccProfile(iccProfile(decoder, JXL_COLOR_PROFILE_TARGET_ORIGINAL)),
                   &encoding)) {
        JxlColorEncodingSetToSRGB(&encoding, JXL_FALSE);
        encoding.primaries = JXL_PRIMARIES_2100;
    }
    if (JxlDecoderSetPreferredColorProfile(decoder, &encoding) != JXL_DEC_SUCCESS)
        qCWarning(lcJxl, "libjxl keeps its own colour space for this JPEG XL picture");
}

// Whether the decoded samples need more than 8 bits: those of a deep picture, and the computed
// samples of a lossy one in linear light, an HDR curve or BT.2020's wide gamut, where 8 bits band.
// A lossless 8-bit picture's samples are exact at 8 bits in any space.
bool needsDeepOutput(const JxlDecoder *decoder, const JxlBasicInfo &info)
{
    if (isDeep(info))
        return true;
    if (info.uses_original_profile)
        return false;
    JxlColorEncoding data;
    if (JxlDecoderGetColorAsEncodedProfile(decoder, nullptr, JXL_COLOR_PROFILE_TARGET_DATA, &data)
        != JXL_DEC_SUCCESS)
        return true;
    if (data.color_space == JXL_COLOR_SPACE_RGB && data.primaries == JXL_PRIMARIES_2100)
        return true;
    switch (data.transfer_function) {
    case JXL_TRANSFER_FUNCTION_SRGB:
    case JXL_TRANSFER_FUNCTION_709:
    case JXL_TRANSFER_FUNCTION_DCI:
        return false;
    case JXL_TRANSFER_FUNCTION_GAMMA:
        // libjxl keeps the encoding exponent: 1/2.2 is perceptual, near 1 is almost linear.
        return data.gamma > 0.6;
    default:
        return true;
    }
}

} // namespace

const CodecTraits JxlTraits { { "jxl" }, detectJxl, { "8bit", "16bit" }, 16, DefaultQuality, nullptr };

bool JxlHandler::feedInput() const
{
    JxlDecoder *decoder = m_decoder.get();
    const size_t kept = m_input.isEmpty() ? 0 : JxlDecoderReleaseInput(decoder);
    // Grows with what the decoder keeps, so that a part it needs whole costs a few reads only.
    // Read on from where the last part ended, whatever moved the device meanwhile.
    if (m_inputEnd < 0)
        m_inputEnd = m_inputStart = device()->pos();
    if (!device()->isSequential() && !device()->seek(m_inputEnd))
        return false;
    const QByteArray more = device()->read(qMax<qint64>(InputChunkBytes, qint64(kept)));
    if (more.isEmpty())
        return false;
    m_inputEnd += more.size();
    m_input = m_input.right(qsizetype(kept)) + more;
    if (JxlDecoderSetInput(
            decoder, reinterpret_cast<const uint8_t *>(m_input.constData()), size_t(m_input.size()))
        != JXL_DEC_SUCCESS)
        return false;
    if (device()->atEnd())
        JxlDecoderCloseInput(decoder);
    return true;
}

JxlDecoderStatus JxlHandler::nextEvent() const
{
    for (;;) {
        const JxlDecoderStatus status = JxlDecoderProcessInput(m_decoder.get());
        if (status != JXL_DEC_NEED_MORE_INPUT || !feedInput())
            return status;
    }
}

bool JxlHandler::parse() const
{
    m_runner = JxlThreadParallelRunnerMake(nullptr, size_t(DecoderThreads::forDevice(device(), MaxThreads)));
    m_decoder = JxlDecoderMake(nullptr);
    if (!m_runner || !m_decoder)
        return false;
    JxlDecoder *decoder = m_decoder.get();
    if (JxlDecoderSubscribeEvents(decoder, JXL_DEC_BASIC_INFO | JXL_DEC_COLOR_ENCODING | JXL_DEC_FULL_IMAGE)
            != JXL_DEC_SUCCESS
        || JxlDecoderSetParallelRunner(decoder, JxlThreadParallelRunner, m_runner.get()) != JXL_DEC_SUCCESS
        || !feedInput())
        return false;
    // Qt's straight-alpha formats; libjxl can only be told before it starts decoding.
    JxlDecoderSetUnpremultiplyAlpha(decoder, JXL_TRUE);

    for (;;) {
        const JxlDecoderStatus status = nextEvent();
        if (status == JXL_DEC_BASIC_INFO) {
            if (JxlDecoderGetBasicInfo(decoder, &m_info) != JXL_DEC_SUCCESS)
                return false;
            if (!DecodeLimits::isSaneSize(uprightSize(m_info))) {
                qCWarning(lcJxl, "JPEG XL image has an invalid size");
                return false;
            }
            if (hasBlackChannel(decoder, m_info)) {
                qCWarning(lcJxl, "CMYK JPEG XL is not supported");
                m_refusal = QCoreApplication::translate("FailureReason", "CMYK JPEG XL is not supported");
                return false;
            }
        } else if (status == JXL_DEC_COLOR_ENCODING) {
            preferOriginalSpace(decoder, m_info);
            const QByteArray icc = iccProfile(decoder, JXL_COLOR_PROFILE_TARGET_DATA);
            if (!icc.isEmpty())
                m_colorSpace = QColorSpace::fromIccProfile(icc);
            m_deepOutput = needsDeepOutput(decoder, m_info);
            m_header = { uprightSize(m_info), outputFormat(m_info, m_deepOutput) };
            return true;
        } else {
            qCWarning(lcJxl, "Cannot parse JPEG XL header (status %d)", int(status));
            return false;
        }
    }
}

void JxlHandler::readMetadataBlocks() const
{
    if (m_boxesRead || m_inputStart < 0 || device()->isSequential() || !device()->seek(m_inputStart))
        return;
    m_boxesRead = true;
    JxlDecoderPtr boxes = JxlDecoderMake(nullptr);
    // Without pixel events libjxl passes over the codestream without decoding it.
    if (!boxes || JxlDecoderSubscribeEvents(boxes.get(), JXL_DEC_BOX) != JXL_DEC_SUCCESS
        || JxlDecoderSetDecompressBoxes(boxes.get(), JXL_TRUE) != JXL_DEC_SUCCESS)
        return;
    QByteArray input;
    QByteArray box;
    QByteArray *wanted = nullptr;
    QByteArray exif;
    // The box before the next event is complete: what of its buffer was filled is its content.
    const auto finishBox = [&] {
        if (wanted)
            *wanted = box.left(box.size() - qsizetype(JxlDecoderReleaseBoxBuffer(boxes.get())));
        wanted = nullptr;
    };
    for (;;) {
        const JxlDecoderStatus status = JxlDecoderProcessInput(boxes.get());
        if (status == JXL_DEC_NEED_MORE_INPUT) {
            const size_t kept = input.isEmpty() ? 0 : JxlDecoderReleaseInput(boxes.get());
            const QByteArray more = device()->read(InputChunkBytes);
            if (more.isEmpty())
                break;
            input = input.right(qsizetype(kept)) + more;
            JxlDecoderSetInput(
                boxes.get(), reinterpret_cast<const uint8_t *>(input.constData()), size_t(input.size()));
            if (device()->atEnd())
                JxlDecoderCloseInput(boxes.get());
        } else if (status == JXL_DEC_BOX) {
            finishBox();
            JxlBoxType type;
            if (JxlDecoderGetBoxType(boxes.get(), type, JXL_TRUE) != JXL_DEC_SUCCESS)
                break;
            const QByteArray name(type, 4);
            wanted = name == "Exif" && exif.isEmpty()   ? &exif
                : name == "xml " && m_readXmp.isEmpty() ? &m_readXmp
                                                        : nullptr;
            if (wanted) {
                box = QByteArray(1 << 16, Qt::Uninitialized);
                JxlDecoderSetBoxBuffer(
                    boxes.get(), reinterpret_cast<uint8_t *>(box.data()), size_t(box.size()));
            }
        } else if (status == JXL_DEC_BOX_NEED_MORE_OUTPUT && box.size() < MaxMetadataBytes) {
            const qsizetype filled = box.size() - qsizetype(JxlDecoderReleaseBoxBuffer(boxes.get()));
            box.resize(box.size() * 2);
            JxlDecoderSetBoxBuffer(
                boxes.get(), reinterpret_cast<uint8_t *>(box.data()) + filled, size_t(box.size() - filled));
        } else {
            if (status == JXL_DEC_SUCCESS)
                finishBox();
            break;
        }
    }
    if (m_readExif.isEmpty())
        m_readExif = exifTiff(exif);
}

bool JxlHandler::decode(QImage *image)
{
    qCDebug(lcJxl, "JPEG XL decoder on %d threads", DecoderThreads::forDevice(device(), MaxThreads));
    QImage pixels;
    if (!QImageIOHandler::allocateImage(m_header.size, m_header.format, &pixels))
        return false;
    JxlDecoder *decoder = m_decoder.get();
    // Four channels even without alpha: libjxl fills it opaque, which is what RGBX formats need.
    const JxlPixelFormat format { 4, m_deepOutput ? JXL_TYPE_UINT16 : JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN,
        size_t(pixels.bytesPerLine()) };
    for (;;) {
        const JxlDecoderStatus status = nextEvent();
        if (status == JXL_DEC_NEED_IMAGE_OUT_BUFFER) {
            size_t needed = 0;
            if (JxlDecoderImageOutBufferSize(decoder, &format, &needed) != JXL_DEC_SUCCESS
                || needed > size_t(pixels.sizeInBytes())
                || JxlDecoderSetImageOutBuffer(decoder, &format, pixels.bits(), size_t(pixels.sizeInBytes()))
                    != JXL_DEC_SUCCESS)
                return false;
        } else if (status == JXL_DEC_FULL_IMAGE) {
            break;
        } else {
            qCWarning(lcJxl, "Cannot decode JPEG XL (status %d)", int(status));
            return false;
        }
    }
    pixels.setColorSpace(m_colorSpace);
    *image = pixels;
    return true;
}

bool JxlHandler::encode(QImage input, const EncodeSettings &choice)
{
    const int bits = choice.depth;
    const int quality = choice.quality;
    const bool lossless = choice.lossless;

    JxlEncoderPtr encoder = JxlEncoderMake(nullptr);
    JxlThreadParallelRunnerPtr runner = JxlThreadParallelRunnerMake(nullptr, size_t(choice.threads));
    if (!encoder || !runner
        || JxlEncoderSetParallelRunner(encoder.get(), JxlThreadParallelRunner, runner.get())
            != JXL_ENC_SUCCESS)
        return false;
    if (!describeImage(encoder.get(), input, bits, lossless, m_transformation)) {
        qCWarning(
            lcJxl, "Cannot set up the JPEG XL encoder: error %d", int(JxlEncoderGetError(encoder.get())));
        return false;
    }
    addMetadata(encoder.get(), m_exif, m_xmp);
    JxlEncoderFrameSettings *settings = JxlEncoderFrameSettingsCreate(encoder.get(), nullptr);
    if (!settings
        || JxlEncoderFrameSettingsSetOption(settings, JXL_ENC_FRAME_SETTING_EFFORT, DefaultEffort)
            != JXL_ENC_SUCCESS)
        return false;
    const JxlEncoderStatus mode = lossless
        ? JxlEncoderSetFrameLossless(settings, JXL_TRUE)
        : JxlEncoderSetFrameDistance(settings, distanceFromQuality(qMax(0, quality)));
    if (mode != JXL_ENC_SUCCESS || !addFrame(settings, input, bits)) {
        qCWarning(lcJxl, "Cannot hand the pixels to the JPEG XL encoder: error %d",
            int(JxlEncoderGetError(encoder.get())));
        return false;
    }
    // The encoder took its own copy of the pixels.
    input = QImage();
    JxlEncoderCloseInput(encoder.get());
    return encodeToDevice(encoder.get(), device());
}
