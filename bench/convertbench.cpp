// Runs a real conversion job over a folder of images and prints wall time per image, CPU time
// and peak memory. usage: pictomat_bench_convert FOLDER FORMAT [PERCENT] [OUTDIR]
#include "convert/conversionoptions.h"
#include "convert/convertimagesthread.h"
#include "convert/outputformats.h"
#include "imaging/renderpipeline.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>

#include <sys/resource.h>

namespace {

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long peakKilobytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

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
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
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

    const double cpuBefore = cpuSeconds();
    QElapsedTimer timer;
    timer.start();
    job->start();
    job->wait();
    const double wall = timer.nsecsElapsed() / 1e9;
    const double cpu = cpuSeconds() - cpuBefore;
    const int failed = job->failures().size();
    delete job;

    const int n = sources.size();
    out << "images: " << n << "  failed: " << failed << "\n";
    out << "wall s/image: " << (n ? wall / n : 0.0) << "  total wall s: " << wall << "\n";
    out << "cpu s/image: " << (n ? cpu / n : 0.0) << "  total cpu s: " << cpu << "\n";
    out << "peak memory MB: " << peakKilobytes() / 1024.0 << "\n";
    return failed ? 1 : 0;
}
