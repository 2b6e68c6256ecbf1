// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/conversionoptions.h"
#include "imaging/adjustments.h"
#include "imaging/gaussianblur.h"
#include "imaging/renderpipeline.h"
#include "plugins/imageformats/common/decodelimits.h"
#include "testsupport.h"

#include <QImageReader>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <thread>

namespace {

AdjustRule rule(int kind, std::optional<int> value = std::nullopt)
{
    AdjustRule r;
    r.ruleIndex = kind;
    if (value)
        r.values[0] = *value;
    return r;
}

QImage filled(QRgb color, QImage::Format format = QImage::Format_RGB32, QSize size = QSize(8, 6))
{
    QImage image(size, format);
    image.fill(color);
    return image;
}

QRgb only(const QImage &image)
{
    return image.pixel(image.width() / 2, image.height() / 2);
}

// Every possible channel value once, in all three channels: 256 x 1 gray ramp.
QImage ramp()
{
    QImage image(256, 1, QImage::Format_RGB32);
    for (int c = 0; c < 256; ++c)
        image.setPixel(c, 0, qRgb(c, c, c));
    return image;
}

using ChannelMap = QList<QPair<int, int>>;

} // namespace

Q_DECLARE_METATYPE(AdjustRuleList)

class TestAdjustments : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void emptyListReturnsImageUnchanged();
    void debugLines();
    void inputIsNotModified();
    void handedOverImageIsNotCopied();
    void nullImageGivesNull_data();
    void nullImageGivesNull();
    void grayscale();
    void grayscaleThenSepia();
    void sepiaOfMidGray();
    void contrast_data();
    void contrast();
    void brightnessClampsBetweenRules();
    void gammaTable_data();
    void gammaTable();
    void invertColors_data();
    void invertColors();
    void neutralValuesStillGiveOpaqueRgb32_data();
    void neutralValuesStillGiveOpaqueRgb32();
    void unknownKindIsSkipped();
    void outOfRangeValues();
    void blurZeroKeepsImageAndFormat();
    void blurTen();
    void blurOnWorkerThread();
    void hugeBlurRadiusIsLowered();
    void plainBlur();
    void blurKeepsItsPixels_data();
    void blurKeepsItsPixels();
    void ruleToText_data();
    void ruleToText();
    void ruleFromText_data();
    void ruleFromText();
    void renderedPixelFormat_data();
    void renderedPixelFormat();

private:
    QTemporaryDir dir;
};

void TestAdjustments::initTestCase()
{
    QVERIFY(dir.isValid());
}

void TestAdjustments::init()
{
    resetOptions();
    clearLoadCache();
}

void TestAdjustments::emptyListReturnsImageUnchanged()
{
    const QImage image = TestSupport::makePhotoLike(40, 30, true);
    const QImage result = applyAdjustments(image, {});
    QCOMPARE(result.format(), QImage::Format_ARGB32);
    QCOMPARE(result.constBits(), image.constBits());
}

void TestAdjustments::debugLines()
{
    QTest::ignoreMessage(QtDebugMsg, "ruleList[i].ruleIndex: 0");
    QTest::ignoreMessage(QtDebugMsg, "onProcessGrayscale");
    QTest::ignoreMessage(QtDebugMsg, "ruleList[i].ruleIndex: 4");
    QTest::ignoreMessage(QtDebugMsg, "onProcessGamma: 201");
    QTest::ignoreMessage(QtDebugMsg, "ruleList[i].ruleIndex: 12");
    applyAdjustments(
        filled(qRgb(1, 2, 3)), { rule(AdjustRule::Grayscale), rule(AdjustRule::Gamma, 100), rule(12) });
}

void TestAdjustments::inputIsNotModified()
{
    const QImage image = TestSupport::makePhotoLike(40, 30);
    const QImage copy = image.copy();
    const QImage result
        = applyAdjustments(image, { rule(AdjustRule::Sepia), rule(AdjustRule::Brightness, 40) });
    QCOMPARE(image, copy);
    QVERIFY(result != image);
}

// The pipeline hands its only reference over: the rules then work in that image's own memory
// rather than in a full copy of it.
void TestAdjustments::handedOverImageIsNotCopied()
{
    QImage image = TestSupport::makePhotoLike(40, 30);
    const QImage expected
        = applyAdjustments(image, { rule(AdjustRule::Sepia), rule(AdjustRule::Brightness, 40) });
    const uchar *const pixels = image.constBits();
    const QImage result
        = applyAdjustments(std::move(image), { rule(AdjustRule::Sepia), rule(AdjustRule::Brightness, 40) });
    QCOMPARE(result.constBits(), pixels);
    QCOMPARE(result, expected);
}

