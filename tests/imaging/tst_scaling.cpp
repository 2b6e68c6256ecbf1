// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/conversionoptions.h"
#include "imaging/failurereasons.h"
#include "imaging/imagelimits.h"
#include "imaging/renderpipeline.h"
#include "imaging/scaling.h"
#include "plugins/imageformats/common/decodelimits.h"
#include "testsupport.h"

#include <QColorSpace>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtTest>

namespace {

ConversionOptions scaleOptions(int type)
{
    ConversionOptions options;
    options.scaleImage = true;
    options.scaleType = type;
    return options;
}

ConversionOptions percentage(int p)
{
    ConversionOptions options = scaleOptions(0);
    options.scalePercentage = p;
    return options;
}

ConversionOptions absolute(int width, int height)
{
    ConversionOptions options = scaleOptions(1);
    options.scaleAbsoluteWitdh = width;
    options.scaleAbsoluteHeight = height;
    return options;
}

ConversionOptions relativeWidth(int width)
{
    ConversionOptions options = scaleOptions(2);
    options.scaleRelativeTo = 0;
    options.scaleRelativeWidth = width;
    options.scaleRelativeHeight = 77;
    return options;
}

ConversionOptions relativeHeight(int height, int relativeTo = 1)
{
    ConversionOptions options = scaleOptions(2);
    options.scaleRelativeTo = relativeTo;
    options.scaleRelativeHeight = height;
    options.scaleRelativeWidth = 77;
    return options;
}

// A checkerboard of one-pixel cells: nearest-neighbour keeps only black and white, smoothing mixes them.
QImage checkerboard(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    }
    return image;
}

bool onlyBlackAndWhite(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y) & 0xffffff;
            if (p != 0 && p != 0xffffff)
                return false;
        }
    }
    return true;
}

// Every byte value in every channel, in no order a filter could smooth over; premultiplied when
// the format asks for it (no channel above alpha), opaque for RGB32.
QImage noise(int width, int height, QImage::Format format)
{
    QImage image(width, height, format);
    quint32 state = 0x9e3779b9u ^ quint32(width * 7919 + height);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            const QRgb p = state;
            if (format == QImage::Format_RGB32)
                line[x] = p | 0xff000000u;
            else
                line[x] = qPremultiply(p);
        }
    }
    return image;
}

} // namespace

Q_DECLARE_METATYPE(ConversionOptions)

class TestScaling : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void computeScaledSize_data();
    void computeScaledSize();
    void noScalingWithOutOfRangeType();
    void scaleImageOffKeepsTheSize();
    void sameSizeIsNotResampled();
    void transformationMode_data();
    void transformationMode();
    void emptyTargetGivesNull_data();
    void emptyTargetGivesNull();
    void targetBeyondAllocationLimitGivesNull_data();
    void targetBeyondAllocationLimitGivesNull();
    void enlargingBeyondTheReaderLimit_data();
    void enlargingBeyondTheReaderLimit();
    void renderScalesAfterLoading();
    void halvingMatchesTheToolkitScaler_data();
    void halvingMatchesTheToolkitScaler();
    void halvingOnlyWhereExact_data();
    void halvingOnlyWhereExact();

private:
    QTemporaryDir dir;
};

void TestScaling::initTestCase()
{
    QVERIFY(dir.isValid());
}

void TestScaling::init()
{
    resetOptions();
    clearLoadCache();
}

