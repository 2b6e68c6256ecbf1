// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/batchjob.h"

#include "common/filesystemnames.h"
#include "common/pathcompare.h"
#include "convert/convertimagesthread.h"
#include "convert/outputformats.h"
#include "convert/rawpairs.h"
#include "convert/targetnaming.h"
#include "filelist/folderscan.h"
#include "imaging/failurereasons.h"
#include "imaging/renderpipeline.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QSet>
#include <memory>

namespace {

bool isPdfJob(const CliRequest &request)
{
    return request.options.targeFileType == PdfTargetPosition;
}

QString pdfDocumentName(const CliRequest &request)
{
    QString name = request.options.pdfFileName.isEmpty() ? QStringLiteral("pictomat.pdf")
                                                         : request.options.pdfFileName;
    if (!name.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        name += QStringLiteral(".pdf");
    return name;
}

class Planner {
public:
    explicit Planner(const CliRequest &request)
        : request(request)
        , outputFolder(normalPath(QFileInfo(request.outputFolder).absoluteFilePath()))
    {
    }

    void addInput(const QString &input)
    {
        const QFileInfo info(input);
        if (info.isDir()) {
            addFolder(normalPath(info.absoluteFilePath()));
        } else if (!info.exists() && !info.isSymLink()) {
            plan.unusable.append({ normalPath(info.absoluteFilePath()), QString(), FileOutcome::Failed,
                FailureReason::noSuchFile() });
        } else if (!isSupportedImageFile(info.absoluteFilePath())) {
            plan.unusable.append({ normalPath(info.absoluteFilePath()), QString(), FileOutcome::Failed,
                FailureReason::notSupported() });
        } else {
            addFile(normalPath(info.absoluteFilePath()), outputFolder);
        }
    }

    BatchPlan plan;

private:
    void addFolder(const QString &folder)
    {
        const auto take = [&](const QString &file) {
            if (!isSupportedImageFile(file))
                return;
            QString target = outputFolder;
            if (request.keepFolders) {
                const QString relative = QDir(folder).relativeFilePath(QFileInfo(file).path());
                if (relative != QLatin1String("."))
                    target = normalPath(outputFolder + QLatin1Char('/') + relative);
            }
            addFile(file, target);
        };
        // In the order a drop lists them. The output folder inside an input folder holds an
        // earlier run's results, not sources.
        FolderScan scan(folder, nullptr, request.recursive);
        if (!request.outputFolder.isEmpty())
            scan.skipFolder(outputFolder);
        QString file;
        while (scan.next(&file))
            take(file);
        const QStringList unreachable = scan.unreachableNames();
        for (const QString &name : unreachable)
            plan.unusable.append({ name, QString(), FileOutcome::Failed, FailureReason::nameNotUtf8() });
    }

    // Files and target folders are told apart as the file system does: on a memory card two
    // spellings of one name are one file, and sub-folders differing in case are one job.
    void addFile(const QString &file, const QString &targetFolder)
    {
        const QString fileKey = names.key(file);
        if (seen.contains(fileKey))
            return;
        seen.insert(fileKey);
        const QString folder = isPdfJob(request) ? outputFolder : targetFolder;
        const QString folderKey = names.key(folder);
        auto job = jobIndex.constFind(folderKey);
        if (job == jobIndex.constEnd()) {
            job = jobIndex.insert(folderKey, int(plan.jobs.size()));
            plan.jobs.append({ folder, {} });
        }
        plan.jobs[*job].sources.append(file);
    }

    const CliRequest &request;
    const QString outputFolder;
    FileSystemNames names;
    QSet<QString> seen;
    QHash<QString, int> jobIndex;
};

// What became of each source of a running job, told file by file as the job's signals come.
class JobWatch {
public:
    JobWatch(const BatchPlan::Job &job, const QStringList &targets, bool pdf, const CliRequest &request)
        : job(job)
        , targets(targets)
        , pdf(pdf)
        , request(request)
    {
    }

    // The job's turn moved to the next source: the one before is done.
    void nextTurn(const std::function<void(const FileOutcome &)> &done)
    {
        finishCurrent(done);
        clock.start();
        ++current;
    }

    void finishCurrent(const std::function<void(const FileOutcome &)> &done)
    {
        if (current < 0 || current >= job.sources.size())
            return;
        FileOutcome outcome = outcomeOf(current);
        outcome.ms = clock.elapsed();
        outcomes.append(outcome);
        if (done)
            done(outcome);
    }

    void failed(const QString &source, const QString &target, const QString &reason)
    {
        byKey.insert(pathKey(source), { source, normalPath(target), FileOutcome::Failed, reason });
    }

    void skipped(const QString &source, const QString &target)
    {
        byKey.insert(pathKey(source),
            { source, normalPath(target), FileOutcome::Skipped, QStringLiteral("target exists"), true });
    }

    QList<FileOutcome> outcomes;

private:
    FileOutcome outcomeOf(qsizetype i) const
    {
        const QString &source = job.sources.at(i);
        const QString target = pdf ? job.targetFolder : targets.value(i);
        FileOutcome outcome = byKey.value(pathKey(source));
        if (outcome.source.isEmpty()) {
            // The job leaves a target that was there before it alone, and lists it only at its end.
            const bool existing
                = !pdf && !request.overwrite && !target.isEmpty() && existingBefore.contains(pathKey(target));
            outcome = existing
                ? FileOutcome { source, normalPath(target), FileOutcome::Skipped,
                      QStringLiteral("target exists") }
                : FileOutcome { source, normalPath(target), FileOutcome::Converted, QString() };
        }
        outcome.sourceSize = QImageReader(source).size();
        if (outcome.result == FileOutcome::Converted) {
            if (!pdf)
                outcome.targetSize = QImageReader(outcome.target).size();
            outcome.bytes = QFileInfo(outcome.target).size();
        }
        return outcome;
    }

public:
    QSet<QString> existingBefore; // path keys of the targets there before the job started

private:
    const BatchPlan::Job &job;
    const QStringList targets;
    const bool pdf;
    const CliRequest &request;
    QHash<QString, FileOutcome> byKey;
    qsizetype current = -1;
    QElapsedTimer clock;
};

// Runs one job to its end; the thread's signals reach `done` on this thread, file by file.
QList<FileOutcome> runJob(const CliRequest &request, const BatchPlan::Job &job, const QString &extension,
    const std::function<void(const FileOutcome &)> &done)
{
    const bool pdf = extension == QLatin1String(".pdf");
    auto thread = std::make_unique<ConvertImagesThread>();
    thread->_urls = job.sources;
    thread->targetFolder = job.targetFolder;
    thread->targetExt = extension;
    thread->overwriteExisting = request.overwrite;
    // Planned here so that the report names the files the naming options give.
    if (!pdf)
        thread->targetPaths
            = TargetNaming::planTargets(job.sources, job.targetFolder, extension, optionsSnapshot());
    JobWatch watch(job, thread->targetPaths, pdf, request);
    for (const QString &target : std::as_const(thread->targetPaths)) {
        const QFileInfo info(target);
        if (info.exists() || info.isSymLink())
            watch.existingBefore.insert(pathKey(target));
    }
    QEventLoop loop;
    QObject::connect(
        thread.get(), &ConvertImagesThread::updateFileName, &loop, [&] { watch.nextTurn(done); });
    QObject::connect(thread.get(), &ConvertImagesThread::conversionFailed, &loop,
        [&](const QString &source, const QString &target, const QString &reason) {
            watch.failed(source, target, reason);
        });
    QObject::connect(thread.get(), &ConvertImagesThread::fileSkipped, &loop,
        [&](const QString &source, const QString &target) { watch.skipped(source, target); });
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    loop.exec();
    thread->wait();
    watch.finishCurrent(done);

    // The job's own lists are the last word on what it left alone or could not convert.
    QHash<QString, qsizetype> index;
    for (qsizetype i = 0; i < watch.outcomes.size(); ++i)
        index.insert(pathKey(watch.outcomes.at(i).source), i);
    const auto correct = [&](const FileOutcome &outcome) {
        const auto found = index.constFind(pathKey(outcome.source));
        if (found == index.constEnd())
            return;
        FileOutcome &known = watch.outcomes[*found];
        if (known.result == outcome.result && known.target == outcome.target)
            return;
        const qint64 ms = known.ms;
        const QSize sourceSize = known.sourceSize;
        known = outcome;
        known.ms = ms;
        known.sourceSize = sourceSize;
    };
    for (const ConversionFailure &failure : thread->failures())
        correct({ failure.source, failure.target, FileOutcome::Failed, failure.reason });
    // A file written without some of its metadata is converted; the reason says what it lacks.
    for (const ConversionFailure &note : thread->notes()) {
        const auto found = index.constFind(pathKey(note.source));
        if (found != index.constEnd() && watch.outcomes.at(*found).result == FileOutcome::Converted)
            watch.outcomes[*found].reason = note.reason;
    }
    for (int i = 0; i < thread->fileSourceList.size() && i < thread->fileExistsList.size(); ++i)
        correct({ thread->fileSourceList.at(i), thread->fileExistsList.at(i), FileOutcome::Skipped,
            QStringLiteral("target exists") });
    // A file the job never reached (it stopped early) is not claimed as converted.
    for (qsizetype i = watch.outcomes.size(); i < job.sources.size(); ++i)
        watch.outcomes.append(
            { job.sources.at(i), QString(), FileOutcome::Failed, QStringLiteral("not reached") });
    return watch.outcomes;
}

QList<FileOutcome> allSkipped(const BatchPlan::Job &job, const QString &target, bool asked)
{
    QList<FileOutcome> outcomes;
    for (const QString &source : job.sources) {
        FileOutcome outcome { source, target, FileOutcome::Skipped, QStringLiteral("target exists"), asked };
        outcome.sourceSize = QImageReader(source).size();
        outcomes.append(outcome);
    }
    return outcomes;
}

} // namespace

int BatchPlan::sourceCount() const
{
    int count = 0;
    for (const Job &job : jobs)
        count += int(job.sources.size());
    return count;
}

BatchPlan planBatch(const CliRequest &request)
{
    Planner planner(request);
    for (const QString &input : request.inputs)
        planner.addInput(input);
    // The camera's JPEG of a shot whose RAW is converted too is left out when asked, as the
    // window leaves it out; a PDF takes every picture.
    if (request.options.convertOnlyRawOfPairs && !isPdfJob(request)) {
        for (BatchPlan::Job &job : planner.plan.jobs)
            job.sources = RawPairs::withoutPairedJpegs(job.sources);
    }
    return planner.plan;
}

QList<FileOutcome> runBatch(const CliRequest &request, const BatchPlan &plan,
    const std::function<void(const FileOutcome &outcome, int done, int total)> &fileDone)
{
    const bool pdf = isPdfJob(request);
    const QString extension = targetFormatAt(request.options.targeFileType).extension;
    const QString outputFolder = QFileInfo(request.outputFolder).absoluteFilePath();
    updateOptions([&](ConversionOptions &o) {
        o = request.options;
        o.outputFolder = outputFolder;
        if (pdf)
            o.pdfFileName = pdfDocumentName(request);
    });

    const int total = plan.sourceCount() + int(plan.unusable.size());
    int done = 0;
    const auto tell = [&](const FileOutcome &outcome) {
        ++done;
        if (fileDone)
            fileDone(outcome, done, total);
    };
    QList<FileOutcome> outcomes;
    for (const FileOutcome &outcome : plan.unusable) {
        outcomes.append(outcome);
        tell(outcome);
    }
    for (const BatchPlan::Job &job : plan.jobs) {
        QDir().mkpath(pdf ? outputFolder : job.targetFolder);
        if (pdf) {
            const QString document = normalPath(outputFolder + QLatin1Char('/') + pdfDocumentName(request));
            const QFileInfo existing(document);
            const bool exists = existing.exists() || existing.isSymLink();
            if (exists && !request.overwrite) {
                const QList<FileOutcome> skipped
                    = allSkipped(job, document, request.options.targetExistsAction == TargetNaming::Skip);
                for (const FileOutcome &outcome : skipped)
                    tell(outcome);
                outcomes += skipped;
            } else {
                outcomes += runJob(request, { document, job.sources }, extension, tell);
            }
        } else {
            outcomes += runJob(request, job, extension, tell);
        }
    }
    return outcomes;
}