void TestAdjustments::nullImageGivesNull_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("value");
    for (int kind = 0; kind <= 6; ++kind)
        QTest::addRow("kind %d", kind) << kind << 20;
}

void TestAdjustments::nullImageGivesNull()
{
    QFETCH(int, kind);
    QFETCH(int, value);
    QVERIFY(applyAdjustments(QImage(), { rule(kind, value) }).isNull());
}

void TestAdjustments::grayscale()
{
    const QImage opaque = applyAdjustments(filled(qRgb(200, 100, 50)), { rule(AdjustRule::Grayscale) });
    QCOMPARE(opaque.format(), QImage::Format_Grayscale8);
    QVERIFY(!opaque.hasAlphaChannel());
    const QRgb gray = only(opaque);
    QVERIFY(qRed(gray) == qGreen(gray) && qGreen(gray) == qBlue(gray));
    QVERIFY(qRed(gray) > 50 && qRed(gray) < 200);
    // A picture with transparency keeps it, and its colours turn the same grey.
    const QImage result = applyAdjustments(
        filled(qRgba(200, 100, 50, 128), QImage::Format_ARGB32), { rule(AdjustRule::Grayscale) });
    QCOMPARE(result.format(), QImage::Format_ARGB32);
    QCOMPARE(only(result), qRgba(qRed(gray), qRed(gray), qRed(gray), 128));
}

void TestAdjustments::grayscaleThenSepia()
{
    const QImage result = applyAdjustments(filled(qRgba(128, 128, 128, 60), QImage::Format_ARGB32),
        { rule(AdjustRule::Grayscale), rule(AdjustRule::Sepia) });
    QCOMPARE(result.format(), QImage::Format_ARGB32);
    QCOMPARE(only(result), qRgba(172, 153, 119, 60));
}

void TestAdjustments::sepiaOfMidGray()
{
    const QImage result = onProcessSepia(filled(qRgb(128, 128, 128)));
    QCOMPARE(result.format(), QImage::Format_RGB32);
    QCOMPARE(only(result), qRgb(172, 153, 119));
    // Each new channel comes from the source channels, not from the ones already toned.
    QCOMPARE(only(onProcessSepia(filled(qRgb(100, 50, 200)))), qRgb(115, 102, 80));
    QCOMPARE(only(onProcessSepia(filled(qRgb(255, 255, 255)))), qRgb(255, 255, 238));
}

void TestAdjustments::contrast_data()
{
    QTest::addColumn<int>("k");
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("expected");
    for (int c : { 0, 37, 128, 200, 255 })
        QTest::addRow("-255 on %d", c) << -255 << c << 128;
    // Factor 129.5: one step off the pivot already saturates.
    QTest::newRow("255 on 127") << 255 << 127 << 0;
    QTest::newRow("255 on 128") << 255 << 128 << 128;
    QTest::newRow("255 on 129") << 255 << 129 << 255;
    // Factor 91945 / 40545 = 2.26773 in single precision.
    QTest::newRow("100 on 150") << 100 << 150 << 177;
    QTest::newRow("100 on 60") << 100 << 60 << 0;
    // Factor 40145 / 91545 = 0.438527.
    QTest::newRow("-100 on 150") << -100 << 150 << 137;
    QTest::newRow("-100 on 0") << -100 << 0 << 71;
    QTest::newRow("-100 on 255") << -100 << 255 << 183;
    // k = 259 would divide by 0; the other denominator gives -255 and the factor -522.
    QTest::newRow("259 on 129") << 259 << 129 << 0;
    QTest::newRow("259 on 127") << 259 << 127 << 255;
}

void TestAdjustments::contrast()
{
    QFETCH(int, k);
    QFETCH(int, channel);
    QFETCH(int, expected);
    const QImage result = onProcessContrast(filled(qRgb(channel, channel, channel)), k);
    QCOMPARE(result.format(), QImage::Format_RGB32);
    QCOMPARE(only(result), qRgb(expected, expected, expected));
}

