// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Live preview latency on the main form: from loadImage to the image reaching the preview label,
// debounce included, for a 24-megapixel photo in each format asked for (jpg by default; any
// suffix our writers take, comma-separated). Three cases: first view, cached view (thumbnail),
// and an option change with three adjustment rules set.
// usage: pictomat_bench_preview [ROUNDS] [FORMATS]   e.g. pictomat_bench_preview 3 jpg,heic,jxl,png

#include "common/processmemory.h"
#include "convert/conversionoptions.h"
#include "filelist/thumbnailcache.h"
#include "form/convertimageform.h"
#include "plugins/imageformats/common/decodelimits.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QtMath>
#include <algorithm>
#include <cstdio>

namespace {

void quietDebug(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

// Smooth gradients and waves with some fine detail, so the JPEG decoder has real work.
QImage makePhoto(int width, int height, int seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int r = (x * 255 / width + seed * 40) & 0xff;
            const int g = (y * 255 / height) & 0xff;
            const int b = int(127 + 120 * qSin((x + y + seed) * 0.01)) ^ ((x * y) & 0x0f);
            line[x] = qRgb(r, g, b & 0xff);
        }
    }
    return image;
}

// Milliseconds from the request until the label shows a new pixmap.
double measure(ConvertImageForm &form, QLabel *label, const QString &path, bool reload)
{
    const qint64 before = label->pixmap().cacheKey();
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        // The request itself clears the label; only a new image counts.
        const QPixmap shown = label->pixmap();
        if (!shown.isNull() && shown.cacheKey() != before)
            loop.quit();
    });
    QElapsedTimer timer;
    timer.start();
    form.loadImage(path, reload);
    poll.start(1);
    loop.exec();
    return timer.nsecsElapsed() / 1e6;
}

void setThreeRules(int round)
{
    updateOptions([round](ConversionOptions &o) {
        o.ruleList.clear();
        const int kinds[] = { AdjustRule::Contrast, AdjustRule::Brightness, AdjustRule::Gamma };
        const int values[] = { 30 + round, 20 + round, 1200 + round };
        for (int i = 0; i < 3; ++i) {
            AdjustRule rule;
            rule.ruleId = i;
            rule.ruleIndex = kinds[i];
            rule.values[0] = values[i];
            o.ruleList.append(rule);
        }
    });
}

QString summary(QList<double> ms)
{
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double v : std::as_const(ms))
        sum += v;
    return QStringLiteral("median %1 ms  min %2 ms  max %3 ms  mean %4 ms")
        .arg(ms.at(ms.size() / 2), 0, 'f', 1)
        .arg(ms.constFirst(), 0, 'f', 1)
        .arg(ms.constLast(), 0, 'f', 1)
        .arg(sum / ms.size(), 0, 'f', 1);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    // The allocator as the program sets it up.
    shareOneMallocArena();
    QApplication app(argc, argv);
    QImageReader::setAllocationLimit(DecodeLimits::AllocationLimitMB);
    qInstallMessageHandler(quietDebug);
    QTextStream out(stdout);

    const int rounds = argc > 1 ? qMax(1, QString::fromLocal8Bit(argv[1]).toInt()) : 3;
    const QStringList formats = QString::fromLocal8Bit(argc > 2 ? argv[2] : "jpg").split(QLatin1Char(','));
    QTemporaryDir dir;
    ConvertImageForm form;
    form.show();
    auto *label = form.findChild<QLabel *>(QStringLiteral("previewImage"));

    for (const QString &format : formats) {
        QStringList photos;
        for (int i = 0; i < rounds; ++i) {
            const QString path
                = QDir::toNativeSeparators(dir.filePath(QStringLiteral("photo%1.%2").arg(i).arg(format)));
            // The JPEG quality; the other writers keep their defaults.
            if (!makePhoto(6000, 4000, i).save(path, nullptr, format == QLatin1String("jpg") ? 90 : -1)) {
                out << "cannot write " << path << "\n";
                return 1;
            }
            photos.append(path);
        }

        QList<double> first, cached, optionChange;
        for (int i = 0; i < rounds; ++i) {
            updateOptions([](ConversionOptions &o) { o.ruleList.clear(); });
            first.append(measure(form, label, photos.at(i), false));
            cached.append(measure(form, label, photos.at(i), false));
            setThreeRules(i);
            optionChange.append(measure(form, label, photos.at(i), true));
        }

        out << "preview latency, 6000x4000 " << format.toUpper() << ", " << rounds
            << " rounds, debounce included\n";
        out << "first view:                  " << summary(first) << "\n";
        out << "cached view (thumbnail):     " << summary(cached) << "\n";
        out << "option change, three rules:  " << summary(optionChange) << "\n";
        out.flush();
    }
    return 0;
}
