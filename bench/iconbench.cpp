// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Times the list icons of a big drop: COUNT copies (hard links) of the photographs of a folder,
// each first reduced to 8 megapixels, sides in whole 16-pixel blocks as cameras write them, and
// saved as JPEG (FORMAT jpg, the default), or to 12 megapixels and written as HEIC by heif-enc
// with a 320-pixel thumbnail, as phones write them (FORMAT heic), dropped on the file list.
// Prints how long until every icon is made, the CPU time, the icons' PSNR against a
// whole-picture decode (the icons before reduced decodes) and against the picture itself, and
// that older way's CPU time per icon.
// usage: pictomat_bench_icons PHOTO_FOLDER [COUNT] [jpg|heic]
#include "benchreport.h"
#include "common/processmemory.h"
#include "filelist/addurlscontroller.h"
#include "filelist/filelistmodel.h"
#include "filelist/listicon.h"
#include "plugins/imageformats/common/decodelimits.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <cmath>

namespace {

ListIcon wholeDecodeIcon(const QString &path)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    ListIcon icon;
    icon.sizeStr = QString::number(image.width()) + QLatin1Char('x') + QString::number(image.height());
    icon.image = image.width() > image.height() ? image.scaledToHeight(64, Qt::FastTransformation)
                                                : image.scaledToWidth(64, Qt::FastTransformation);
    return icon;
}

double psnr(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return 0;
    const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            const int d[3] = { qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q) };
            sum += d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
        }
    }
    const double mse = sum / (3.0 * x.width() * x.height());
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

// The photograph reduced to `megapixels` and written as `format` into `folder`; empty on failure.
QString preparePhoto(const QFileInfo &source, const QString &folder, double megapixels, const QString &format)
{
    QImageReader reader(source.absoluteFilePath());
    const QSize size = reader.size();
    const double factor = std::sqrt(megapixels * 1e6 / (double(size.width()) * size.height()));
    // Sides in whole JPEG blocks, as cameras and phones write them (4032x3024, 3264x2448).
    reader.setScaledSize(
        QSize(qRound(size.width() * factor / 16) * 16, qRound(size.height() * factor / 16) * 16));
    const QString jpeg = folder + QLatin1Char('/') + source.completeBaseName() + QStringLiteral(".jpg");
    if (!reader.read().save(jpeg, "JPG", 92))
        return {};
    if (format == QLatin1String("jpg"))
        return jpeg;
    const QString heic = folder + QLatin1Char('/') + source.completeBaseName() + QStringLiteral(".heic");
    const int status = QProcess::execute(QStringLiteral("heif-enc"),
        { QStringLiteral("-q"), QStringLiteral("50"), QStringLiteral("-p"),
            QStringLiteral("preset=ultrafast"), QStringLiteral("-t"), QStringLiteral("320"),
            QStringLiteral("-o"), heic, jpeg });
    QFile::remove(jpeg);
    return status == 0 ? heic : QString();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv(
        "QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    qputenv("QT_LOGGING_RULES", "default.debug=false");
    // The allocator as the program sets it up.
    shareOneMallocArena();
    QApplication app(argc, argv);
    QImageReader::setAllocationLimit(DecodeLimits::AllocationLimitMB);
    QTextStream out(stdout);
    if (argc < 2) {
        out << "usage: pictomat_bench_icons PHOTO_FOLDER [COUNT] [jpg|heic]\n";
        return 2;
    }
    const int count = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 1000;
    const QString format = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("jpg");
    const double megapixels = format == QLatin1String("heic") ? 12 : 8;
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("drop"));
    QDir().mkpath(folder);
    QStringList photos;
    const QFileInfoList sources
        = QDir(QString::fromLocal8Bit(argv[1])).entryInfoList({ "*.jpg" }, QDir::Files, QDir::Name);
    for (const QFileInfo &source : sources) {
        const QString photo = preparePhoto(source, dir.path(), megapixels, format);
        if (!photo.isEmpty())
            photos.append(photo);
    }
    if (photos.isEmpty()) {
        out << "no photographs made from " << argv[1] << "\n";
        return 2;
    }
    for (int i = 0; i < count; ++i) {
        const QString link = QString("%1/photo%2.%3").arg(folder).arg(i, 5, 10, QLatin1Char('0')).arg(format);
        if (!QFile::link(photos.at(i % photos.size()), link)
            && !QFile::copy(photos.at(i % photos.size()), link))
            return 2;
    }

    // The older way, on one copy of each photograph: CPU time per icon and what it looked like.
    // Two nearest-pixel samplings of a textured photo differ wherever they pick neighbouring
    // pixels, so each icon is also measured against the picture itself: the whole decode
    // area-averaged to the icon's size.
    double before = 0, worst = 99, worstOld = 99, worstNew = 99;
    for (const QString &photo : std::as_const(photos)) {
        const double start = BenchReport::cpuSeconds();
        const ListIcon whole = wholeDecodeIcon(photo);
        before += BenchReport::cpuSeconds() - start;
        const ListIcon reduced = makeListIcon(photo);
        const QImage picture = QImageReader(photo).read().scaled(
            whole.image.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        worst = std::min(worst, psnr(whole.image, reduced.image));
        worstOld = std::min(worstOld, psnr(picture, whole.image));
        worstNew = std::min(worstNew, psnr(picture, reduced.image));
        if (whole.sizeStr != reduced.sizeStr)
            out << "caption differs: " << photo << " " << whole.sizeStr << " " << reduced.sizeStr << "\n";
    }

    FileListModel model;
    AddUrlsController controller(&model);
    QElapsedTimer clock;
    qint64 iconsMs = -1, rowsMs = -1;
    QObject::connect(&controller, &AddUrlsController::addUrlsFinish, [&] { rowsMs = clock.elapsed(); });
    QObject::connect(&controller, &AddUrlsController::addUrlsThreadDestroy, [&] {
        iconsMs = clock.elapsed();
        app.quit();
    });
    const double cpuStart = BenchReport::cpuSeconds();
    clock.start();
    controller.startAddUrls({ QUrl::fromLocalFile(folder) });
    app.exec();
    const double cpu = BenchReport::cpuSeconds() - cpuStart;

    out << "files dropped:          " << count << " (" << photos.size() << " " << format << " photographs of "
        << megapixels << " MP)\n";
    out << "rows listed in:         " << rowsMs << " ms\n";
    out << "every icon made in:     " << iconsMs << " ms wall, " << cpu << " cpu s (goal 10 s)\n";
    out << "whole decodes, before:  " << before / photos.size() * 1000 << " cpu ms per icon, "
        << before / photos.size() * count << " cpu s for " << count << "\n";
    out << "lowest icon PSNR:       " << worst << " dB against the whole decode's icon\n";
    out << "against the picture:    " << worstNew << " dB now, " << worstOld
        << " dB the whole decode's icon (lowest; goal >= 30)\n";
    return iconsMs >= 0 && iconsMs <= 10000 && worstNew >= 30 && worstNew >= worstOld ? 0 : 1;
}