void TestAdjustments::brightnessClampsBetweenRules()
{
    const AdjustRuleList rules = { rule(AdjustRule::Brightness, 100), rule(AdjustRule::Brightness, -100) };
    QCOMPARE(only(applyAdjustments(filled(qRgb(200, 10, 90)), rules)), qRgb(155, 10, 90));
}

void TestAdjustments::gammaTable_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<ChannelMap>("mapping");
    using Map = ChannelMap;
    Map identity;
    for (int c = 0; c < 256; ++c)
        identity.append({ c, c });
    QTest::newRow("-1, gamma 1.00") << -1 << identity;
    QTest::newRow("0, gamma 1.01") << 0 << identity;
    QTest::newRow("100, gamma 2.01") << 100 << Map { { 0, 0 }, { 128, 180 }, { 255, 255 } };
    QTest::newRow("-100, gamma 0.01")
        << -100 << Map { { 1, 0 }, { 128, 0 }, { 241, 0 }, { 254, 172 }, { 255, 255 } };
    QTest::newRow("999, gamma 11.00") << 999 << Map { { 0, 0 }, { 1, 154 }, { 255, 255 } };
}

void TestAdjustments::gammaTable()
{
    QFETCH(int, value);
    QFETCH(ChannelMap, mapping);
    const QImage result = onProcessGamma(ramp(), value);
    QCOMPARE(result.format(), QImage::Format_RGB32);
    for (const auto &[from, to] : mapping)
        QCOMPARE(result.pixel(from, 0), qRgb(to, to, to));
}

void TestAdjustments::invertColors_data()
{
    QTest::addColumn<int>("threshold");
    QTest::addColumn<QRgb>("source");
    QTest::addColumn<QRgb>("expected");
    QTest::newRow("128 inverts the dark channels") << 128 << qRgb(100, 200, 50) << qRgb(155, 200, 205);
    QTest::newRow("channel equal to the threshold stays") << 128 << qRgb(128, 127, 0) << qRgb(128, 128, 255);
    QTest::newRow("255 keeps 255") << 255 << qRgb(255, 254, 0) << qRgb(255, 1, 255);
    QTest::newRow("0 changes nothing") << 0 << qRgb(100, 200, 50) << qRgb(100, 200, 50);
}

void TestAdjustments::invertColors()
{
    QFETCH(int, threshold);
    QFETCH(QRgb, source);
    QFETCH(QRgb, expected);
    QCOMPARE(only(onProcessInvertColors(filled(source), threshold)), expected);
}

void TestAdjustments::neutralValuesStillGiveOpaqueRgb32_data()
{
    QTest::addColumn<AdjustRule>("neutral");
    QTest::newRow("contrast 0") << rule(AdjustRule::Contrast, 0);
    QTest::newRow("brightness 0") << rule(AdjustRule::Brightness, 0);
    QTest::newRow("invert 0") << rule(AdjustRule::InvertColors, 0);
    QTest::newRow("gamma -1") << rule(AdjustRule::Gamma, -1);
    QTest::newRow("gamma 0") << rule(AdjustRule::Gamma, 0);
    QTest::newRow("gamma without value") << rule(AdjustRule::Gamma);
}

void TestAdjustments::neutralValuesStillGiveOpaqueRgb32()
{
    QFETCH(AdjustRule, neutral);
    const QImage source = TestSupport::makePhotoLike(64, 48);
    const QImage result = applyAdjustments(source, { neutral });
    QCOMPARE(result.format(), QImage::Format_RGB32);
    QCOMPARE(result, source.convertToFormat(QImage::Format_RGB32));
    QCOMPARE(qAlpha(result.pixel(63, 0)), 255);
    // With transparency the picture comes back as it was, alpha and all.
    const QImage transparent = TestSupport::makePhotoLike(64, 48, true);
    QCOMPARE(applyAdjustments(transparent, { neutral }), transparent.convertToFormat(QImage::Format_ARGB32));
}

void TestAdjustments::unknownKindIsSkipped()
{
    const QImage source = TestSupport::makePhotoLike(16, 16, true);
    const QImage result
        = applyAdjustments(source, { rule(7), rule(-1, 5), rule(AdjustRule::InvertColors, 256) });
    QCOMPARE(result.format(), QImage::Format_ARGB32);
    const QRgb before = only(source);
    QCOMPARE(
        only(result), qRgba(255 - qRed(before), 255 - qGreen(before), 255 - qBlue(before), qAlpha(before)));
}

