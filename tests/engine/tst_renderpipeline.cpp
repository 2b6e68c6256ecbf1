// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/conversionoptions.h"
#include "filelist/thumbnailcache.h"
#include "imaging/renderpipeline.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The loader's debug lines since the test began, one per decoded file.
int loads()
{
    return int(
        TestSupport::DebugLog::linesStartingWith(QStringLiteral("ImageMagickUtil::loadImage: ")).size());
}

} // namespace

Q_DECLARE_METATYPE(LoadCacheUse)
Q_DECLARE_METATYPE(QList<int>)

class TestRenderPipeline : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;

    QString path(const QString &name) const { return dir.filePath(name); }

    QString writeSolid(const QString &name, QColor color, QSize size = QSize(40, 30))
    {
        QImage image = TestSupport::filledImage(size, color);
        const QString file = path(name);
        QImageWriter writer(file);
        if (!writer.write(image))
            qFatal("cannot write fixture %s", qPrintable(file));
        return file;
    }

private Q_SLOTS:
    void initTestCase() { TestSupport::DebugLog::install(); }
    void cleanupTestCase() { TestSupport::DebugLog::uninstall(); }

    void init()
    {
        resetOptions();
        clearLoadCache();
        TestSupport::DebugLog::clear();
    }

    void cacheUseOnAMiss_data()
    {
        QTest::addColumn<LoadCacheUse>("use");
        QTest::addColumn<bool>("keptInCache");
        QTest::newRow("keep") << LoadCacheUse::Keep << true;
        QTest::newRow("bypass") << LoadCacheUse::Bypass << false;
    }

    // A bypassing render (the conversion job's) hands back the only reference to the decoded
    // image, so painting on it copies nothing, and leaves no full image behind in the cache.
    void cacheUseOnAMiss()
    {
        QFETCH(LoadCacheUse, use);
        QFETCH(bool, keptInCache);
        const QString first = writeSolid("first.png", Qt::red);
        const QString second = writeSolid("second.png", Qt::green);
        QVERIFY(!renderImage(first, false).isNull());
        QCOMPARE(loads(), 1);

        const QImage result = renderImage(second, false, use);
        QCOMPARE(loads(), 2);
        QCOMPARE(result.pixel(0, 0), qRgb(0, 255, 0));
        QCOMPARE(result.isDetached(), !keptInCache);

        QCOMPARE(renderImage(second, false).pixel(0, 0), qRgb(0, 255, 0));
        QCOMPARE(loads(), keptInCache ? 2 : 3);
        // The entry for the first file was dropped when the second was decoded, either way.
        QCOMPARE(renderImage(first, false).pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(loads(), keptInCache ? 3 : 4);
    }

    // The previews' entry serves a bypassing render of the same file and stays for them.
    void bypassTakesACachedFileAndLeavesIt()
    {
        const QString file = writeSolid("shown.png", Qt::blue);
        const QImage preview = renderImage(file, true);
        QCOMPARE(loads(), 1);
        QCOMPARE(renderImage(file, false, LoadCacheUse::Bypass), preview);
        QCOMPARE(renderImage(file, true), preview);
        QCOMPARE(loads(), 1);
    }

    void supportedFileNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("supported");
        const QStringList good = { "a.gif", "a.heif", "a.heic", "a.avif", "a.jxl", "a.jpg", "a.JPEG", "a.png",
            "a.tif", "a.TIFF", "a.webp", "photo.tar.WebP", "photo.backup.JPG" };
        for (const QString &name : good)
            QTest::newRow(qPrintable(name)) << name << true;
        QTest::newRow("photo.webp.bak") << "photo.webp.bak" << false;
        QTest::newRow("no suffix") << "photo" << false;
        QTest::newRow("bmp") << "photo.bmp" << false;
    }

    void supportedFileNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, supported);
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QCOMPARE(isSupportedImageFile(file.fileName()), supported);
    }

    void foldersAndMissingFilesAreNotSupported()
    {
        QVERIFY(QDir(dir.path()).mkdir("x.png"));
        QVERIFY(!isSupportedImageFile(path("x.png")));
        QVERIFY(!isSupportedImageFile(path("missing.png")));
    }

    void noOptionsGivesTheLoadedPixels()
    {
        const QImage source = TestSupport::makePhotoLike(64, 48, true);
        QVERIFY(source.save(path("alpha.png")));
        const QImage result = renderImage(path("alpha.png"), false);
        QCOMPARE(result.format(), QImage(path("alpha.png")).format());
        QCOMPARE(result.convertToFormat(QImage::Format_ARGB32), source);
    }

    void letterCaseOfThePathFollowsThePlatform()
    {
        const QString file = writeSolid("case.png", Qt::red);
        QCOMPARE(renderImage(file, false).pixel(0, 0), qRgb(255, 0, 0));
        const QString otherCase = path("CASE.png");
        const QImage second = renderImage(otherCase, false);
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
        QCOMPARE(second.pixel(0, 0), qRgb(255, 0, 0));
#else
        // A different name on a case-sensitive file system: not the cached file, and not on disk.
        QVERIFY(second.isNull());
#endif
    }

    void fileChangedOnDiskIsLoadedAgain()
    {
        const QString file = writeSolid("changing.png", Qt::red);
        QCOMPARE(renderImage(file, false).pixel(0, 0), qRgb(255, 0, 0));
        QTest::qWait(20);
        writeSolid("changing.png", Qt::blue, QSize(41, 30));
        const QImage again = renderImage(file, false);
        QCOMPARE(again.size(), QSize(41, 30));
        QCOMPARE(again.pixel(0, 0), qRgb(0, 0, 255));
    }

    void failedLoadIsRetriedAndNeverServesAnotherFile()
    {
        const QString good = writeSolid("good.png", Qt::green);
        const QString missing = path("later.png");
        QVERIFY(!renderImage(good, false).isNull());
        QVERIFY(renderImage(missing, false).isNull());
        QCOMPARE(renderImage(good, false).pixel(0, 0), qRgb(0, 255, 0));
        QVERIFY(renderImage(missing, false).isNull());
        writeSolid("later.png", Qt::blue);
        QCOMPARE(renderImage(missing, false).pixel(0, 0), qRgb(0, 0, 255));
    }

    void corruptDataGivesANullImage()
    {
        QFile file(path("broken.jpg"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\xFF\xD8\xFF\xE0 this is not a jpeg");
        file.close();
        QVERIFY(renderImage(file.fileName(), false).isNull());
    }

    void paletteAndBitmapSources_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QImage::Format>("format");
        QTest::newRow("indexed png") << "indexed.png" << QImage::Format_Indexed8;
        QTest::newRow("1-bit png") << "mono.png" << QImage::Format_Mono;
    }

    // A palette or 1-bit picture gets every step a photo gets: widened to 32 bits where a step
    // needs it, left as it is when no step runs.
    void paletteAndBitmapSources()
    {
        QFETCH(QString, name);
        QFETCH(QImage::Format, format);
        QImage picture(400, 300, format);
        picture.setColorTable({ qRgb(255, 255, 255), qRgb(220, 0, 0) });
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 400; ++x)
                picture.setPixel(x, y, (x + y) % 2);
        QVERIFY(picture.save(path(name)));
        const QImage loaded(path(name));
        QVERIFY(loaded.depth() <= 8);
        QCOMPARE(renderImage(path(name), false), loaded);

        const auto fit = [](QSize size) { return fitPreviewSize(size, QSize(200, 200)); };
        QCOMPARE(renderFittedPreview(path(name), optionsSnapshot(), fit).size(), QSize(200, 150));

        updateOptions([](ConversionOptions &o) {
            o.scaleImage = true;
            o.scalePercentage = 50;
        });
        const QImage scaled = renderImage(path(name), false);
        QCOMPARE(scaled.size(), QSize(200, 150));
        // Smoothing the red and white cells gives pink, not black and white.
        const QColor mixed = scaled.pixelColor(100, 75);
        QVERIFY2(mixed.red() > 200 && mixed.green() > 60 && mixed.green() < 200, qPrintable(mixed.name()));

        updateOptions([](ConversionOptions &o) {
            o.textContent = QStringLiteral("WATERMARK");
            o.textSize = 40;
            o.textColor = Qt::blue;
        });
        const QImage stamped = renderImage(path(name), false);
        QCOMPARE(stamped.size(), QSize(200, 150));
        QVERIFY(stamped != scaled);
        AdjustRule rule;
        rule.ruleIndex = AdjustRule::InvertColors;
        rule.values[0] = 256;
        updateOptions([&rule](ConversionOptions &o) { o.ruleList.append(rule); });
        const QColor before = stamped.pixelColor(100, 75);
        QCOMPARE(renderImage(path(name), false).pixelColor(100, 75),
            QColor(255 - before.red(), 255 - before.green(), 255 - before.blue()));
    }

    void previewsShowTheTargetsBackground_data()
    {
        QTest::addColumn<int>("target");
        QTest::addColumn<bool>("keepsAlpha");
        QTest::newRow("jpg") << 4 << false;
        QTest::newRow("pdf") << 9 << false;
        QTest::newRow("png") << 6 << true;
        QTest::newRow("webp") << 8 << true;
    }

    // A transparent source shows as the written file will: on white for a target without alpha.
    void previewsShowTheTargetsBackground()
    {
        QFETCH(int, target);
        QFETCH(bool, keepsAlpha);
        QImage veiled = TestSupport::filledImage(QSize(40, 30), qRgba(0, 0, 200, 0), QImage::Format_ARGB32);
        QVERIFY(veiled.save(path("veiled.png")));
        updateOptions([target](ConversionOptions &o) { o.targeFileType = target; });
        const QImage fitted
            = renderFittedPreview(path("veiled.png"), optionsSnapshot(), [](QSize size) { return size / 2; });
        const QImage full = renderFullPreview(path("veiled.png"), optionsSnapshot());
        QCOMPARE(fitted.size(), QSize(20, 15));
        QCOMPARE(full.size(), QSize(40, 30));
        for (const QImage &shown : { fitted, full }) {
            QCOMPARE(shown.hasAlphaChannel(), keepsAlpha);
            if (keepsAlpha)
                QCOMPARE(qAlpha(shown.pixel(5, 5)), 0);
            else
                QCOMPARE(shown.pixel(5, 5), qRgb(255, 255, 255));
        }
        // The conversion itself keeps the alpha for the writer to decide.
        QVERIFY(renderImage(path("veiled.png"), false).hasAlphaChannel());
    }

    void fittedPreviewMatchesRenderThenFit_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QList<int>>("rules");
        QTest::addColumn<bool>("extras");
        using R = AdjustRule;
        const QList<int> everyPointRule { R::Contrast, R::Brightness, R::Gamma, R::Sepia, R::InvertColors };
        for (const QString source : { "photo.jpg", "alpha.png", "deep.png", "gray.png" }) {
            const QByteArray name = source.toLatin1();
            QTest::newRow(name + " three rules")
                << source << QList<int> { R::Contrast, R::Brightness, R::Gamma } << false;
            QTest::newRow(name + " every point rule") << source << everyPointRule << false;
            QTest::newRow(name + " grayscale last")
                << source << QList<int> { R::Sepia, R::Grayscale } << false;
            QTest::newRow(name + " blur between")
                << source << QList<int> { R::Contrast, R::GaussianBlur, R::Gamma } << false;
            QTest::newRow(name + " blur last")
                << source << QList<int> { R::InvertColors, R::GaussianBlur } << false;
            QTest::newRow(name + " watermark and scaling")
                << source << QList<int> { R::Grayscale, R::Brightness } << true;
        }
    }

    // The live preview reduces the picture before its per-pixel rules run; what it shows must be
    // exactly the full render reduced afterwards, whatever the rules, source format and options.
    void fittedPreviewMatchesRenderThenFit()
    {
        QFETCH(QString, source);
        QFETCH(QList<int>, rules);
        QFETCH(bool, extras);
        QImage picture = TestSupport::makePhotoLike(1203, 797, source != QLatin1String("photo.jpg"));
        if (source == QLatin1String("deep.png"))
            picture = picture.convertToFormat(QImage::Format_RGBA64);
        else if (source == QLatin1String("gray.png"))
            picture = picture.convertToFormat(QImage::Format_Grayscale8);
        QVERIFY(TestSupport::saveImage(picture, path(source), 90));

        updateOptions([&](ConversionOptions &o) {
            const int values[] = { 0, 0, 40, -30, 70, 100, 3 };
            for (int kind : rules) {
                AdjustRule rule;
                rule.ruleIndex = kind;
                rule.values[0] = values[kind];
                o.ruleList.append(rule);
            }
            if (extras) {
                o.textContent = QStringLiteral("Holiday 2026");
                o.scaleImage = true;
                o.scalePercentage = 70;
            }
        });
        const auto fit = [](QSize size) { return fitPreviewSize(size, QSize(400, 231)); };
        const QImage full = renderImage(path(source), true);
        QVERIFY(!full.isNull());
        const QImage expected = full.scaled(fit(full.size()), Qt::IgnoreAspectRatio, Qt::FastTransformation);
        const QImage fitted = renderFittedPreview(path(source), optionsSnapshot(), fit);
        QCOMPARE(fitted.size(), expected.size());
        QCOMPARE(
            fitted.convertToFormat(QImage::Format_ARGB32), expected.convertToFormat(QImage::Format_ARGB32));
        // Only the first render decoded the file; the preview took it from the cache.
        QCOMPARE(loads(), 1);
    }

    void firstPreviewFromReducedDecode_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<bool>("watermark");
        QTest::addColumn<bool>("scaling");
        QTest::newRow("jpeg") << "photo.jpg" << false << false;
        QTest::newRow("jpeg scaled") << "photo.jpg" << false << true;
        QTest::newRow("jpeg watermark") << "photo.jpg" << true << false;
        QTest::newRow("jpeg watermark scaled") << "photo.jpg" << true << true;
    }

    // A first live preview without anything drawn on the picture starts from a reduced decode
    // and looks like the exact one; with a watermark it is the exact one, pixel for pixel.
    void firstPreviewFromReducedDecode()
    {
        QFETCH(QString, source);
        QFETCH(bool, watermark);
        QFETCH(bool, scaling);
        // Smooth as a photograph is at 1/8 of its size, so the two reductions may differ only by
        // the codec's own noise.
        const QImage picture = TestSupport::makePhotoLike(151, 100).scaled(
            1203, 797, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QVERIFY(TestSupport::saveImage(picture, path(source), 90));
        AdjustRule rule;
        rule.ruleIndex = AdjustRule::Contrast;
        rule.values[0] = 40;
        updateOptions([&](ConversionOptions &o) {
            o.ruleList.append(rule);
            o.textContent = watermark ? QStringLiteral("Holiday 2026") : QString();
            o.scaleImage = scaling;
            o.scalePercentage = 80;
        });
        const auto fit = [](QSize size) { return fitPreviewSize(size, QSize(100, 100)); };
        const QImage fitted = renderFittedPreview(path(source), optionsSnapshot(), fit);
        // Only the exact render decodes the whole picture.
        QCOMPARE(loads(), watermark ? 1 : 0);
        const QImage full = renderImage(path(source), true);
        const QImage expected = full.scaled(fit(full.size()), Qt::IgnoreAspectRatio, Qt::FastTransformation)
                                    .convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(fitted.size(), expected.size());
        if (watermark) {
            QCOMPARE(fitted.convertToFormat(QImage::Format_ARGB32), expected);
        } else {
            const double quality = TestSupport::psnr(expected, fitted.convertToFormat(QImage::Format_ARGB32));
            QVERIFY2(quality >= 30, qPrintable(QString::number(quality)));
        }
    }

    void orientationIsApplied()
    {
        // A JPEG whose EXIF orientation says "rotate 90": 20x10 stored, 10x20 shown.
        QImage wide = TestSupport::filledImage(QSize(20, 10), Qt::white);
        QImageWriter writer(path("rotated.jpg"));
        writer.setTransformation(QImageIOHandler::TransformationRotate90);
        QVERIFY(writer.write(wide));
        const QImage result = renderImage(path("rotated.jpg"), false);
        if (QImageReader(path("rotated.jpg")).transformation() == QImageIOHandler::TransformationNone)
            QSKIP("this JPEG writer stores no orientation");
        QCOMPARE(result.size(), QSize(10, 20));
    }
};

QTEST_MAIN(TestRenderPipeline)
#include "tst_renderpipeline.moc"
