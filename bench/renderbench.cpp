// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Times the render pipeline against a plain load of the same files, with the options as they
// are (none set unless given), to show what the pipeline adds beyond decoding.
// usage: pictomat_bench_render FOLDER [ROUNDS]
#include "imaging/renderpipeline.h"
#include "plugins/imageformats/common/decodelimits.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImageReader>
#include <QTextStream>

int main(int argc, char *argv[])
{
    qputenv(
        "QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    QImageReader::setAllocationLimit(DecodeLimits::AllocationLimitMB);
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        out << "usage: pictomat_bench_render FOLDER [ROUNDS]\n";
        return 2;
    }
    const int rounds = args.size() > 2 ? qMax(1, args.at(2).toInt()) : 5;
    qSetMessagePattern(QStringLiteral("%{if-critical}%{message}%{endif}%{if-warning}%{message}%{endif}"));

    QStringList sources;
    const QFileInfoList entries = QDir(args.at(1)).entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo &entry : entries) {
        if (isSupportedImageFile(entry.absoluteFilePath()))
            sources.append(entry.absoluteFilePath());
    }

    for (const QString &source : sources) {
        double load = 0;
        double render = 0;
        double cached = 0;
        QSize size;
        for (int round = 0; round < rounds; ++round) {
            QElapsedTimer timer;
            timer.start();
            QImage loaded;
            ImageMagickUtil::loadImage(source, &loaded);
            load += timer.nsecsElapsed() / 1e6;
            size = loaded.size();

            clearLoadCache();
            timer.restart();
            const QImage rendered = renderImage(source, false);
            render += timer.nsecsElapsed() / 1e6;

            timer.restart();
            const QImage again = renderImage(source, false);
            cached += timer.nsecsElapsed() / 1e6;
            if (rendered.isNull() || again.isNull())
                out << "render failed: " << source << "\n";
        }
        out << QFileInfo(source).fileName() << " " << size.width() << "x" << size.height()
            << "  load ms: " << load / rounds << "  render ms: " << render / rounds
            << "  render (cached load) ms: " << cached / rounds << "\n";
    }
    return 0;
}