void TestScaling::computeScaledSize_data()
{
    QTest::addColumn<ConversionOptions>("options");
    QTest::addColumn<QSize>("source");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("50 percent truncates") << percentage(50) << QSize(333, 201) << QSize(166, 100);
    QTest::newRow("100 percent") << percentage(100) << QSize(333, 201) << QSize(333, 201);
    QTest::newRow("400 percent") << percentage(400) << QSize(333, 201) << QSize(1332, 804);
    QTest::newRow("0 percent") << percentage(0) << QSize(333, 201) << QSize(0, 0);
    QTest::newRow("negative percent truncates toward zero")
        << percentage(-50) << QSize(333, 201) << QSize(-166, -100);
    // w x p beyond 32 bits is still exact.
    QTest::newRow("w x p over 2^31") << percentage(400) << QSize(6000000, 3) << QSize(24000000, 12);
    QTest::newRow("percentage 100000") << percentage(100000) << QSize(1000, 800) << QSize(1000000, 800000);
    QTest::newRow("result beyond int") << percentage(INT_MAX) << QSize(1000, 800) << QSize(INT_MAX, INT_MAX);
    QTest::newRow("absolute stretches") << absolute(100, 100) << QSize(400, 200) << QSize(100, 100);
    QTest::newRow("absolute 1920x1080") << absolute(1920, 1080) << QSize(10, 10) << QSize(1920, 1080);
    QTest::newRow("relative width 300") << relativeWidth(300) << QSize(1000, 500) << QSize(300, 150);
    QTest::newRow("relative width 2000") << relativeWidth(2000) << QSize(1000, 500) << QSize(2000, 1000);
    QTest::newRow("relative width equal") << relativeWidth(1000) << QSize(1000, 500) << QSize(1000, 500);
    QTest::newRow("relative height 100") << relativeHeight(100) << QSize(1000, 500) << QSize(200, 100);
    QTest::newRow("relative to any non-zero value fixes the height")
        << relativeHeight(100, 7) << QSize(1000, 500) << QSize(200, 100);
    // Reducing divides by the ratio: 110 / (220 / 100) = 49.999..., not 110 x (100 / 220) = 50.000...
    QTest::newRow("reducing is exact") << relativeWidth(100) << QSize(220, 110) << QSize(100, 50);
    QTest::newRow("reducing is exact, height") << relativeHeight(100) << QSize(110, 220) << QSize(50, 100);
    QTest::newRow("camera photo to width 1920")
        << relativeWidth(1920) << QSize(4224, 3168) << QSize(1920, 1440);
    QTest::newRow("camera photo to height 1080")
        << relativeHeight(1080) << QSize(4224, 3168) << QSize(1440, 1080);
    QTest::newRow("rounds up from a half") << relativeWidth(500) << QSize(1000, 333) << QSize(500, 167);
    QTest::newRow("rounds down below a half") << relativeWidth(3) << QSize(9, 4) << QSize(3, 1);
    QTest::newRow("enlarging rounds") << relativeWidth(4) << QSize(3, 2) << QSize(4, 3);
    // Enlarging multiplies by the inverse: 6 x (750 / 10) = 450, not 6 / (10 / 750) = 449.999...
    QTest::newRow("enlarging multiplies") << relativeWidth(750) << QSize(10, 6) << QSize(750, 450);
    QTest::newRow("enlarging multiplies, height") << relativeHeight(750) << QSize(6, 10) << QSize(450, 750);
    QTest::newRow("relative width 0") << relativeWidth(0) << QSize(1000, 500) << QSize(0, 0);
    QTest::newRow("relative width 2^31-1")
        << relativeWidth(INT_MAX) << QSize(1000, 500) << QSize(INT_MAX, 1073741824);
    QTest::newRow("relative width 2^31-1, tall")
        << relativeWidth(INT_MAX) << QSize(2, 5000) << QSize(INT_MAX, INT_MAX);
}

void TestScaling::computeScaledSize()
{
    QFETCH(ConversionOptions, options);
    QFETCH(QSize, source);
    QFETCH(QSize, expected);
    const std::optional<QSize> size = ::computeScaledSize(options, source.width(), source.height());
    QVERIFY(size.has_value());
    QCOMPARE(*size, expected);
}

void TestScaling::noScalingWithOutOfRangeType()
{
    for (int type : { 3, -1 }) {
        QVERIFY(!::computeScaledSize(scaleOptions(type), 400, 300).has_value());
        const QImage image = TestSupport::makePhotoLike(40, 30);
        QCOMPARE(applyScaling(image, scaleOptions(type), false, false).constBits(), image.constBits());
    }
}

void TestScaling::scaleImageOffKeepsTheSize()
{
    const QImage image = TestSupport::makePhotoLike(40, 30);
    for (ConversionOptions options : { percentage(50), absolute(5, 5), relativeWidth(10), percentage(0) }) {
        options.scaleImage = false;
        QCOMPARE(applyScaling(image, options, false, false).constBits(), image.constBits());
    }
}

void TestScaling::sameSizeIsNotResampled()
{
    const QImage image = TestSupport::makePhotoLike(40, 30);
    QCOMPARE(applyScaling(image, percentage(100), false, false).constBits(), image.constBits());
    QCOMPARE(applyScaling(image, absolute(40, 30), false, false).constBits(), image.constBits());
}

void TestScaling::transformationMode_data()
{
    QTest::addColumn<bool>("fastPreview");
    QTest::addColumn<bool>("pdfActive");
    QTest::addColumn<bool>("pdfSmoothEdges");
    QTest::addColumn<bool>("smooth");
    QTest::newRow("conversion") << false << false << false << true;
    QTest::newRow("live preview") << true << false << true << false;
    QTest::newRow("live preview during PDF") << true << true << true << false;
    QTest::newRow("PDF without smooth edges") << false << true << false << false;
    QTest::newRow("PDF with smooth edges") << false << true << true << true;
    QTest::newRow("smooth edges off outside PDF") << false << false << false << true;
}

