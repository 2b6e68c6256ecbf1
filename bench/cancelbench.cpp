// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

// How fast a job stops: FILES photo-like pictures of 24 megapixels (6000x4000 JPEG, made here)
// converted to AVIF, cancelled from the GUI thread as the Cancel button does, the moment the
// first file is done (the job announces the second). Prints the time from the cancel to the
// job's end and from the first file's completion to the end, judged against 1 s, and which
// targets were written. The file at its turn when the cancel comes still finishes; files ahead of
// their turn stop before their encoder, which cannot be interrupted once running.
// usage: pictomat_bench_cancel [FILES] [ROUNDS]   (defaults 7 and 3)
#include "benchscene.h"
#include "common/processmemory.h"
#include "convert/conversionoptions.h"
#include "convert/convertimagesthread.h"
#include "convert/outputformats.h"
#include "plugins/imageformats/common/decodelimits.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <vector>

namespace {

// AVIF's place in the target list.
constexpr int AvifTargetPosition = 0;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    shareOneMallocArena();
    qputenv(
        "QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    QImageReader::setAllocationLimit(DecodeLimits::AllocationLimitMB);
    QTextStream out(stdout);
    const int files = argc > 1 ? qMax(2, QString::fromLocal8Bit(argv[1]).toInt()) : 7;
    const int rounds = argc > 2 ? qMax(1, QString::fromLocal8Bit(argv[2]).toInt()) : 3;
    qSetMessagePattern(QStringLiteral("%{if-critical}%{message}%{endif}%{if-warning}%{message}%{endif}"));

    QTemporaryDir dir;
    QStringList sources;
    for (int i = 0; i < files; ++i) {
        sources.append(dir.filePath(QStringLiteral("photo%1.jpg").arg(i)));
        if (!makeScene(6000, 4000, i).save(sources.last(), "JPEG", 92)) {
            out << "cannot write " << sources.last() << "\n";
            return 1;
        }
    }
    out << "sources: " << files << " pictures of 6000x4000 (JPEG), target AVIF\n";
    out.flush();

    std::vector<double> fromCancel, fromFirst, wholeJob;
    for (int round = 0; round < rounds; ++round) {
        const QString target = dir.filePath(QStringLiteral("out%1").arg(round));
        QDir().mkpath(target);
        updateOptions([&](ConversionOptions &o) {
            o.targeFileType = AvifTargetPosition;
            o.outputFolder = target;
        });
        auto *job = new ConvertImagesThread;
        job->_urls = sources;
        job->targetFolder = target;
        job->targetExt = targetFormatAt(AvifTargetPosition).extension;

        QElapsedTimer clock;
        std::atomic<qint64> firstDone { -1 };
        qint64 cancelled = -1, ended = -1;
        // On the job's thread: the second file's announcement comes once the first is done.
        QObject::connect(
            job, &ConvertImagesThread::updateFileName, job,
            [&, job](const QString &source) {
                if (source == sources.at(1))
                    firstDone = clock.nsecsElapsed();
            },
            Qt::DirectConnection);
        // On the GUI thread, as the Cancel button sets the flag.
        QObject::connect(job, &ConvertImagesThread::updateFileName, &app, [&, job](const QString &source) {
            if (source == sources.at(1) && cancelled < 0) {
                cancelled = clock.nsecsElapsed();
                job->stopRequested = true;
            }
        });
        QObject::connect(job, &QThread::finished, &app, [&] {
            ended = clock.nsecsElapsed();
            app.quit();
        });
        clock.start();
        job->start();
        app.exec();
        job->wait();
        delete job;

        const QStringList written = QDir(target).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        if (cancelled < 0) {
            out << "round " << round + 1 << ": the job ended before the cancel\n";
            return 1;
        }
        fromCancel.push_back((ended - cancelled) / 1e9);
        fromFirst.push_back((ended - firstDone) / 1e9);
        wholeJob.push_back(ended / 1e9);
        out << "round " << round + 1 << ": first file done " << firstDone / 1e9 << " s, cancel "
            << cancelled / 1e9 << " s, end " << ended / 1e9
            << " s; written: " << written.join(QLatin1Char(' ')) << "\n";
        out.flush();
    }
    const double cancelToEnd = median(fromCancel), firstToEnd = median(fromFirst);
    out << "rounds: " << rounds << " (medians)\n";
    out << "cancel to end: " << cancelToEnd << " s  (goal <= 1 s: " << (cancelToEnd <= 1.0 ? "met" : "missed")
        << ")\n";
    out << "first file done to end: " << firstToEnd
        << " s  (goal <= 1 s: " << (firstToEnd <= 1.0 ? "met" : "missed") << ")\n";
    out << "job start to end: " << median(wholeJob) << " s\n";
    return 0;
}