// Values only a hand-edited settings file can hold are used as stored, without overflow.
void TestAdjustments::outOfRangeValues()
{
    const QImage gray = filled(qRgb(100, 100, 100));
    QCOMPARE(only(onProcessBrightness(gray, INT_MAX)), qRgb(255, 255, 255));
    QCOMPARE(only(onProcessBrightness(gray, INT_MIN)), qRgb(0, 0, 0));
    // Far outside -255..255 the factor tends to -1.0157 from both sides.
    QCOMPARE(only(onProcessContrast(gray, INT_MAX)), qRgb(156, 156, 156));
    QCOMPARE(only(onProcessContrast(gray, INT_MIN)), qRgb(156, 156, 156));
    const QImage gamma = onProcessGamma(ramp(), INT_MAX);
    QCOMPARE(gamma.pixel(0, 0), qRgb(0, 0, 0));
    // The exponent 1 / 21474838.48 is so small that 1 / 255 comes out just below 1, truncated.
    QCOMPARE(gamma.pixel(1, 0), qRgb(254, 254, 254));
    // A gamma of 0 or less leaves the image alone, format included.
    const QImage argb = filled(qRgba(1, 2, 3, 4), QImage::Format_ARGB32);
    QCOMPARE(onProcessGamma(argb, -101).format(), QImage::Format_ARGB32);
    QCOMPARE(onProcessGamma(argb, INT_MIN).format(), QImage::Format_ARGB32);
}

void TestAdjustments::blurZeroKeepsImageAndFormat()
{
    const QImage source = TestSupport::makePhotoLike(30, 20).convertToFormat(QImage::Format_RGB888);
    for (int radius : { 0, -5 }) {
        const QImage result = applyAdjustments(source, { rule(AdjustRule::GaussianBlur, radius) });
        QCOMPARE(result.format(), QImage::Format_RGB888);
        QCOMPARE(result.constBits(), source.constBits());
    }
}

void TestAdjustments::blurTen()
{
    const QImage source = filled(qRgb(40, 160, 220), QImage::Format_RGB32, QSize(120, 90));
    const QImage result = applyAdjustments(source, { rule(AdjustRule::GaussianBlur, 10) });
    QCOMPARE(result.format(), QImage::Format_ARGB32);
    QCOMPARE(result.size(), source.size());
    // Blended with the transparency beyond the border; the middle keeps colour and opacity.
    for (const QPoint &edge : { QPoint(0, 0), QPoint(60, 0), QPoint(119, 45), QPoint(60, 89) }) {
        const int alpha = qAlpha(result.pixel(edge));
        QVERIFY2(alpha > 0 && alpha < 255, qPrintable(QString::number(alpha)));
    }
    const QRgb middle = result.pixel(60, 45);
    QVERIFY2(qAlpha(middle) >= 250, qPrintable(QString::number(qAlpha(middle))));
    QVERIFY(
        qAbs(qRed(middle) - 40) <= 1 && qAbs(qGreen(middle) - 160) <= 1 && qAbs(qBlue(middle) - 220) <= 1);

    // A sharp edge gets soft.
    QImage edge = filled(qRgb(0, 0, 0), QImage::Format_RGB32, QSize(120, 90));
    for (int y = 0; y < 90; ++y) {
        for (int x = 60; x < 120; ++x)
            edge.setPixel(x, y, qRgb(255, 255, 255));
    }
    const QImage soft = onProcessGaussianBlur(edge, 10);
    QVERIFY(qRed(soft.pixel(58, 45)) > 20);
    QVERIFY(qRed(soft.pixel(61, 45)) < 235);
}

// The pipeline blurs on conversion and preview threads; the result must match the GUI thread's.
void TestAdjustments::blurOnWorkerThread()
{
    const QImage source = TestSupport::makePhotoLike(200, 150);
    const AdjustRuleList rules = { rule(AdjustRule::Sepia), rule(AdjustRule::GaussianBlur, 6) };
    const QImage expected = applyAdjustments(source, rules);
    QImage results[2];
    QThread *threads[2];
    for (int i = 0; i < 2; ++i)
        threads[i] = QThread::create([&, i] {
            for (int round = 0; round < 5; ++round)
                results[i] = applyAdjustments(source, rules);
        });
    for (QThread *thread : threads)
        thread->start();
    for (QThread *thread : threads) {
        QVERIFY(thread->wait(60000));
        delete thread;
    }
    QCOMPARE(results[0], expected);
    QCOMPARE(results[1], expected);
}

