// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/convertimagesthread.h"

#include "common/filesystemnames.h"
#include "common/processmemory.h"
#include "convert/checkedsavefile.h"
#include "convert/conversionoptions.h"
#include "convert/encoderthreads.h"
#include "convert/filepool.h"
#include "convert/gifencoder.h"
#include "convert/imagewriter.h"
#include "convert/outputformats.h"
#include "convert/pdfassembly.h"
#include "convert/targetnaming.h"
#include "imaging/failurereasons.h"
#include "imaging/memorybudget.h"
#include "imaging/pixelformat.h"
#include "imaging/renderpipeline.h"
#include "metadata/colourspace.h"
#include "metadata/imagemetadata.h"
#include "plugins/imageformats/common/decodelimits.h"
#include "plugins/imageformats/common/decodestop.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QRegularExpression>
#include <QSet>
#include <functional>
#include <optional>
#include <vector>

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

ConversionFailureList ConvertImagesThread::notes() const
{
    return _notes;
}

QString ConvertImagesThread::outputLocation() const
{
    return _outputLocation;
}

void ConvertImagesThread::run()
{
    if (stopRequested.load(std::memory_order_relaxed)) {
        Q_EMIT threadTerminated();
        return;
    }
    fileExistsList.clear();
    fileSourceList.clear();
    _failures.clear();
    _notes.clear();
    _outputLocation.clear();

    if (targetExt.compare(QLatin1String(".pdf"), Qt::CaseInsensitive) == 0) {
        runPdfJob();
    } else {
        runFileJob();
    }
    // The job's pictures were reused in the heap; after it the program is small again.
    releaseFreeMemory();

    if (stopRequested.load(std::memory_order_relaxed))
        Q_EMIT threadTerminated();
    else
        Q_EMIT threadCompleted(fileExistsList, fileSourceList);
}

