// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "imaging/renderpipeline.h"

#include "common/logging.h"
#include "common/pathcompare.h"
#include "convert/conversionoptions.h"
#include "convert/outputformats.h"
#include "imaging/adjustments.h"
#include "imaging/failurereasons.h"
#include "imaging/pixelformat.h"
#include "imaging/reducedpreview.h"
#include "imaging/scaling.h"
#include "imaging/sourcecheck.h"
#include "imaging/sourcedamage.h"
#include "imaging/watermarks.h"
#include "metadata/colourspace.h"
#include "plugins/imageformats/common/codecformats.h"
#include "plugins/imageformats/common/decodelimits.h"
#include "plugins/imageformats/common/decoderthreads.h"
#include "plugins/imageformats/common/metadatakeys.h"

#include <QDateTime>
#include <QDebug>
#include <QFileInfo>
#include <QImageReader>
#include <QMutex>
#include <functional>

namespace {

// The last decoded file, keyed on its path and on the size and modification time it had
// when it was read, so that a file rewritten on disk is decoded again.
struct LoadCache {
    QMutex mutex;
    QString lastLoadedPath;
    qint64 lastLoadedSize = -1;
    QDateTime lastLoadedModified;
    QImage lastLoadedImage;
    QString lastLoadedWarning; // the loader's word on a damaged file it still decoded