// A radius of 10^6 would ask for a padded canvas of terabytes; it is lowered to fit the limit.
void TestAdjustments::hugeBlurRadiusIsLowered()
{
    const QImage source = TestSupport::makePhotoLike(1000, 800);
    const QImage result = applyAdjustments(source, { rule(AdjustRule::GaussianBlur, 1000000) });
    QCOMPARE(result.format(), QImage::Format_ARGB32);
    QCOMPARE(result.size(), source.size());
    // Spread over a canvas many times its size, the picture is a faint, even haze.
    const QRgb a = result.pixel(0, 0);
    const QRgb b = result.pixel(999, 799);
    QVERIFY(qAlpha(a) < 64);
    QVERIFY(qAbs(qAlpha(a) - qAlpha(b)) <= 2);
}

void TestAdjustments::plainBlur()
{
    const QImage source = filled(qRgb(255, 0, 0), QImage::Format_RGB32, QSize(40, 30));
    const QImage result = gaussianBlur(source, 4);
    QCOMPARE(result.size(), QSize(40, 30));
    QCOMPARE(result.format(), QImage::Format_ARGB32);
    const int corner = qAlpha(result.pixel(0, 0));
    QVERIFY2(corner > 0 && corner < 200, qPrintable(QString::number(corner)));
    QCOMPARE(result.pixel(20, 15) & 0xffffff, 0xff0000u);
    QVERIFY(qAlpha(result.pixel(20, 15)) >= 250);

    QVERIFY(gaussianBlur(QImage(), 4).isNull());
    QCOMPARE(gaussianBlur(source, 0), source);
    QCOMPARE(gaussianBlur(source, 1), source.convertToFormat(QImage::Format_ARGB32));
}

void TestAdjustments::blurKeepsItsPixels_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<int>("radius");
    for (const char *picture : { "opaque", "alpha", "gray", "bars" })
        for (int radius : { 1, 2, 3, 5, 8, 13, 30 })
            QTest::addRow("%s, radius %d", picture, radius) << QString::fromLatin1(picture) << radius;
}

// The blur gives exactly the pixels of the QGraphicsBlurEffect it replaced: the references were
// made by that blur. Run on a thread Qt did not start, which the old blur could not serve.
void TestAdjustments::blurKeepsItsPixels()
{
    QFETCH(QString, picture);
    QFETCH(int, radius);
    const QString folder = qEnvironmentVariable("PICTOMAT_TEST_DATA") + QStringLiteral("/blur/");
    const QImage source(folder + picture + QStringLiteral(".png"));
    const QImage expected(folder + QStringLiteral("%1-r%2.png").arg(picture).arg(radius));
    QVERIFY(!source.isNull() && !expected.isNull());
    QImage blurred;
    std::thread worker([&] { blurred = onProcessGaussianBlur(source, radius); });
    worker.join();
    QCOMPARE(blurred.format(), QImage::Format_ARGB32);
    QCOMPARE(blurred, expected.convertToFormat(QImage::Format_ARGB32));
}

void TestAdjustments::ruleToText_data()
{
    QTest::addColumn<AdjustRule>("rule");
    QTest::addColumn<QString>("text");
    AdjustRule contrast = rule(AdjustRule::Contrast, 50);
    contrast.ruleId = 3;
    QTest::newRow("contrast 50 of row 3") << contrast << QStringLiteral("3;2;50;;;;");
    QTest::newRow("grayscale of row 0") << rule(AdjustRule::Grayscale) << QStringLiteral("0;0;;;;;");
    AdjustRule gamma = rule(AdjustRule::Gamma, -100);
    gamma.ruleId = 12;
    QTest::newRow("gamma -100 of row 12") << gamma << QStringLiteral("12;4;-100;;;;");
}

void TestAdjustments::ruleToText()
{
    QFETCH(AdjustRule, rule);
    QFETCH(QString, text);
    QCOMPARE(adjustRuleToText(rule), text);
}

