// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Runs a real conversion job over a folder of images and prints wall time per image, CPU time
// and peak memory. usage: pictomat_bench_convert FOLDER FORMAT [PERCENT] [OUTDIR]
#include "benchreport.h"
#include "common/processmemory.h"
#include "convert/conversionoptions.h"
#include "convert/convertimagesthread.h"
#include "convert/outputformats.h"
#include "imaging/memorybudget.h"
#include "imaging/renderpipeline.h"
#include "plugins/imageformats/common/decodelimits.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

int formatPosition(const QString &name)
{
    for (const TargetFormat &format : targetFormats()) {
        if (format.text.compare(name, Qt::CaseInsensitive) == 0
            || format.extension.mid(1).compare(name, Qt::CaseInsensitive) == 0)
            return format.position;
    }
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    // As the program's main() does.
    shareOneMallocArena();
    qputenv(
        "QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    QImageReader::setAllocationLimit(DecodeLimits::AllocationLimitMB);
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        out << "usage: pictomat_bench_convert FOLDER FORMAT [PERCENT] [OUTDIR]\n";
        return 2;
    }
    const int position = formatPosition(args.at(2));
    if (position < 0) {
        out << "unknown format " << args.at(2) << "\n";
        return 2;
    }
    qSetMessagePattern(QStringLiteral("%{if-critical}%{message}%{endif}%{if-warning}%{message}%{endif}"));

    QDir folder(args.at(1));
    QStringList sources;
    const QFileInfoList entries = folder.entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo &entry : entries) {
        if (isSupportedImageFile(entry.absoluteFilePath()))
            sources.append(QDir::toNativeSeparators(entry.absoluteFilePath()));
    }

    QTemporaryDir tempOut;
    const QString outDir = args.size() > 4 ? args.at(4) : tempOut.path();
    QDir().mkpath(outDir);
    updateOptions([&](ConversionOptions &o) {
        o.targeFileType = position;
        o.outputFolder = outDir;
        // KEEP_METADATA=0 turns "Keep metadata" off, for bench/metadata-cost.
        o.keepMetadata = qEnvironmentVariable("KEEP_METADATA") != QLatin1String("0");
        if (args.size() > 3 && args.at(3).toInt() != 100) {
            o.scaleImage = true;
            o.scaleType = 0;
            o.scalePercentage = args.at(3).toInt();
        }
    });

    auto *job = new ConvertImagesThread;
    job->_urls = sources;
    job->targetFolder = outDir;
    job->targetExt = targetFormatAt(position).extension;
    job->overwriteExisting = true;
    if (position == PdfTargetPosition)
        job->targetFolder = outDir + QStringLiteral("/bench.pdf");

    // What the job will let its files in flight hold, for bench/compare's batch table.
    const qint64 budget = MemoryBudget::jobBytes();
    out << "job memory budget MB: " << (budget < 0 ? -1.0 : budget / 1048576.0) << "\n";
    const BenchReport report;
    job->start();
    job->wait();
    const int failed = job->failures().size();
    delete job;
    report.print(out, sources.size(), failed);
    return failed ? 1 : 0;
}
