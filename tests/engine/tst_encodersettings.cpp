// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/imagewriter.h"
#include "testsupport.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <utility>

namespace {

// The setting a table row turns: a quality or compression level, or a "Lossless" switch.
using Level = int EncoderSettings::*;
using Switch = bool EncoderSettings::*;

// A row per format: its suffix, and the setting of that format the test turns.
template <typename Setting> void addFormatRows(std::initializer_list<std::pair<const char *, Setting>> rows)
{
    QTest::addColumn<QString>("ext");
    QTest::addColumn<Setting>("setting");
    for (const auto &[ext, setting] : rows)
        QTest::newRow(ext) << QString::fromLatin1(ext) << setting;
}

// Flat areas and a soft photo part, so that both dictionary and entropy coders have work.
QImage mixedPicture(bool alpha)
{
    QImage image = TestSupport::makePhotoLike(160, 120, alpha);
    QPainter painter(&image);
    painter.fillRect(0, 0, 80, 60, QColor(30, 120, 200, alpha ? 128 : 255));
    painter.fillRect(80, 60, 80, 60, Qt::white);
    return image;
}

} // namespace

Q_DECLARE_METATYPE(Level)
Q_DECLARE_METATYPE(Switch)

class TestEncoderSettings : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;

    qint64 write(const QImage &image, const QString &name, const EncoderSettings &settings)
    {
        QString error;
        if (!writeImageFile(image, dir.filePath(name), settings, &error))
            qWarning().noquote() << name << error;
        return QFileInfo(dir.filePath(name)).size();
    }

