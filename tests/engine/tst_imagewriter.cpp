// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/checkedsavefile.h"
#include "convert/encodersettings.h"
#include "convert/imagewriter.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The picture over white paper, blended in straight alpha.
QImage onWhite(const QImage &image)
{
    QImage flat = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < flat.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(flat.scanLine(y));
        for (int x = 0; x < flat.width(); ++x) {
            const int a = qAlpha(line[x]);
            const auto blend = [a](int c) { return (c * a + 255 * (255 - a) + 127) / 255; };
            line[x] = qRgb(blend(qRed(line[x])), blend(qGreen(line[x])), blend(qBlue(line[x])));
        }
    }
    return flat.convertToFormat(QImage::Format_RGB32);
}

} // namespace

class TestImageWriter : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;

    static bool haveWriter(const QByteArray &format)
    {
        return QImageWriter::supportedImageFormats().contains(format);
    }

    QStringList leftovers() const
    {
        // Anything but the files a test put there on purpose: temporary files of a failed write.
        return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }

private Q_SLOTS:
    void init()
    {
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
    }

    void formatsRoundTrip_data()
    {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<bool>("keepsAlpha");
        QTest::addColumn<double>("minPsnr");
        QTest::newRow("png") << "png" << true << 1000.0;
        // TIFF stores premultiplied alpha, so half-transparent pixels round a little.
        QTest::newRow("tiff") << "tiff" << true << 45.0;
        QTest::newRow("webp") << "webp" << true << 30.0;
        QTest::newRow("jpg") << "jpg" << false << 35.0;
        QTest::newRow("avif") << "avif" << true << 25.0;
        QTest::newRow("heic") << "heic" << true << 25.0;
        QTest::newRow("heif") << "heif" << true << 25.0;
        QTest::newRow("jxl") << "jxl" << true << 25.0;
    }

    void formatsRoundTrip()
    {
        QFETCH(QString, extension);
        QFETCH(bool, keepsAlpha);
        QFETCH(double, minPsnr);
        if (!haveWriter(extension.toLatin1()))
            QSKIP(qPrintable("no image writer for " + extension + " on this machine"));

        const QImage source = TestSupport::makePhotoLike(96, 64, true);
        const QString target = dir.filePath("out." + extension);
        QString error;
        QVERIFY2(writeImageFile(source, target, 95, &error), qPrintable(error));
        QCOMPARE(leftovers(), QStringList { "out." + extension });

        QImageReader reader(target);
        const QImage back = reader.read();
        QVERIFY2(!back.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(back.size(), source.size());
        QCOMPARE(back.hasAlphaChannel(), keepsAlpha);
        if (keepsAlpha)
            QVERIFY(TestSupport::psnr(source, back) >= minPsnr);
        else
            QVERIFY(TestSupport::psnr(onWhite(source), back) >= minPsnr);
    }

    void transparencyTurnsWhiteInJpg_data()
    {
        QTest::addColumn<QImage::Format>("format");
        QTest::newRow("straight alpha") << QImage::Format_ARGB32;
        QTest::newRow("premultiplied alpha") << QImage::Format_ARGB32_Premultiplied;
        QTest::newRow("palette with a transparent entry") << QImage::Format_Indexed8;
    }

    // JPEG holds no alpha; a transparent area is written as the white it shows on paper.
    void transparencyTurnsWhiteInJpg()
    {
        QFETCH(QImage::Format, format);
        QImage source = TestSupport::filledImage(QSize(64, 48), Qt::transparent, QImage::Format_ARGB32);
        for (int y = 16; y < 32; ++y)
            for (int x = 16; x < 48; ++x)
                source.setPixel(x, y, x < 32 ? qRgba(200, 0, 0, 255) : qRgba(0, 0, 200, 128));
        source = source.convertToFormat(format);
        const QString target = dir.filePath("flat.jpg");
        QVERIFY(writeImageFile(source, target, 95));
        const QImage back(target);
        QVERIFY(qGray(back.pixel(2, 2)) > 245);
        const double psnr = TestSupport::psnr(onWhite(source), back);
        QVERIFY2(psnr >= 30.0, qPrintable(QString::number(psnr)));
    }

    void jpgQualityIsApplied()
    {
        const QImage source = TestSupport::makePhotoLike(256, 256);
        QVERIFY(writeImageFile(source, dir.filePath("q0.jpg"), 0));
        QVERIFY(writeImageFile(source, dir.filePath("q99.jpg"), 99));
        const qint64 low = QFileInfo(dir.filePath("q0.jpg")).size();
        const qint64 high = QFileInfo(dir.filePath("q99.jpg")).size();
        QVERIFY2(high > 3 * low, qPrintable(QString("q0 %1 bytes, q99 %2 bytes").arg(low).arg(high)));
        QVERIFY(TestSupport::psnr(source, QImage(dir.filePath("q99.jpg"))) > 35.0);
    }

    void qualityIsIgnoredForOtherFormats()
    {
        const QImage source = TestSupport::makePhotoLike(128, 128);
        QVERIFY(writeImageFile(source, dir.filePath("a.png"), 0));
        QVERIFY(writeImageFile(source, dir.filePath("b.png"), 99));
        QCOMPARE(
            TestSupport::fileDigest(dir.filePath("a.png")), TestSupport::fileDigest(dir.filePath("b.png")));
        QCOMPARE(QImage(dir.filePath("a.png")).convertToFormat(QImage::Format_RGB32), source);
    }

    // A file written while another job (or the user) put one at the target is never replaced
    // unless the write may replace: it fails, or with a rule for the next name takes the first free
    // numbered one. The temporary file has a name of ours and is gone afterwards.
    void placementNeverReplacesUnlessAllowed_data()
    {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<bool>("mayReplace");
        QTest::addColumn<bool>("addNumber");
        QTest::addColumn<QString>("placed"); // empty when the write fails
        for (const char *ext : { "png", "jpg", "webp", "tiff" }) {
            QTest::addRow("%s confirmed overwrite", ext) << ext << true << false << QString("x.") + ext;
            QTest::addRow("%s not overwriting", ext) << ext << false << false << QString();
            QTest::addRow("%s add a number", ext) << ext << false << true << QString("x (3).") + ext;
        }
    }

    void placementNeverReplacesUnlessAllowed()
    {
        QFETCH(QString, extension);
        QFETCH(bool, mayReplace);
        QFETCH(bool, addNumber);
        QFETCH(QString, placed);
        const QString target = dir.path() + "/x." + extension;
        const QString second = dir.path() + "/x (2)." + extension;
        QVERIFY(TestSupport::writeFile(target, "the other job's file"));
        QVERIFY(TestSupport::writeFile(second, "the other job's second file"));
        const auto next = [&](const QString &taken) {
            return taken == target ? second : dir.path() + "/x (3)." + extension;
        };
        QString error;
        bool written;
        {
            const TargetPlacement placement(mayReplace, addNumber ? std::function(next) : nullptr);
            written = writeImageFile(TestSupport::makePhotoLike(20, 10), target, {}, &error);
        }
        QCOMPARE(written, !placed.isEmpty());
        if (!written)
            QVERIFY2(!error.isEmpty(), "no reason given");
        for (const QString &path : { target, second }) {
            if (path != dir.path() + "/" + placed)
                QVERIFY2(TestSupport::readFile(path).startsWith("the other job's"), qPrintable(path));
        }
        QStringList expected = { "x." + extension, "x (2)." + extension };
        if (!placed.isEmpty() && !expected.contains(placed))
            expected.append(placed);
        expected.sort();
        QCOMPARE(leftovers(), expected);
        if (!placed.isEmpty())
            QCOMPARE(QImage(dir.path() + "/" + placed).size(), QSize(20, 10));
    }

    void temporaryNamesAreRecognised_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("ours");
        QTest::newRow("ours") << ".photo.jpg.pictomat-a1B2c3" << true;
        QTest::newRow("not hidden") << "photo.jpg.pictomat-a1B2c3" << false;
        QTest::newRow("short suffix") << ".photo.jpg.pictomat-a1B2" << false;
        QTest::newRow("the user's photo") << ".photo.jpg" << false;
        QTest::newRow("Qt's save file") << "photo.jpg.a1B2c3" << false;
    }

    void temporaryNamesAreRecognised()
    {
        QFETCH(QString, name);
        QFETCH(bool, ours);
        QCOMPARE(CheckedSaveFile::isTemporaryName(name), ours);
    }

    // Every TIFF compression keeps what the source's pixels are: a palette's transparency and
    // colours, 16 bits a sample, greyness (with or without alpha). libtiff's tiffinfo tells how the
    // file stores them.
    void tiffKeepsColourAlphaDepthAndGreyness_data()
    {
        QTest::addColumn<int>("compression");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("stored"); // what tiffinfo must print
        const QList<QPair<int, const char *>> compressions = { { EncoderSettings::TiffNone, "None" },
            { EncoderSettings::TiffLzw, "LZW" }, { EncoderSettings::TiffDeflate, "Deflate" } };
        for (const auto &[compression, name] : compressions) {
            QTest::addRow("%s palette with transparency", name) << compression << "palette alpha"
                                                                << "";
            QTest::addRow("%s 1-bit colour", name) << compression << "1-bit colour"
                                                   << "";
            QTest::addRow("%s 16-bit colour", name) << compression << "16-bit"
                                                    << "Bits/Sample: 16";
            QTest::addRow("%s 16-bit with alpha", name) << compression << "16-bit alpha"
                                                        << "Bits/Sample: 16";
            QTest::addRow("%s grey", name) << compression << "grey"
                                           << "min-is-black";
            QTest::addRow("%s 16-bit grey", name) << compression << "grey16"
                                                  << "Bits/Sample: 16";
            // Stored as RGBA, the same pixels: Qt 6.4's reader misreads grey with alpha.
            QTest::addRow("%s grey with alpha", name) << compression << "grey alpha"
                                                      << "";
        }
    }

    void tiffKeepsColourAlphaDepthAndGreyness()
    {
        QFETCH(int, compression);
        QFETCH(QString, kind);
        QFETCH(QString, stored);
        QImage image;
        if (kind == "palette alpha") {
            image = QImage(6, 4, QImage::Format_Indexed8);
            image.setColorTable({ qRgba(0, 0, 0, 0), qRgba(200, 30, 40, 255), qRgba(10, 200, 90, 128) });
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 6; ++x)
                    image.setPixel(x, y, uint((x + y) % 3));
        } else if (kind == "1-bit colour") {
            image = QImage(9, 3, QImage::Format_Mono);
            image.setColorTable({ qRgb(200, 30, 40), qRgb(20, 40, 220) });
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 9; ++x)
                    image.setPixel(x, y, uint((x * y) % 2));
        } else if (kind.startsWith("16-bit")) {
            const bool alpha = kind.endsWith("alpha");
            image = QImage(5, 3, alpha ? QImage::Format_RGBA64 : QImage::Format_RGBX64);
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 5; ++x)
                    image.setPixelColor(x, y,
                        QColor::fromRgba64(x * 13001 + 7, y * 20011 + 3, 65535 - x * 9001,
                            alpha ? 65535 - y * 30000 : 65535));
        } else if (kind == "grey" || kind == "grey16") {
            image = QImage(7, 2, kind == "grey" ? QImage::Format_Grayscale8 : QImage::Format_Grayscale16);
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < 7; ++x)
                    image.setPixelColor(x, y,
                        QColor::fromRgba64(QRgba64::fromRgba64(
                            x * 9000 + y * 7, x * 9000 + y * 7, x * 9000 + y * 7, 65535)));
        } else {
            image = QImage(4, 4, QImage::Format_ARGB32);
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 4; ++x)
                    image.setPixel(x, y, qRgba(x * 60, x * 60, x * 60, 255 - y * 60));
        }
        EncoderSettings settings;
        settings.tiffCompression = compression;
        const QString path = dir.path() + "/kept.tiff";
        QString error;
        QVERIFY2(writeImageFile(image, path, settings, &error), qPrintable(error));
        const QImage read(path);
        QVERIFY(!read.isNull());
        // Compared premultiplied: a TIFF reader may hand over its alpha so, rounding the colour of
        // pixels that are partly transparent.
        const QImage::Format exact = image.depth() == 64 || image.format() == QImage::Format_Grayscale16
            ? QImage::Format_RGBA64_Premultiplied
            : QImage::Format_ARGB32_Premultiplied;
        QCOMPARE(read.convertToFormat(exact), image.convertToFormat(exact));
        if (stored.isEmpty())
            return;
        if (!TestSupport::haveTool("tiffinfo"))
            QSKIP("tiffinfo (libtiff-tools) is not installed");
        QByteArray info;
        QCOMPARE(TestSupport::runTool("tiffinfo", { path }, &info), 0);
        QVERIFY2(info.contains(stored.toLatin1()), info.constData());
    }

    void nullImageWritesNothingAndKeepsAnExistingFile()
    {
        const QString target = dir.filePath("keep.png");
        QVERIFY(TestSupport::makePhotoLike(8, 8).save(target));
        const QByteArray before = TestSupport::fileDigest(target);
        QString error;
        QVERIFY(!writeImageFile(QImage(), target, 95, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(TestSupport::fileDigest(target), before);
        QCOMPARE(leftovers(), QStringList { "keep.png" });
        QVERIFY(!writeImageFile(QImage(), dir.filePath("new.png"), 95));
        QVERIFY(!QFile::exists(dir.filePath("new.png")));
    }

    void missingFolderAndUnknownFormatFail()
    {
        QString error;
        QVERIFY(!writeImageFile(
            TestSupport::makePhotoLike(8, 8), dir.filePath("no/such/folder/a.png"), 95, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(
            !writeImageFile(TestSupport::makePhotoLike(8, 8), dir.filePath("a.unknownformat"), 95, &error));
        QVERIFY(!QFile::exists(dir.filePath("a.unknownformat")));
        QVERIFY(leftovers().isEmpty());
    }

    void existingTargetIsReplacedWhole()
    {
        const QString target = dir.filePath("photo.png");
        QVERIFY(TestSupport::makePhotoLike(8, 8).save(target));
        const QImage bigger = TestSupport::makePhotoLike(50, 40);
        QVERIFY(writeImageFile(bigger, target, 95));
        QCOMPARE(QImage(target).convertToFormat(QImage::Format_RGB32), bigger);
        QCOMPARE(leftovers(), QStringList { "photo.png" });
    }
};

QTEST_MAIN(TestImageWriter)
#include "tst_imagewriter.moc"