void TestAdjustments::ruleFromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("restored");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("value");
    QTest::newRow("contrast 50") << QStringLiteral("3;2;50;;;;") << true << 2 << 50;
    QTest::newRow("contrast 40 under another row") << QStringLiteral("5;2;40;;;;") << true << 2 << 40;
    QTest::newRow("grayscale") << QStringLiteral("0;0;;;;;") << true << 0 << 0;
    QTest::newRow("blur with an empty value") << QStringLiteral("9;6;;;;;") << true << 6 << 0;
    QTest::newRow("gamma 1000") << QStringLiteral("1;4;1000;;;;") << true << 4 << 1000;
    QTest::newRow("value not a number") << QStringLiteral("1;3;abc;;;;") << true << 3 << 0;
    QTest::newRow("value in the last field is not read") << QStringLiteral("1;3;;;;;77") << true << 3 << 0;
    QTest::newRow("kind 9") << QStringLiteral("7;9;;;;;") << false << 0 << 0;
    QTest::newRow("kind -1") << QStringLiteral("7;-1;;;;;") << false << 0 << 0;
    QTest::newRow("no kind field") << QStringLiteral("7;2") << false << 0 << 0;
    QTest::newRow("empty") << QString() << false << 0 << 0;
}

void TestAdjustments::ruleFromText()
{
    QFETCH(QString, text);
    QFETCH(bool, restored);
    QFETCH(int, kind);
    QFETCH(int, value);
    const std::optional<AdjustRule> rule = adjustRuleFromText(text);
    QCOMPARE(rule.has_value(), restored);
    if (!rule)
        return;
    QCOMPARE(rule->ruleIndex, kind);
    QCOMPARE(rule->value(), value);
    // Kinds without a value keep their slot empty, so they are written back as they came.
    QCOMPARE(rule->values[0].isValid(), kind >= AdjustRule::Contrast);
    if (kind < AdjustRule::Contrast)
        QCOMPARE(adjustRuleToText(*rule), text);
}

void TestAdjustments::renderedPixelFormat_data()
{
    QTest::addColumn<bool>("alphaSource");
    QTest::addColumn<AdjustRuleList>("rules");
    QTest::addColumn<int>("format");
    QTest::newRow("no rule, opaque file") << false << AdjustRuleList() << int(QImage::Format_RGB32);
    QTest::newRow("no rule, file with alpha") << true << AdjustRuleList() << int(QImage::Format_ARGB32);
    QTest::newRow("grayscale") << false << AdjustRuleList { rule(0) } << int(QImage::Format_Grayscale8);
    QTest::newRow("grayscale, file with alpha")
        << true << AdjustRuleList { rule(0) } << int(QImage::Format_ARGB32);
    for (int kind = 1; kind <= 5; ++kind) {
        QTest::addRow("kind %d", kind)
            << false << AdjustRuleList { rule(kind, 30) } << int(QImage::Format_RGB32);
        QTest::addRow("kind %d, file with alpha", kind)
            << true << AdjustRuleList { rule(kind, 30) } << int(QImage::Format_ARGB32);
    }
    QTest::newRow("contrast 0, file with alpha")
        << true << AdjustRuleList { rule(AdjustRule::Contrast, 0) } << int(QImage::Format_ARGB32);
    QTest::newRow("blur") << false << AdjustRuleList { rule(6, 3) } << int(QImage::Format_ARGB32);
    QTest::newRow("blur 0 after grayscale")
        << false << AdjustRuleList { rule(0), rule(6, 0) } << int(QImage::Format_Grayscale8);
}

void TestAdjustments::renderedPixelFormat()
{
    QFETCH(bool, alphaSource);
    QFETCH(AdjustRuleList, rules);
    QFETCH(int, format);
    const QString path
        = dir.filePath(alphaSource ? QStringLiteral("alpha.png") : QStringLiteral("opaque.png"));
    if (!QFile::exists(path))
        QVERIFY(TestSupport::saveImage(TestSupport::makePhotoLike(64, 48, alphaSource), path));
    updateOptions([&](ConversionOptions &o) { o.ruleList = rules; });
    const QImage result = renderImage(path, false);
    QCOMPARE(result.size(), QSize(64, 48));
    QCOMPARE(int(result.format()), format);
    // The rules change colours only: a transparent file keeps its alpha channel as it was.
    if (alphaSource && !rules.isEmpty() && rules.first().ruleIndex != AdjustRule::GaussianBlur)
        QCOMPARE(result.convertToFormat(QImage::Format_Alpha8),
            QImage(path).convertToFormat(QImage::Format_Alpha8));
}

QTEST_MAIN(TestAdjustments)
#include "tst_adjustments.moc"
