// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The codec floor of a conversion: each image read with QImageReader (auto-transform on) and
// written with QImageWriter with the settings the program uses, nothing in between.
// usage: pictomat_bench_floor FOLDER FORMAT OUTDIR [QUALITY] [PERCENT]
//
// With a PERCENT other than 100 the image is scaled as the program scales it, so that the writer
// encodes an image of the output size, but the scaling is timed on its own and printed as
// "excluded": the floor of a scaled conversion is decoding the source plus encoding the output.
// The process's CPU time is taken, because the toolkit's scaler may run on its thread pool.
#include "benchreport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QTextStream>

int main(int argc, char *argv[])
{
    // A GUI application, as the program is: the default resolution written into JPEG and PNG
    // headers comes from the screen, so the output bytes then match the program's.
    qputenv(
        "QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        out << "usage: pictomat_bench_floor FOLDER FORMAT OUTDIR [QUALITY] [PERCENT]\n";
        return 2;
    }
    const QByteArray format = args.at(2).toLower().toLatin1();
    const int quality
        = args.size() > 4 && args.at(4).toInt() >= 0 ? args.at(4).toInt() : (format == "jpg" ? 95 : -1);
    const int percent = args.size() > 5 ? args.at(5).toInt() : 100;
    QImageReader::setAllocationLimit(256);
    QDir().mkpath(args.at(3));

    const QFileInfoList entries = QDir(args.at(1)).entryInfoList(QDir::Files, QDir::Name);
    BenchReport report;
    qint64 largestBytes = 0;
    qint64 pixels = 0;
    double excludedCpu = 0;
    qint64 excludedNanoseconds = 0;
    int failed = 0;
    for (const QFileInfo &entry : entries) {
        QImageReader reader(entry.absoluteFilePath());
        reader.setAutoTransform(true);
        QImage image = reader.read();
        largestBytes = qMax(largestBytes, image.sizeInBytes());
        pixels += qint64(image.width()) * image.height();
        if (!image.isNull() && percent != 100) {
            const double cpuBefore = BenchReport::cpuSeconds();
            QElapsedTimer timer;
            timer.start();
            const QSize size(
                int(qint64(image.width()) * percent / 100), int(qint64(image.height()) * percent / 100));
            image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            excludedNanoseconds += timer.nsecsElapsed();
            excludedCpu += BenchReport::cpuSeconds() - cpuBefore;
        }
        QImageWriter writer(args.at(3) + QLatin1Char('/') + entry.fileName().section(QLatin1Char('.'), 0, 0)
            + QLatin1Char('.') + format);
        writer.setQuality(quality);
        writer.setOptimizedWrite(true);
        writer.setProgressiveScanWrite(true);
        if (image.isNull() || !writer.write(image))
            ++failed;
    }
    report.print(out, entries.size(), failed);
    out << "largest decoded MB: " << largestBytes / 1048576.0 << "  decoded megapixels: " << pixels / 1e6
        << "\n";
    out << "excluded cpu s: " << excludedCpu << "  excluded wall s: " << excludedNanoseconds / 1e9 << "\n";
    return failed ? 1 : 0;
}
