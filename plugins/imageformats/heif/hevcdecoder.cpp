// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "plugins/imageformats/heif/hevcdecoder.h"

#include <QLoggingCategory>
#include <array>
#include <climits>
#include <cstring>
#include <utility>

#include <libde265/de265.h>
#include <libheif/heif.h>
#include <libheif/heif_plugin.h>

Q_LOGGING_CATEGORY(lcHevc, "pictomat.imageformats.heif.hevc", QtWarningMsg)

namespace {

// libheif's own HEVC decoder has 100; the highest wins.
constexpr int Priority = 200;
heif_error ok()
{
    return { heif_error_Ok, heif_suberror_Unspecified, "Success" };
}

heif_error failure(heif_suberror_code why, const char *message)
{
    return { heif_error_Decoder_plugin_error, why, message };
}

const char *pluginName()
{
    return "Pictomat multi-threaded libde265 HEVC decoder";
}

int supports(heif_compression_format format)
{
    return format == heif_compression_HEVC ? Priority : 0;
}

heif_error newDecoder(void **decoder, int threads)
{
    de265_decoder_context *context = de265_new_decoder();
    if (!context)
        return failure(heif_suberror_Unspecified, "libde265 cannot start a decoder");
    // The worker threads decode a picture's wavefront rows and filter its rows side by side.
    const de265_error started = de265_start_worker_threads(context, threads);
    if (!de265_isOK(started)) {
        de265_free_decoder(context);
        return failure(heif_suberror_Unspecified, de265_get_error_text(started));
    }
    qCDebug(lcHevc, "HEVC decoder on %d threads", threads);
    *decoder = context;
    return ok();
}

void freeDecoder(void *decoder)
{
    de265_free_decoder(static_cast<de265_decoder_context *>(decoder));
}

// libheif hands the parameter sets, then the picture's data, each NAL unit after its size in
// four bytes, big-endian.
heif_error pushData(void *decoder, const void *data, size_t size)
{
    auto *context = static_cast<de265_decoder_context *>(decoder);
    const auto *bytes = static_cast<const uint8_t *>(data);
    size_t at = 0;
    while (at < size) {
        if (size - at < 4)
            return failure(heif_suberror_End_of_data, "HEVC data ends inside a NAL unit's size");
        const uint32_t length = uint32_t(bytes[at]) << 24 | uint32_t(bytes[at + 1]) << 16
            | uint32_t(bytes[at + 2]) << 8 | uint32_t(bytes[at + 3]);
        at += 4;
        if (length > size - at || length > uint32_t(INT_MAX))
            return failure(heif_suberror_End_of_data, "HEVC NAL unit runs past the end of the data");
        const de265_error pushed = de265_push_NAL(context, bytes + at, int(length), 0, nullptr);
        if (!de265_isOK(pushed))
            return failure(heif_suberror_Unspecified, de265_get_error_text(pushed));
        at += length;
    }
    return ok();
}

heif_channel channelOf(int plane)
{
    static const heif_channel channels[] = { heif_channel_Y, heif_channel_Cb, heif_channel_Cr };
    return channels[plane];
}

heif_chroma chromaOf(de265_chroma chroma)
{
    switch (chroma) {
    case de265_chroma_mono:
        return heif_chroma_monochrome;
    case de265_chroma_420:
        return heif_chroma_420;
    case de265_chroma_422:
        return heif_chroma_422;
    case de265_chroma_444:
        return heif_chroma_444;
    }
    return heif_chroma_undefined;
}

heif_error copyPlane(const de265_image *picture, int plane, heif_image *image)
{
    const int width = de265_get_image_width(picture, plane);
    const int height = de265_get_image_height(picture, plane);
    const int bits = de265_get_bits_per_pixel(picture, plane);
    if (width <= 0 || height <= 0)
        return failure(heif_suberror_Invalid_image_size, "HEVC picture has no size");
    if (bits != de265_get_bits_per_pixel(picture, 0))
        return { heif_error_Unsupported_feature, heif_suberror_Unsupported_color_conversion,
            "HEVC planes of different depths are not supported" };
    const heif_error added = heif_image_add_plane(image, channelOf(plane), width, height, bits);
    if (added.code != heif_error_Ok)
        return added;
    int inStride = 0;
    int outStride = 0;
    const uint8_t *in = de265_get_image_plane(picture, plane, &inStride);
    uint8_t *out = heif_image_get_plane(image, channelOf(plane), &outStride);
    if (!in || !out)
        return failure(heif_suberror_Unspecified, "HEVC picture plane is missing");
    const size_t rowBytes = size_t(width) * size_t((bits + 7) / 8);
    for (int y = 0; y < height; ++y)
        std::memcpy(out + ptrdiff_t(y) * outStride, in + ptrdiff_t(y) * inStride, rowBytes);
    return ok();
}

// The colour code points of the stream's VUI, which libheif uses when the item has no 'colr' box
// of its own. A code point libheif does not know becomes "unspecified", as with libheif's own.
void setColour(const de265_image *picture, heif_image *image)
{
    heif_color_profile_nclx *nclx = heif_nclx_color_profile_alloc();
    if (!nclx)
        return;
    heif_nclx_color_profile_set_color_primaries(nclx, uint16_t(de265_get_image_colour_primaries(picture)));
    heif_nclx_color_profile_set_transfer_characteristics(
        nclx, uint16_t(de265_get_image_transfer_characteristics(picture)));
    heif_nclx_color_profile_set_matrix_coefficients(
        nclx, uint16_t(de265_get_image_matrix_coefficients(picture)));
    nclx->full_range_flag = uint8_t(de265_get_image_full_range_flag(picture) != 0);
    heif_image_set_nclx_color_profile(image, nclx);
    heif_nclx_color_profile_free(nclx);
}

heif_error convert(const de265_image *picture, heif_image **out)
{
    const de265_chroma chroma = de265_get_chroma_format(picture);
    const bool mono = chroma == de265_chroma_mono;
    heif_image *image = nullptr;
    heif_error error
        = heif_image_create(de265_get_image_width(picture, 0), de265_get_image_height(picture, 0),
            mono ? heif_colorspace_monochrome : heif_colorspace_YCbCr, chromaOf(chroma), &image);
    if (error.code != heif_error_Ok)
        return error;
    for (int plane = 0; plane < (mono ? 1 : 3) && error.code == heif_error_Ok; ++plane)
        error = copyPlane(picture, plane, image);
    if (error.code != heif_error_Ok) {
        heif_image_release(image);
        return error;
    }
    setColour(picture, image);
    *out = image;
    return ok();
}

// An item holds one picture; should a stream hold more, the last counts. An error of libde265
// ends the decoding: what was decoded before it is kept, as libheif's own decoder keeps it.
heif_error decodeImage(void *decoder, heif_image **out)
{
    auto *context = static_cast<de265_decoder_context *>(decoder);
    *out = nullptr;
    de265_flush_data(context);
    de265_error decoded = DE265_OK;
    heif_error converted = ok();
    int more = 1;
    while (more && converted.code == heif_error_Ok) {
        more = 0;
        decoded = de265_decode(context, &more);
        // All the data is in: waiting for more means the stream has ended.
        if (decoded == DE265_ERROR_WAITING_FOR_INPUT_DATA || !de265_isOK(decoded))
            break;
        while (const de265_image *picture = de265_peek_next_picture(context)) {
            heif_image *image = nullptr;
            converted = convert(picture, &image);
            de265_release_next_picture(context);
            if (converted.code != heif_error_Ok)
                break;
            if (*out)
                heif_image_release(*out);
            *out = image;
        }
    }
    if (converted.code != heif_error_Ok && *out) {
        heif_image_release(*out);
        *out = nullptr;
    }
    if (converted.code != heif_error_Ok || *out)
        return converted;
    if (!de265_isOK(decoded) && decoded != DE265_ERROR_WAITING_FOR_INPUT_DATA)
        return failure(heif_suberror_Unspecified, de265_get_error_text(decoded));
    return failure(heif_suberror_Unspecified, "HEVC stream holds no picture");
}

// libheif makes a decoder without saying for which file, so the number of threads is in the
// plug-in: one plug-in for each number, the context given the one for its file's share.
template <int Threads> heif_error newDecoderOn(void **decoder)
{
    return newDecoder(decoder, Threads);
}

template <size_t... Index>
constexpr std::array<heif_decoder_plugin, sizeof...(Index)> pluginsFor(std::index_sequence<Index...>)
{
    return { { { 1, pluginName, nullptr, nullptr, supports, newDecoderOn<int(Index) + 1>, freeDecoder,
        pushData, decodeImage, nullptr, nullptr }... } };
}

constexpr std::array<heif_decoder_plugin, HevcDecoder::MaxThreads> plugins
    = pluginsFor(std::make_index_sequence<HevcDecoder::MaxThreads>());

} // namespace

namespace HevcDecoder {

void useFor(heif_context *context, int threads)
{
    const int count = qBound(1, threads, MaxThreads);
    heif_register_decoder(context, &plugins[size_t(count - 1)]);
    heif_context_set_max_decoding_threads(context, count);
}

} // namespace HevcDecoder