void TestScaling::transformationMode()
{
    QFETCH(bool, fastPreview);
    QFETCH(bool, pdfActive);
    QFETCH(bool, pdfSmoothEdges);
    QFETCH(bool, smooth);
    ConversionOptions options = percentage(50);
    options.pdfSmoothEdges = pdfSmoothEdges;
    QCOMPARE(scalingMode(options, fastPreview, pdfActive),
        smooth ? Qt::SmoothTransformation : Qt::FastTransformation);
    const QImage scaled = applyScaling(checkerboard(64, 64), options, fastPreview, pdfActive);
    QCOMPARE(scaled.size(), QSize(32, 32));
    QCOMPARE(onlyBlackAndWhite(scaled), !smooth);
}

void TestScaling::emptyTargetGivesNull_data()
{
    QTest::addColumn<ConversionOptions>("options");
    QTest::newRow("0 percent") << percentage(0);
    QTest::newRow("absolute 0 x 100") << absolute(0, 100);
    QTest::newRow("absolute -5 x -5") << absolute(-5, -5);
    QTest::newRow("relative width 0") << relativeWidth(0);
    QTest::newRow("relative height -10") << relativeHeight(-10);
}

void TestScaling::emptyTargetGivesNull()
{
    QFETCH(ConversionOptions, options);
    QVERIFY(applyScaling(TestSupport::makePhotoLike(40, 30), options, false, false).isNull());
}

void TestScaling::targetBeyondAllocationLimitGivesNull_data()
{
    QTest::addColumn<ConversionOptions>("options");
    QTest::addColumn<QSize>("size");
    QTest::newRow("percentage 100000") << percentage(100000) << QSize(1000000, 800000);
    QTest::newRow("percentage 2^31-1") << percentage(INT_MAX) << QSize(INT_MAX, INT_MAX);
    QTest::newRow("absolute width 2^31-1") << absolute(INT_MAX, 1080) << QSize(INT_MAX, 1080);
    QTest::newRow("relative width 2^31-1") << relativeWidth(INT_MAX) << QSize(INT_MAX, 1717986918);
    QTest::newRow("relative height 10^6") << relativeHeight(1000000) << QSize(1250000, 1000000);
}

// Sizes beyond any machine's memory: refused before anything is allocated, with the reason.
void TestScaling::targetBeyondAllocationLimitGivesNull()
{
    QFETCH(ConversionOptions, options);
    QFETCH(QSize, size);
    const QImage image = TestSupport::makePhotoLike(1000, 800);
    QVERIFY(applyScaling(image, options, false, false).isNull());
    QVERIFY(applyScaling(image, options, true, false).isNull());

    const QString path = dir.filePath(QStringLiteral("limit.png"));
    if (!QFile::exists(path))
        QVERIFY(TestSupport::saveImage(image, path));
    updateOptions([&](ConversionOptions &o) { o = options; });
    QString reason;
    QVERIFY(renderImage(path, false, LoadCacheUse::Keep, &reason).isNull());
    QCOMPARE(reason, FailureReason::resultTooLarge(size));
}

void TestScaling::enlargingBeyondTheReaderLimit_data()
{
    QTest::addColumn<ConversionOptions>("options");
    QTest::addColumn<QSize>("size");
    QTest::newRow("absolute 9000 x 9000") << absolute(9000, 9000) << QSize(9000, 9000);
    QTest::newRow("relative width 12000") << relativeWidth(12000) << QSize(12000, 9600);
}

// The user's own enlargement is not held to the reader's 256 MB limit for untrusted files.
void TestScaling::enlargingBeyondTheReaderLimit()
{
    QFETCH(ConversionOptions, options);
    QFETCH(QSize, size);
    if (!fitsResultBudget(size.width(), size.height()))
        QSKIP("this machine has too little memory available for the enlargement");
    const QString path = dir.filePath(QStringLiteral("small.png"));
    if (!QFile::exists(path))
        QVERIFY(TestSupport::saveImage(TestSupport::makePhotoLike(1000, 800), path));
    updateOptions([&](ConversionOptions &o) { o = options; });
    QString reason;
    const QImage enlarged = renderImage(path, false, LoadCacheUse::Bypass, &reason);
    QCOMPARE(reason, QString());
    QCOMPARE(enlarged.size(), size);
}

// The pipeline scales the loaded image, smooth for the conversion and fast for the live preview.
void TestScaling::renderScalesAfterLoading()
{
    const QString path = dir.filePath(QStringLiteral("board.png"));
    QVERIFY(TestSupport::saveImage(checkerboard(333, 200), path));
    updateOptions([](ConversionOptions &o) { o = percentage(50); });
    const QImage converted = renderImage(path, false);
    QCOMPARE(converted.size(), QSize(166, 100));
    QVERIFY(!onlyBlackAndWhite(converted));
    const QImage preview = renderImage(path, true);
    QCOMPARE(preview.size(), QSize(166, 100));
    QVERIFY(onlyBlackAndWhite(preview));

    updateOptions([](ConversionOptions &o) { o.scaleImage = false; });
    QCOMPARE(renderImage(path, false).size(), QSize(333, 200));
    updateOptions([](ConversionOptions &o) {
        o.scaleImage = true;
        o.scaleType = 3;
    });
    QCOMPARE(renderImage(path, false).size(), QSize(333, 200));
}

