#include "convert/convertimagesthread.h"

#include "common/pathcompare.h"
#include "convert/conversionoptions.h"
#include "convert/gifencoder.h"
#include "convert/imagewriter.h"
#include "convert/outputformats.h"
#include "convert/pdfassembly.h"
#include "convert/targetnaming.h"
#include "imaging/failurereasons.h"
#include "imaging/memorybudget.h"
#include "imaging/renderpipeline.h"
#include "metadata/colourspace.h"
#include "metadata/imagemetadata.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QSet>

ConvertImagesThread::ConvertImagesThread(QObject *parent)
    : QThread(parent)
{
}

QString ConvertImagesThread::targetPathFor(
    const QString &targetFolder, const QString &source, const QString &targetExt)
{
    const QString fileName = QFileInfo(QDir::fromNativeSeparators(source)).fileName();
    return targetFolder + QLatin1Char('/') + fileName.section(QLatin1Char('.'), 0, 0) + targetExt;
}

ConversionFailureList ConvertImagesThread::failures() const
{
    return _failures;
}

void ConvertImagesThread::run()
{
    if (stopRequested.load(std::memory_order_relaxed)) {
        Q_EMIT threadTerminated();
        return;
    }
    QImageReader::setAllocationLimit(256);
    fileExistsList.clear();
    fileSourceList.clear();
    _failures.clear();

    if (targetExt.compare(QLatin1String(".pdf"), Qt::CaseInsensitive) == 0) {
        runPdfJob();
    } else {
        runFileJob();
    }

    if (stopRequested.load(std::memory_order_relaxed))
        Q_EMIT threadTerminated();
    else
        Q_EMIT threadCompleted(fileExistsList, fileSourceList);
}

void ConvertImagesThread::runFileJob()
{
    setPdfConversionActive(false);
    const ConversionOptions options = optionsSnapshot();
    if (!_urls.isEmpty()) {
        // Beside the originals, "Open Folder" opens the first source's folder.
        const QString location
            = options.saveNextToOriginal ? QFileInfo(_urls.first()).absolutePath() : options.outputFolder;
        setLastOutputLocation(QDir::toNativeSeparators(QFileInfo(location).absoluteFilePath()));
    }

    const QStringList targets = targetPaths.size() == _urls.size()
        ? targetPaths
        : TargetNaming::planTargets(_urls, targetFolder, targetExt, options);
    const QList<bool> claimed = targetsClaimedEarlier(targets);
    for (qsizetype i = 0; i < _urls.size(); ++i) {
        if (stopRequested.load(std::memory_order_relaxed))
            return;
        const QString &source = _urls.at(i);
        Q_EMIT updateFileName(source);
        const QString target = targets.at(i);
        if (target.isEmpty()) {
            recordFailure(
                source, targetPathFor(targetFolder, source, targetExt), tr("no free numbered name"));
            continue;
        }
        if (claimed.at(i)) {
            recordFailure(source, target, FailureReason::sameNameInJob(QFileInfo(target).fileName()));
            continue;
        }
        if (!overwriteExisting) {
            const QFileInfo existing(target);
            if (existing.exists() || existing.isSymLink()) {
                if (options.targetExistsAction == TargetNaming::Skip) {
                    Q_EMIT fileSkipped(source, target);
                    continue;
                }
                fileExistsList.append(target);
                fileSourceList.append(source);
                continue;
            }
        }
        // Sub-folders kept from the sources are made as they are needed.
        if (options.keepFolderStructure && !options.saveNextToOriginal)
            QDir().mkpath(QFileInfo(target).absolutePath());
        convertOne(source, target, options);
    }
}

// Whether each source's target is the target of an earlier source of the job: the job writes a
// target once, for the first source that names it, decided before anything is written.
QList<bool> ConvertImagesThread::targetsClaimedEarlier(const QStringList &targets)
{
    QList<bool> claimed;
    claimed.reserve(targets.size());
    QSet<QString> keys;
    for (const QString &target : targets) {
        const QString key = pathKey(target);
        claimed.append(!target.isEmpty() && keys.contains(key));
        keys.insert(key);
    }
    return claimed;
}

void ConvertImagesThread::convertOne(
    const QString &source, const QString &target, const ConversionOptions &options)
{
    QString reason;
    const QImage image = renderImage(source, false, LoadCacheUse::Bypass, &reason);
    if (image.isNull() || !MemoryBudget::fitsEncoder(image.size(), targetExt, &reason)) {
        recordFailure(source, target, reason);
        return;
    }
    QString error;
    // GIF holds no profile and no metadata: its pixels are made sRGB so that they look right.
    const bool written = isGifTarget(target)
        ? writeGifFile(convertedToSrgb(image), target, &error)
        : writeImageFile(image, target, encoderSettings(options), &error,
            metadataForTarget(source, image.size(), options.keepMetadata, options.removeLocation));
    if (!written)
        recordFailure(source, target, error);
    else if (!reason.isEmpty()) // written from what a damaged source still held
        recordFailure(source, target, reason);
}

void ConvertImagesThread::runPdfJob()
{
    setPdfConversionActive(true);
    const ConversionOptions options = optionsSnapshot();
    const QString documentPath = options.outputFolder + QLatin1Char('/') + options.pdfFileName;
    setLastOutputLocation(QDir::toNativeSeparators(QFileInfo(documentPath).absoluteFilePath()));

    PdfAssemblyHooks hooks;
    hooks.stopRequested = [this] { return stopRequested.load(std::memory_order_relaxed); };
    hooks.pageStarted = [this](const QString &source) { Q_EMIT updateFileName(source); };
    hooks.failed = [this, &documentPath](const QString &source, const QString &reason) {
        recordFailure(source, documentPath, reason);
    };
    assemblePdf(_urls, documentPath, options, hooks);
}

void ConvertImagesThread::recordFailure(const QString &source, const QString &target, const QString &reason)
{
    _failures.append({ source, target, reason });
    Q_EMIT conversionFailed(source, target, reason);
}
