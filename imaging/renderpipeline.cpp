#include "imaging/renderpipeline.h"

#include "common/pathcompare.h"
#include "convert/conversionoptions.h"
#include "imaging/adjustments.h"
#include "imaging/failurereasons.h"
#include "imaging/scaling.h"
#include "imaging/watermarks.h"

#include <QDateTime>
#include <QDebug>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QMutex>
#include <QPainter>
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

    void clear()
    {
        lastLoadedPath.clear();
        lastLoadedSize = -1;
        lastLoadedModified = QDateTime();
        lastLoadedImage = QImage();
    }
};

LoadCache &loadCache()
{
    static LoadCache cache;
    return cache;
}

QImage cachedLoad(const QString &path, LoadCacheUse use, QString *reason)
{
    LoadCache &cache = loadCache();
    QMutexLocker locker(&cache.mutex);
    const QFileInfo info(path);
    const qint64 size = info.size();
    const QDateTime modified = info.lastModified();
    const bool hit = !cache.lastLoadedPath.isEmpty() && samePath(cache.lastLoadedPath, path)
        && cache.lastLoadedSize == size && cache.lastLoadedModified == modified;
    if (hit)
        return cache.lastLoadedImage;

    // The entry is replaced either way; dropping it first keeps two full images from being held
    // while the new one decodes.
    cache.clear();
    QImage image;
    if (!ImageMagickUtil::loadImage(path, &image, reason) || image.isNull())
        return QImage();
    if (use == LoadCacheUse::Keep) {
        cache.lastLoadedPath = path;
        cache.lastLoadedSize = size;
        cache.lastLoadedModified = modified;
        cache.lastLoadedImage = image;
    }
    return image;
}

// Whether QPainter can begin on images of this pixel format (it cannot on 8-bit indexed,
// for one). Asked once per format with a one-pixel image, so the answer is the painter's own.
bool isPaintableFormat(QImage::Format format)
{
    static QMutex mutex;
    static QHash<int, bool> known;
    QMutexLocker locker(&mutex);
    const auto it = known.constFind(format);
    if (it != known.constEnd())
        return *it;
    QImage probe(1, 1, format);
    QPainter painter;
    const bool ok = painter.begin(&probe);
    if (ok)
        painter.end();
    known.insert(format, ok);
    return ok;
}

// Whether a rule maps each pixel on its own, so that it gives the same pixels before or after a
// nearest-neighbour resize. A blur mixes neighbours; an unknown kind does nothing either way.
bool isPerPixelRule(const AdjustRule &rule)
{
    return rule.ruleIndex != AdjustRule::GaussianBlur;
}

QImage render(const QString &path, bool fastPreview, LoadCacheUse cacheUse,
    const std::function<QSize(QSize)> &fit, QString *reason)
{
    const ConversionOptions options = optionsSnapshot();
    const bool pdfActive = pdfConversionActive();

    QImage result = cachedLoad(path, cacheUse, reason);
    if (result.isNull() || !isPaintableFormat(result.format()))
        return result;

    // The layer is transparent when no watermark is set, so compositing it would change nothing.
    if (hasWatermarks(options)) {
        QImage layer(result.size(), QImage::Format_ARGB32);
        if (layer.isNull())
            return QImage();
        layer.fill(0);
        if (!drawWatermarks(layer, options))
            return QImage();
        QPainter painter;
        if (!painter.begin(&result))
            return result;
        painter.drawImage(layer.rect(), layer);
        painter.end();
    }

    if (options.scaleImage) {
        result = applyScaling(result, options, fastPreview, pdfActive);
        if (result.isNull())
            return result;
    }

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
    return result;
}

} // namespace

QImage renderImage(const QString &path, bool fastPreview, LoadCacheUse cacheUse, QString *reason)
{
    QString why;
    QImage image = render(path, fastPreview, cacheUse, {}, &why);
    if (image.isNull() && reason)
        *reason = why.isEmpty() ? FailureReason::cannotRead() : why;
    return image;
}

QImage renderFittedPreview(const QString &path, const std::function<QSize(QSize)> &fit)
{
    return render(path, true, LoadCacheUse::Keep, fit, nullptr);
}

namespace ImageMagickUtil {

bool loadImage(const QString &path, QImage *image, QString *reason)
{
    qDebug().noquote() << "ImageMagickUtil::loadImage: " + path;
    if (!QFileInfo(path).isFile()) {
        if (reason)
            *reason = FailureReason::cannotRead();
        return false;
    }
    QImageReader reader(path);
    QImageReader::setAllocationLimit(256);
    reader.setAutoTransform(true);
    if (reader.read(image))
        return true;
    if (reason)
        *reason = FailureReason::cannotRead();
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
    return extensions.contains(suffix, Qt::CaseInsensitive);
}

void clearLoadCache()
{
    LoadCache &cache = loadCache();
    QMutexLocker locker(&cache.mutex);
    cache.clear();
}
