// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "plugins/imageformats/heif/heifthumbnail.h"

#include "plugins/imageformats/common/cicp.h"
#include "plugins/imageformats/common/freewith.h"
#include "plugins/imageformats/heif/heifsource.h"

#include <QColorSpace>
#include <QIODevice>
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include <libheif/heif.h>

namespace {

using HandleOwner = std::unique_ptr<heif_image_handle, FreeWith<heif_image_handle_release>>;
using ImageOwner = std::unique_ptr<heif_image, FreeWith<heif_image_release>>;

constexpr int MaxImageSide = 16384;

QSize sizeOf(const heif_image_handle *handle)
{
    return QSize(heif_image_handle_get_width(handle), heif_image_handle_get_height(handle));
}

// Within two pixels of the picture's shape (writers round a thumbnail's sides, libheif down to
// even numbers), so that the icon is not stretched; deep thumbnails are left to the whole decode,
// which handles every depth.
bool usable(const heif_image_handle *thumbnail, QSize picture)
{
    const QSize size = sizeOf(thumbnail);
    if (size.isEmpty() || size.width() > picture.width() || size.height() > picture.height()
        || heif_image_handle_get_luma_bits_per_pixel(thumbnail) != 8)
        return false;
    const qint64 skew = qint64(size.width()) * picture.height() - qint64(size.height()) * picture.width();
    return qAbs(skew) <= 2 * qint64(qMax(picture.width(), picture.height()));
}

// The usable thumbnails, smallest first.
std::vector<HandleOwner> thumbnails(const heif_image_handle *primary)
{
    std::vector<HandleOwner> found;
    const int count = heif_image_handle_get_number_of_thumbnails(primary);
    if (count <= 0)
        return found;
    std::vector<heif_item_id> ids(static_cast<size_t>(count));
    const int listed = heif_image_handle_get_list_of_thumbnail_IDs(primary, ids.data(), count);
    for (int i = 0; i < listed; ++i) {
        heif_image_handle *thumbnail = nullptr;
        if (heif_image_handle_get_thumbnail(primary, ids[size_t(i)], &thumbnail).code != heif_error_Ok)
            continue;
        HandleOwner owner(thumbnail);
        if (usable(thumbnail, sizeOf(primary)))
            found.push_back(std::move(owner));
    }
    std::sort(found.begin(), found.end(), [](const HandleOwner &a, const HandleOwner &b) {
        return qint64(sizeOf(a.get()).width()) * sizeOf(a.get()).height()
            < qint64(sizeOf(b.get()).width()) * sizeOf(b.get()).height();
    });
    return found;
}

// False when the item carries no colour description.
bool applyColour(const heif_image_handle *handle, QImage &pixels)
{
    switch (heif_image_handle_get_color_profile_type(handle)) {
    case heif_color_profile_type_prof:
    case heif_color_profile_type_rICC: {
        QByteArray icc(qsizetype(heif_image_handle_get_raw_color_profile_size(handle)), Qt::Uninitialized);
        if (icc.isEmpty()
            || heif_image_handle_get_raw_color_profile(handle, icc.data()).code != heif_error_Ok)
            return false;
        pixels.setColorSpace(QColorSpace::fromIccProfile(icc));
        return true;
    }
    case heif_color_profile_type_nclx: {
        heif_color_profile_nclx *nclx = nullptr;
        if (heif_image_handle_get_nclx_color_profile(handle, &nclx).code != heif_error_Ok)
            return false;
        std::unique_ptr<heif_color_profile_nclx, FreeWith<heif_nclx_color_profile_free>> owner(nclx);
        Cicp::apply(pixels, int(nclx->color_primaries), int(nclx->transfer_characteristics));
        return true;
    }
    default:
        return false;
    }
}

QImage decodeItem(const heif_image_handle *thumbnail)
{
    const bool alpha = heif_image_handle_has_alpha_channel(thumbnail);
    heif_image *raw = nullptr;
    if (heif_decode_image(thumbnail, &raw, heif_colorspace_RGB,
            alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, nullptr)
            .code
        != heif_error_Ok)
        return {};
    const ImageOwner decoded(raw);
    const QSize size(heif_image_get_width(raw, heif_channel_interleaved),
        heif_image_get_height(raw, heif_channel_interleaved));
    if (size != sizeOf(thumbnail)
        || heif_image_get_bits_per_pixel(raw, heif_channel_interleaved) != (alpha ? 32 : 24))
        return {};
    QImage pixels(size, alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    if (pixels.isNull())
        return {};
    int stride = 0;
    const uint8_t *plane = heif_image_get_plane_readonly(raw, heif_channel_interleaved, &stride);
    const size_t rowBytes = size_t(size.width()) * (alpha ? 4 : 3);
    for (int y = 0; y < size.height(); ++y)
        std::memcpy(pixels.scanLine(y), plane + qsizetype(y) * stride, rowBytes);
    // The layouts the whole decode gives, which the colour code points know how to map.
    return pixels.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

} // namespace

namespace HeifThumbnail {

QList<QSize> sizes(const heif_image_handle *primary)
{
    QList<QSize> found;
    for (const HandleOwner &thumbnail : thumbnails(primary))
        found.append(sizeOf(thumbnail.get()));
    return found;
}

QImage decodeFile(QIODevice *device, qint64 start, QSize wanted)
{
    // libheif keeps its codec plug-ins once per process; the count is the library's own.
    static const bool initialized = heif_init(nullptr).code == heif_error_Ok;
    if (!initialized)
        return {};
    std::unique_ptr<heif_context, FreeWith<heif_context_free>> context(heif_context_alloc());
    if (!context)
        return {};
    // The limit the HEIF reader keeps: libheif trusts canvas sizes it has not checked.
    heif_context_set_maximum_image_size_limit(context.get(), MaxImageSide);
    heif_image_handle *primary = nullptr;
    HeifSource::Source source { device, start };
    if (!device->seek(start)
        || heif_context_read_from_reader(context.get(), &HeifSource::deviceReader, &source, nullptr).code
            != heif_error_Ok
        || heif_context_get_primary_image_handle(context.get(), &primary).code != heif_error_Ok)
        return {};
    const HandleOwner owner(primary);
    return decode(primary, wanted);
}

QImage decode(const heif_image_handle *primary, QSize wanted)
{
    for (const HandleOwner &thumbnail : thumbnails(primary)) {
        const QSize size = sizeOf(thumbnail.get());
        if (size.width() < wanted.width() || size.height() < wanted.height())
            continue;
        QImage pixels = decodeItem(thumbnail.get());
        if (pixels.isNull())
            return {};
        if (!applyColour(thumbnail.get(), pixels))
            applyColour(primary, pixels);
        return pixels;
    }
    return {};
}

} // namespace HeifThumbnail