    void clear()
    {
        lastLoadedPath.clear();
        lastLoadedSize = -1;
        lastLoadedModified = QDateTime();
        lastLoadedImage = QImage();
        lastLoadedWarning.clear();
    }
};

LoadCache &loadCache()
{
    static LoadCache cache;
    return cache;
}

// Called with the cache's lock held.
bool holds(const LoadCache &cache, const QString &path, const QFileInfo &info)
{
    return !cache.lastLoadedPath.isEmpty() && samePath(cache.lastLoadedPath, path)
        && cache.lastLoadedSize == info.size() && cache.lastLoadedModified == info.lastModified();
}

bool isCached(const QString &path)
{
    LoadCache &cache = loadCache();
    QMutexLocker locker(&cache.mutex);
    return holds(cache, path, QFileInfo(path));
}

QImage cachedLoad(const QString &path, LoadCacheUse use, int decoderThreads, QString *reason)
{
    LoadCache &cache = loadCache();
    QMutexLocker locker(&cache.mutex);
    const QFileInfo info(path);
    const qint64 size = info.size();
    const QDateTime modified = info.lastModified();
    if (holds(cache, path, info)) {
        if (reason)
            *reason = cache.lastLoadedWarning;
        return cache.lastLoadedImage;
    }

    // The entry is replaced either way; dropping it first keeps two full images from being held
    // while the new one decodes.
    cache.clear();
    QImage image;
    QString why;
    const bool loaded = ImageMagickUtil::loadImage(path, &image, &why, decoderThreads);
    if (reason)
        *reason = why;
    if (!loaded || image.isNull())
        return QImage();
    if (use == LoadCacheUse::Keep) {
        cache.lastLoadedPath = path;
        cache.lastLoadedSize = size;
        cache.lastLoadedModified = modified;
        cache.lastLoadedImage = image;
        cache.lastLoadedWarning = why;
    }
    return image;
}

// Whether a rule maps each pixel on its own, so that it gives the same pixels before or after a
// nearest-neighbour resize. A blur mixes neighbours; an unknown kind does nothing either way.
bool isPerPixelRule(const AdjustRule &rule)
{
    return rule.ruleIndex != AdjustRule::GaussianBlur;
}

// Whether the options' target can hold transparency; JPG, GIF (no partial transparency) and the
// pages of a PDF cannot, so the previews show a transparent source on the background the written
// file will have.
bool previewTargetKeepsAlpha(const ConversionOptions &options)
{
    const TargetFormat &target = targetFormatAt(options.targeFileType);
    return target.writer == TargetFormat::ImageWriter && target.position != JpgTargetPosition;
}

QImage asPreviewed(QImage image, const ConversionOptions &options)
{
    return previewTargetKeepsAlpha(options) ? image : flattenOntoBackground(image, options.backgroundColor);
}

bool compositeWatermarks(QImage &result, const ConversionOptions &options)
{
    // The layer is transparent when no watermark is set, so compositing it would change nothing.
    if (!hasWatermarks(options))
        return true;
    QImage layer(result.size(), QImage::Format_ARGB32);
    if (layer.isNull())
        return false;
    layer.fill(0);
    if (!drawWatermarks(layer, options))
        return false;
    drawLayerOver(result, layer);
    return true;
}

QImage render(const QString &path, const ConversionOptions &options, const RenderMode &mode,
    const std::function<QSize(QSize)> &fit, QString *reason)
{
    QImage result = cachedLoad(path, mode.cacheUse, mode.decoderThreads, reason);
    if (result.isNull())
        return result;
    // Palette and 1-bit pictures take no painter and scale poorly as they are.
    if (hasWatermarks(options) || options.scaleImage || !options.ruleList.isEmpty())
        result = toPaintableFormat(std::move(result));
    // Drawn after the resize, text stays sharp at the output size.
    if (!options.watermarksAfterScaling && !compositeWatermarks(result, options))
        return QImage();

    if (options.scaleImage) {
        result = applyScaling(result, options, mode.fastPreview, mode.pdfPage, reason);
        if (result.isNull())
            return result;
    }
    if (options.watermarksAfterScaling && !compositeWatermarks(result, options))
        return QImage();

    if (!fit) {
        if (!options.ruleList.isEmpty())
            result = applyAdjustments(std::move(result), options.ruleList);
        return result;
    }

    // Rules up to the last blur need the full picture; the per-pixel ones after it run on the
    // reduced image.
    qsizetype split = options.ruleList.size();
    while (split > 0 && isPerPixelRule(options.ruleList.at(split - 1)))
        --split;
    if (split > 0)
        result = applyAdjustments(std::move(result), options.ruleList.mid(0, split));
    const QSize fitted = fit(result.size());
    if (!result.isNull() && fitted != result.size())
        result = result.scaled(fitted, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (split < options.ruleList.size())
        result = applyAdjustments(std::move(result), options.ruleList.mid(split));
    return asPreviewed(std::move(result), options);
}

} // namespace

QImage renderImage(
    const QString &path, const ConversionOptions &options, const RenderMode &mode, QString *reason)
{
    QString why;
    QImage image = render(path, options, mode, {}, &why);
    if (reason)
        *reason = image.isNull() && why.isEmpty() ? FailureReason::cannotRead() : why;
    return image;
}

QImage renderImage(const QString &path, bool fastPreview, LoadCacheUse cacheUse, QString *reason)
{
    RenderMode mode;
    mode.fastPreview = fastPreview;
    mode.cacheUse = cacheUse;
    return renderImage(path, optionsSnapshot(), mode, reason);
}

QImage renderFittedPreview(
    const QString &path, const ConversionOptions &options, const std::function<QSize(QSize)> &fit)
{
    // Without a watermark or a blur, every step commutes with the nearest-pixel fit: a reduced
    // decode then gives the preview at a fraction of the cost. A picture already decoded whole
    // costs nothing more and is shown exactly.
    QImage reduced = isCached(path) ? QImage() : reducedPreview(path, options, fit);
    if (!reduced.isNull()) {
        if (!options.ruleList.isEmpty())
            reduced = applyAdjustments(toPaintableFormat(std::move(reduced)), options.ruleList);
        return convertedToSrgb(asPreviewed(std::move(reduced), options));
    }
    // Screens are taken as sRGB: a wide-gamut photo shown untouched would look washed out.
    RenderMode mode;
    mode.fastPreview = true;
    return convertedToSrgb(render(path, options, mode, fit, nullptr));
}

QImage renderFullPreview(const QString &path, const ConversionOptions &options)
{
    return asPreviewed(renderImage(path, options, RenderMode()), options);
}

namespace ImageMagickUtil {

bool loadImage(const QString &path, QImage *image, QString *reason, int decoderThreads)
{
    qDebug().noquote() << "ImageMagickUtil::loadImage: " + path;
    if (!QFileInfo(path).isFile()) {
        if (reason)
            *reason = FailureReason::cannotRead();
        return false;
    }
    QImageReader reader(path);
    // Before anything is parsed: a plug-in may start its decoder while reading the header.
    if (decoderThreads > 0 && reader.device())
        reader.device()->setProperty(DecoderThreads::Property, decoderThreads);
    // Turned upright here rather than by the reader, which drops the colour profile doing it.
    reader.setAutoTransform(false);
    if (!SourceCheck::accept(reader, reason))
        return false;
    const SourceDamageWatch watch;
    if (reader.read(image)) {
        *image = uprightKeepingColourSpace(std::move(*image), reader.transformation());
        return acceptDecodedSource(watch, image, reason);
    }
    if (reason) {
        // Our plug-ins say why they refused a file of their format they cannot show correctly.
        const QString refusal = reader.text(QLatin1String(MetadataKeys::Refusal));
        *reason = refusal.isEmpty() ? FailureReason::cannotRead() : refusal;
    }
    return false;
}

} // namespace ImageMagickUtil

bool isSupportedImageFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return false;
    const QString suffix = info.completeSuffix().section(QLatin1Char('.'), -1);
    static const QStringList extensions
        = { "gif", "heif", "heic", "avif", "jxl", "jpg", "jpeg", "png", "tif", "tiff", "webp" };
    return extensions.contains(suffix, Qt::CaseInsensitive) || isRawFormat(suffix.toLower().toLatin1());
}

void clearLoadCache()
{
    LoadCache &cache = loadCache();
    QMutexLocker locker(&cache.mutex);
    cache.clear();
}
