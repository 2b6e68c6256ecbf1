// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Drops a folder of small images onto a shown file list and prints how long until every row is
// listed (goal: 3 s for 10,000 files) and until every icon is made, and the longest pause of the
// GUI thread meanwhile. usage: pictomat_bench_filelist [COUNT]
#include "benchreport.h"
#include "filelist/addurlscontroller.h"
#include "filelist/convertimagetreeview.h"
#include "filelist/filelistmodel.h"
#include "plugins/imageformats/common/decodelimits.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <algorithm>

namespace {

bool writeImages(const QString &folder, int count)
{
    QImage image(24, 16, QImage::Format_RGB32);
    image.fill(QColor(90, 140, 60));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return false;
    for (int i = 0; i < count; ++i) {
        QFile file(QString("%1/photo%2.png").arg(folder).arg(i, 5, 10, QLatin1Char('0')));
        if (!file.open(QIODevice::WriteOnly) || file.write(png) != png.size())
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv(
        "QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    qputenv("QT_LOGGING_RULES", "default.debug=false");
    QApplication app(argc, argv);
    QImageReader::setAllocationLimit(DecodeLimits::AllocationLimitMB);
    QTextStream out(stdout);
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10000;
    constexpr qint64 goalMs = 3000;

    QTemporaryDir dir;
    const QString folder = dir.filePath("drop");
    if (!dir.isValid() || !QDir().mkpath(folder) || !writeImages(folder, count)) {
        out << "cannot write the test images\n";
        return 2;
    }

    FileListModel model;
    ConvertImageTreeView view;
    view.setModel(&model);
    view.resize(420, 900);
    view.show();
    AddUrlsController controller(&model);

    QElapsedTimer clock;
    qint64 rowsMs = -1;
    qint64 iconsMs = -1;
    qint64 longestPauseMs = 0;
    qint64 lastTick = 0;
    int rowsAtFinish = 0;

    // Ticks every 10 ms while the list fills; a late tick is a pause the user would see.
    QTimer probe;
    probe.setInterval(10);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longestPauseMs = std::max(longestPauseMs, now - lastTick);
        lastTick = now;
        view.viewport()->repaint();
    });
    QObject::connect(&controller, &AddUrlsController::addUrlsFinish, [&] {
        rowsMs = clock.elapsed();
        rowsAtFinish = model.rowCount();
    });
    QObject::connect(&controller, &AddUrlsController::addUrlsThreadDestroy, [&] {
        iconsMs = clock.elapsed();
        app.quit();
    });

    const BenchReport report;
    clock.start();
    probe.start();
    controller.startAddUrls({ QUrl::fromLocalFile(folder) });
    app.exec();

    int captioned = 0;
    for (int row = 0; row < model.rowCount(); ++row)
        captioned += model.item(row)->text().contains(QLatin1Char('\n')) ? 1 : 0;

    out << "files dropped:      " << count << "\n";
    out << "rows listed:        " << rowsAtFinish << " in " << rowsMs << " ms (goal " << goalMs << " ms)\n";
    out << "icons done:         " << captioned << " in " << iconsMs << " ms\n";
    out << "longest GUI pause:  " << longestPauseMs << " ms\n";
    report.print(out, count, count - captioned);
    const bool met = rowsAtFinish == count && captioned == count && rowsMs <= goalMs;
    out << (met ? "goal met\n" : "goal missed\n");
    return met ? 0 : 1;
}
