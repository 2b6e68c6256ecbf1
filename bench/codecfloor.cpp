// The codec floor of a conversion: each image read with QImageReader (auto-transform on) and
// written with QImageWriter with the settings the program uses, nothing in between.
// usage: pictomat_bench_floor FOLDER FORMAT OUTDIR [QUALITY]
#include "benchreport.h"

#include <QDir>
#include <QCoreApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        out << "usage: pictomat_bench_floor FOLDER FORMAT OUTDIR [QUALITY]\n";
        return 2;
    }
    const QByteArray format = args.at(2).toLower().toLatin1();
    const int quality = args.size() > 4 ? args.at(4).toInt() : (format == "jpg" ? 95 : -1);
    QImageReader::setAllocationLimit(256);
    QDir().mkpath(args.at(3));

    const QFileInfoList entries = QDir(args.at(1)).entryInfoList(QDir::Files, QDir::Name);
    BenchReport report;
    int failed = 0;
    for (const QFileInfo &entry : entries) {
        QImageReader reader(entry.absoluteFilePath());
        reader.setAutoTransform(true);
        const QImage image = reader.read();
        QImageWriter writer(args.at(3) + QLatin1Char('/') + entry.completeBaseName() + QLatin1Char('.') + format);
        writer.setQuality(quality);
        writer.setOptimizedWrite(true);
        writer.setProgressiveScanWrite(true);
        if (image.isNull() || !writer.write(image))
            ++failed;
    }
    report.print(out, entries.size(), failed);
    return failed ? 1 : 0;
}