namespace {

// What the job does with one source, decided in list order when the source is started.
enum class Step { Convert, Existing, Skipped, SameName, NoName };

bool somethingAt(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// The next free numbered name after `taken`, counted from the name without its number.
QString nextNumberedName(const QString &taken)
{
    static const QRegularExpression number(QStringLiteral(" \\(\\d+\\)(?=\\.[^.]*$|$)"));
    const QFileInfo info(taken);
    return TargetNaming::numbered(
        info.path() + QLatin1Char('/') + info.fileName().remove(number), somethingAt);
}

// Runs on a pool thread: renders and writes one file. The reason to report for it, if any; what of
// its metadata a written file could not keep in *leftOut.
std::optional<QString> convertOne(const QString &source, const QString &target, const QString &targetExt,
    const ConversionOptions &options, bool overwrite, const std::function<bool()> &abandoned,
    QString *leftOut)
{
    // Gone since it was listed: said so, rather than called unreadable.
    if (!somethingAt(source))
        return FailureReason::noSuchFile();
    QString reason;
    RenderMode mode;
    mode.cacheUse = LoadCacheUse::Bypass;
    // The decoder gets the file's share of the cores, as its encoder does.
    mode.decoderThreads = EncoderThreadShare::current();
    const QImage image = renderImage(source, options, mode, &reason);
    // A stop before this file's turn: it would only be thrown away, so it is not encoded.
    if (abandoned())
        return std::nullopt;
    if (image.isNull() || !MemoryBudget::fitsEncoder(image.size(), targetExt, &reason))
        return reason;
    // Only a confirmed overwrite by a sound source replaces a file: a damaged source, or a job not
    // told to overwrite, never replaces one, not even one another job wrote since this one looked.
    const bool damaged = !reason.isEmpty();
    const bool addNumber = !overwrite && options.targetExistsAction == TargetNaming::AddNumber;
    const TargetPlacement placement(overwrite && !damaged,
        addNumber ? std::function<QString(const QString &)>(nextNumberedName) : nullptr);
    QString error;
    // GIF holds no profile and no metadata: its pixels are made sRGB so that they look right.
    // Nor partial transparency: it comes out opaque, on the background colour as a JPG does.
    const bool written = isGifTarget(target)
        ? writeGifFile(convertedToSrgb(flattenOntoBackground(image, options.backgroundColor)), target, &error)
        : writeImageFile(image, target, encoderSettings(options), &error,
            metadataForTarget(source, image.size(), options.keepMetadata, options.removeLocation), leftOut);
    if (!written)
        return damaged && somethingAt(target) ? FailureReason::damagedNotOverExisting(reason) : error;
    if (!reason.isEmpty()) // written from what a damaged source still held
        return reason;
    return std::nullopt;
}

} // namespace

int ConvertImagesThread::threadsForJob(const ConversionOptions &options) const
{
    return filesAtOnce > 0 ? filesAtOnce : defaultFilesAtOnce(options.threadLimit);
}

// Files start on the pool in list order, as threads and the memory budget allow, and are taken
// back in list order: each file's signals come at its turn, once the files before it are done,
// so that the job reports exactly what converting one file after the other would. A file is
// tested and started only after the signal of the file before it at the latest.
void ConvertImagesThread::runFileJob()
{
    const ConversionOptions options = optionsSnapshot();
    if (!_urls.isEmpty()) {
        // Beside the originals, "Open Folder" opens the first source's folder.
        const QString location
            = options.saveNextToOriginal ? QFileInfo(_urls.first()).absolutePath() : options.outputFolder;
        _outputLocation = QDir::toNativeSeparators(QFileInfo(location).absoluteFilePath());
    }

    const QStringList targets = targetPaths.size() == _urls.size()
        ? targetPaths
        : TargetNaming::planTargets(_urls, targetFolder, targetExt, options);
    const QList<bool> claimed = targetsClaimedEarlier(targets);
    // What a killed job left in the folders this one writes to goes first.
    const QDateTime jobStart = QDateTime::currentDateTimeUtc();
    QSet<QString> folders;
    for (const QString &target : targets) {
        if (!target.isEmpty())
            folders.insert(QFileInfo(target).absolutePath());
    }
    for (const QString &folder : std::as_const(folders))
        CheckedSaveFile::removeStaleTemporaryFiles(folder, jobStart);
    std::vector<std::optional<QString>> outcomes(size_t(_urls.size()));
    std::vector<QString> leftOut(size_t(_urls.size()));
    QList<Step> steps;
    qint64 nextBytes = -1;
    QSize nextSize;
    QByteArray nextFormat;
    FilePool pool(threadsForJob(options), MemoryBudget::jobBytes(),
        [this] { return stopRequested.load(std::memory_order_relaxed); });
    const auto startNext = [&] {
        const qsizetype i = steps.size();
        const QString source = _urls.at(i);
        const QString target = targets.at(i);
        if (target.isEmpty()) {
            steps.append(Step::NoName);
        } else if (claimed.at(i)) {
            steps.append(Step::SameName);
        } else if (!overwriteExisting && somethingAt(target)) {
            steps.append(options.targetExistsAction == TargetNaming::Skip ? Step::Skipped : Step::Existing);
        } else {
            if (nextBytes < 0) {
                const QImageReader reader(source);
                nextSize = reader.size();
                nextFormat = reader.format();
                nextBytes = MemoryBudget::conversionBytes(nextSize, targetExt, nextFormat);
            }
            const QSize size = nextSize;
            const QByteArray format = nextFormat;
            const QString ext = targetExt;
            const bool overwrite = overwriteExisting;
            // Files fewer than threads leave the cores to their encoders.
            const int share = EncoderThreadShare::forFiles(
                int(qMin<qsizetype>(pool.threads(), _urls.size() - i)), options.threadLimit);
            if (!pool.tryStart(i, nextBytes, [=, &outcomes, &leftOut, &pool] {
                    if (pool.abandoned(i))
                        return;
                    // A RAW whose development alone would not fit is refused before it allocates.
                    QString refusal;
                    if (!MemoryBudget::fitsDecoder(size, format, &refusal)) {
                        outcomes[size_t(i)] = refusal;
                        return;
                    }
                    const CommitGate gate([&pool, i] { return pool.awaitTurn(i); });
                    // A file the job abandons ends its decode (a RAW development) at the next step.
                    const DecodeStop::Scope decodeStop([&pool, i] { return pool.abandoned(i); });
                    const EncoderThreadShare encoderThreads(share);
                    // Sub-folders kept from the sources are made as they are needed.
                    if (options.keepFolderStructure && !options.saveNextToOriginal)
                        QDir().mkpath(QFileInfo(target).absolutePath());
                    outcomes[size_t(i)] = convertOne(
                        source, target, ext, options, overwrite, [&pool, i] { return pool.abandoned(i); },
                        &leftOut[size_t(i)]);
                }))
                return false;
            nextBytes = -1;
            steps.append(Step::Convert);
        }
        return true;
    };
    qsizetype turn = 0;
    // Files start at most a few places ahead of the turn: files done early only wait for their
    // turn, and one thread still runs one file after the other.
    const auto startMore = [&] {
        const qsizetype end = qMin(_urls.size(), turn + pool.lookahead());
        while (steps.size() < end && !stopRequested.load(std::memory_order_relaxed) && startNext()) { }
    };

    for (turn = 0; turn < _urls.size(); ++turn) {
        if (!pool.beginTurn(turn))
            return;
        const QString &source = _urls.at(turn);
        Q_EMIT updateFileName(source);
        // The file whose turn it is starts even when a stop came with its signal: it finishes.
        // Nothing before it is held any more, so it fits.
        if (steps.size() == turn)
            startNext();
        startMore();
        const QString target = targets.at(turn);
        switch (steps.at(turn)) {
        case Step::NoName:
            recordFailure(
                source, targetPathFor(targetFolder, source, targetExt), tr("no free numbered name"));
            break;
        case Step::Skipped:
            Q_EMIT fileSkipped(source, target);
            break;
        case Step::SameName:
            recordFailure(source, target, FailureReason::sameNameInJob(QFileInfo(target).fileName()));
            break;
        case Step::Existing:
            fileExistsList.append(target);
            fileSourceList.append(source);
            break;
        case Step::Convert:
            pool.take(turn, startMore);
            if (const std::optional<QString> &failure = outcomes[size_t(turn)]) {
                recordFailure(source, target, *failure);
            } else if (const QString &note = leftOut[size_t(turn)]; !note.isEmpty()) {
                _notes.append({ source, target, note });
                Q_EMIT conversionNoted(source, target, note);
            }
            break;
        }
    }
}

// Whether each source's target is the target of an earlier source of the job: the job writes a
// target once, for the first source that names it, decided before anything is written. Two names
// differing only in case are one target in a folder that ignores case (a memory card).
QList<bool> ConvertImagesThread::targetsClaimedEarlier(const QStringList &targets)
{
    QList<bool> claimed;
    claimed.reserve(targets.size());
    if (targets.size() < 2)
        return QList<bool>(targets.size(), false);
    FileSystemNames names;
    QSet<QString> keys;
    for (const QString &target : targets) {
        const QString key = names.key(target);
        claimed.append(!target.isEmpty() && keys.contains(key));
        keys.insert(key);
    }
    return claimed;
}

void ConvertImagesThread::runPdfJob()
{
    const ConversionOptions options = optionsSnapshot();
    const QString documentPath = options.outputFolder + QLatin1Char('/') + options.pdfFileName;
    _outputLocation = QDir::toNativeSeparators(QFileInfo(documentPath).absoluteFilePath());

    PdfAssemblyHooks hooks;
    hooks.stopRequested = [this] { return stopRequested.load(std::memory_order_relaxed); };
    hooks.pageStarted = [this](const QString &source) { Q_EMIT updateFileName(source); };
    hooks.failed = [this, &documentPath](const QString &source, const QString &reason) {
        recordFailure(source, documentPath, reason);
    };
    hooks.pagesAtOnce = threadsForJob(options);
    hooks.memoryBudget = MemoryBudget::jobBytes();
    assemblePdf(_urls, documentPath, options, hooks);
}

void ConvertImagesThread::recordFailure(const QString &source, const QString &target, const QString &reason)
{
    _failures.append({ source, target, reason });
    Q_EMIT conversionFailed(source, target, reason);
}