void TestScaling::halvingMatchesTheToolkitScaler_data()
{
    QTest::addColumn<QImage>("image");
    const QList<QImage::Format> formats = { QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied };
    for (QImage::Format format : formats) {
        const QString name = format == QImage::Format_RGB32 ? "rgb32" : "argb32pm";
        QTest::newRow(qPrintable(name + " 2x2")) << noise(2, 2, format);
        QTest::newRow(qPrintable(name + " 6x4")) << noise(6, 4, format);
        QTest::newRow(qPrintable(name + " 2x1000")) << noise(2, 1000, format);
        QTest::newRow(qPrintable(name + " 1202x1000")) << noise(1202, 1000, format);
        QImage white(64, 48, format);
        white.fill(Qt::white);
        QTest::newRow(qPrintable(name + " all 255")) << white;
    }
    QImage clear
        = TestSupport::filledImage(QSize(64, 48), Qt::transparent, QImage::Format_ARGB32_Premultiplied);
    QTest::newRow("argb32pm all 0") << clear;
    QImage meta = noise(40, 30, QImage::Format_RGB32);
    meta.setDotsPerMeterX(2835);
    meta.setDotsPerMeterY(3937);
    meta.setOffset(QPoint(3, -4));
    meta.setText(QStringLiteral("Description"), QStringLiteral("keeps its text"));
    meta.setColorSpace(QColorSpace::DisplayP3);
    QTest::newRow("rgb32 with metadata") << meta;
}

// The fast halving must be the toolkit's smooth scaling, pixel for pixel and with its metadata,
// so that a conversion's output does not depend on which of the two ran.
void TestScaling::halvingMatchesTheToolkitScaler()
{
    QFETCH(QImage, image);
    const QSize size = image.size() / 2;
    QVERIFY(canHalveExactly(image, size));
    const QImage expected = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage half = halveImage(image);
    QCOMPARE(half.format(), expected.format());
    QCOMPARE(half.size(), expected.size());
    for (int y = 0; y < half.height(); ++y)
        QVERIFY2(memcmp(half.constScanLine(y), expected.constScanLine(y), size_t(half.width()) * 4) == 0,
            qPrintable(QStringLiteral("row %1 differs").arg(y)));
    QCOMPARE(half.dotsPerMeterX(), expected.dotsPerMeterX());
    QCOMPARE(half.dotsPerMeterY(), expected.dotsPerMeterY());
    QCOMPARE(half.textKeys(), expected.textKeys());
    for (const QString &key : expected.textKeys())
        QCOMPARE(half.text(key), expected.text(key));
    QCOMPARE(half.colorSpace(), expected.colorSpace());
    QCOMPARE(half.devicePixelRatio(), expected.devicePixelRatio());

    ConversionOptions options = percentage(50);
    QCOMPARE(applyScaling(image, options, false, false), expected);
}

void TestScaling::halvingOnlyWhereExact_data()
{
    QTest::addColumn<QImage>("image");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("exact");
    QTest::newRow("even sides") << noise(8, 6, QImage::Format_RGB32) << QSize(4, 3) << true;
    QTest::newRow("odd width") << noise(9, 6, QImage::Format_RGB32) << QSize(4, 3) << false;
    QTest::newRow("odd height") << noise(8, 7, QImage::Format_RGB32) << QSize(4, 3) << false;
    QTest::newRow("not half") << noise(8, 6, QImage::Format_RGB32) << QSize(4, 2) << false;
    QTest::newRow("straight alpha")
        << noise(8, 6, QImage::Format_RGB32).convertToFormat(QImage::Format_ARGB32) << QSize(4, 3) << false;
    QTest::newRow("rgb888") << noise(8, 6, QImage::Format_RGB32).convertToFormat(QImage::Format_RGB888)
                            << QSize(4, 3) << false;
    QTest::newRow("grayscale") << noise(8, 6, QImage::Format_RGB32).convertToFormat(QImage::Format_Grayscale8)
                               << QSize(4, 3) << false;
}

// Everything else goes to the toolkit's scaler, whose result the halving could not reproduce.
void TestScaling::halvingOnlyWhereExact()
{
    QFETCH(QImage, image);
    QFETCH(QSize, size);
    QFETCH(bool, exact);
    QCOMPARE(canHalveExactly(image, size), exact);
    ConversionOptions options = absolute(size.width(), size.height());
    QCOMPARE(applyScaling(image, options, false, false),
        image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

QTEST_MAIN(TestScaling)
#include "tst_scaling.moc"