private Q_SLOTS:
    void qualityGrowsTheFile_data()
    {
        addFormatRows<Level>(
            { { "webp", &EncoderSettings::webpQuality }, { "avif", &EncoderSettings::avifQuality },
                { "heic", &EncoderSettings::heicQuality }, { "heif", &EncoderSettings::heifQuality },
                { "jxl", &EncoderSettings::jxlQuality }, { "jpg", &EncoderSettings::jpgQuality } });
    }

    // Higher quality: a larger file that comes back closer to the source.
    void qualityGrowsTheFile()
    {
        QFETCH(QString, ext);
        QFETCH(Level, setting);
        const QImage source = mixedPicture(false);
        qint64 lastSize = 0;
        double lastPsnr = 0;
        for (const int value : { 0, 30, 60, 90, 99 }) {
            EncoderSettings settings;
            settings.*setting = value;
            const QString name = QString("q%1.%2").arg(value).arg(ext);
            const qint64 size = write(source, name, settings);
            QImage back(dir.filePath(name));
            QVERIFY2(!back.isNull(), qPrintable(name));
            QCOMPARE(back.size(), source.size());
            const double psnr = TestSupport::psnr(source, back.convertToFormat(QImage::Format_RGB32));
            QVERIFY2(size > lastSize,
                qPrintable(QString("%1: %2 bytes after %3").arg(name).arg(size).arg(lastSize)));
            QVERIFY2(psnr > lastPsnr - 0.1,
                qPrintable(QString("%1: %2 dB after %3").arg(name).arg(psnr).arg(lastPsnr)));
            lastSize = size;
            lastPsnr = psnr;
        }
    }

    void losslessIsExact_data()
    {
        addFormatRows<Switch>({ { "webp", &EncoderSettings::webpLossless },
            { "avif", &EncoderSettings::avifLossless }, { "jxl", &EncoderSettings::jxlLossless } });
    }

    void losslessIsExact()
    {
        QFETCH(QString, ext);
        QFETCH(Switch, setting);
        const QImage source = mixedPicture(false);
        EncoderSettings settings;
        settings.*setting = true;
        write(source, "lossless." + ext, settings);
        const QImage back(dir.filePath("lossless." + ext));
        QCOMPARE(back.size(), source.size());
        QCOMPARE(TestSupport::psnr(source, back), std::numeric_limits<double>::infinity());
    }

    void compressionKeepsThePixels_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("alpha");
        QTest::addColumn<qint64>("largestSize");
        // 160 x 120 x 3 bytes uncompressed, plus headers.
        QTest::newRow("png 0") << "png" << 0 << false << qint64(58000);
        QTest::newRow("png 9") << "png" << 9 << false << qint64(40000);
        QTest::newRow("png 9 alpha") << "png" << 9 << true << qint64(60000);
        QTest::newRow("tiff none") << "tiff" << 0 << false << qint64(58000);
        QTest::newRow("tiff lzw") << "tiff" << 1 << false << qint64(50000);
        QTest::newRow("tiff deflate") << "tiff" << 2 << false << qint64(30000);
        QTest::newRow("tiff deflate alpha") << "tiff" << 2 << true << qint64(42000);
        QTest::newRow("tiff deflate 1x1") << "tiff" << 2 << true << qint64(400);
    }

    void compressionKeepsThePixels()
    {
        QFETCH(QString, ext);
        QFETCH(int, value);
        QFETCH(bool, alpha);
        QFETCH(qint64, largestSize);
        const QImage source = QString(QTest::currentDataTag()).endsWith("1x1")
            ? mixedPicture(alpha).copy(90, 70, 1, 1)
            : mixedPicture(alpha);
        EncoderSettings settings;
        settings.*(ext == "png" ? &EncoderSettings::pngCompression : &EncoderSettings::tiffCompression)
            = value;
        const qint64 size = write(source, "c." + ext, settings);
        QVERIFY2(size > 0 && size <= largestSize, qPrintable(QString::number(size)));
        QImageReader reader(dir.filePath("c." + ext));
        const QImage back = reader.read();
        QVERIFY2(!back.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(back.hasAlphaChannel(), alpha);
        // Half-transparent pixels may round once where a reader premultiplies them.
        const double psnr = TestSupport::psnr(source, back);
        QVERIFY2(alpha ? psnr > 45 : std::isinf(psnr), qPrintable(QString::number(psnr)));
    }

    void backgroundUnderTransparency_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<QColor>("background");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("jpg default white") << "jpg" << QColor() << QColor(Qt::white);
        QTest::newRow("jpg red") << "jpg" << QColor(Qt::red) << QColor(Qt::red);
        QTest::newRow("jpg dark blue") << "jpg" << QColor(10, 20, 120) << QColor(10, 20, 120);
        // PNG keeps the transparency: the background is not drawn.
        QTest::newRow("png keeps alpha") << "png" << QColor(Qt::red) << QColor(0, 0, 0, 0);
    }

    void backgroundUnderTransparency()
    {
        QFETCH(QString, ext);
        QFETCH(QColor, background);
        QFETCH(QColor, expected);
        QImage source = TestSupport::filledImage(QSize(64, 64), Qt::transparent, QImage::Format_ARGB32);
        source.setPixelColor(0, 0, Qt::green);
        EncoderSettings settings;
        if (background.isValid())
            settings.background = background;
        write(source, "bg." + ext, settings);
        const QImage back = QImage(dir.filePath("bg." + ext)).convertToFormat(QImage::Format_ARGB32);
        QVERIFY(!back.isNull());
        const QColor pixel = back.pixelColor(40, 40);
        QVERIFY2(qAbs(pixel.red() - expected.red()) <= 2 && qAbs(pixel.green() - expected.green()) <= 2
                && qAbs(pixel.blue() - expected.blue()) <= 2 && pixel.alpha() == expected.alpha(),
            qPrintable(pixel.name(QColor::HexArgb)));
    }

    void independentReaderTakesDeflateTiff()
    {
        if (!TestSupport::haveTool("tiffinfo"))
            QSKIP("tiffinfo (libtiff-tools) is not installed");
        EncoderSettings settings;
        settings.tiffCompression = EncoderSettings::TiffDeflate;
        write(mixedPicture(true), "check.tiff", settings);
        QByteArray output;
        QCOMPARE(TestSupport::runTool("tiffinfo", { "-D", dir.filePath("check.tiff") }, &output), 0);
        QVERIFY2(output.contains("AdobeDeflate") && !output.contains("rror"), output.constData());
    }
};

QTEST_MAIN(TestEncoderSettings)
#include "tst_encodersettings.moc"
