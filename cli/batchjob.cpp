// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/batchjob.h"

#include "common/filesystemnames.h"
#include "common/pathcompare.h"
#include "convert/convertimagesthread.h"
#include "convert/outputformats.h"
#include "convert/targetnaming.h"
#include "filelist/folderscan.h"
#include "imaging/failurereasons.h"
#include "imaging/renderpipeline.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QHash>
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

// Runs one job to its end; the thread's signals reach `progress` on this thread.
QList<FileOutcome> runJob(const CliRequest &request, const BatchPlan::Job &job, const QString &extension,
    const std::function<void(int)> &started)
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
    QEventLoop loop;
    int count = 0;
    QHash<QString, FileOutcome> bySource;
    QObject::connect(thread.get(), &ConvertImagesThread::updateFileName, &loop, [&] { started(++count); });
    QObject::connect(thread.get(), &ConvertImagesThread::fileSkipped, &loop,
        [&](const QString &source, const QString &target) {
            bySource.insert(pathKey(source),
                { source, normalPath(target), FileOutcome::Skipped, QStringLiteral("target exists"), true });
        });
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    loop.exec();
    thread->wait();

    for (const ConversionFailure &failure : thread->failures())
        bySource.insert(
            pathKey(failure.source), { failure.source, failure.target, FileOutcome::Failed, failure.reason });
    for (int i = 0; i < thread->fileSourceList.size() && i < thread->fileExistsList.size(); ++i)
        bySource.insert(pathKey(thread->fileSourceList.at(i)),
            { thread->fileSourceList.at(i), thread->fileExistsList.at(i), FileOutcome::Skipped,
                QStringLiteral("target exists") });

    QList<FileOutcome> outcomes;
    for (qsizetype i = 0; i < job.sources.size(); ++i) {
        const QString &source = job.sources.at(i);
        const auto found = bySource.constFind(pathKey(source));
        if (found != bySource.constEnd()) {
            outcomes.append(*found);
        } else {
            const QString target = pdf ? job.targetFolder : thread->targetPaths.at(i);
            outcomes.append({ source, normalPath(target), FileOutcome::Converted, QString() });
        }
    }
    return outcomes;
}

QList<FileOutcome> allSkipped(const BatchPlan::Job &job, const QString &target, bool asked)
{
    QList<FileOutcome> outcomes;
    for (const QString &source : job.sources)
        outcomes.append({ source, target, FileOutcome::Skipped, QStringLiteral("target exists"), asked });
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
    return planner.plan;
}

QList<FileOutcome> runBatch(const CliRequest &request, const BatchPlan &plan,
    const std::function<void(int done, int total)> &progress)
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

    QList<FileOutcome> outcomes = plan.unusable;
    const int total = plan.sourceCount();
    int done = 0;
    for (const BatchPlan::Job &job : plan.jobs) {
        const auto started = [&](int count) {
            if (progress)
                progress(done + count - 1, total);
        };
        QDir().mkpath(pdf ? outputFolder : job.targetFolder);
        if (pdf) {
            const QString document = normalPath(outputFolder + QLatin1Char('/') + pdfDocumentName(request));
            const QFileInfo existing(document);
            const bool exists = existing.exists() || existing.isSymLink();
            outcomes += exists && !request.overwrite
                ? allSkipped(job, document, request.options.targetExistsAction == TargetNaming::Skip)
                : runJob(request, { document, job.sources }, extension, started);
        } else {
            outcomes += runJob(request, job, extension, started);
        }
        done += int(job.sources.size());
        if (progress)
            progress(done, total);
    }
    return outcomes;
}
