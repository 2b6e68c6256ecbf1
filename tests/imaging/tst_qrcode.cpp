// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/conversionoptions.h"
#include "convert/imagewriter.h"
#include "imaging/qrcode.h"
#include "imaging/renderpipeline.h"
#include "plugins/imageformats/common/decodelimits.h"
#include "testsupport.h"

#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

bool isBlack(const QImage &image, int x, int y)
{
    return image.pixel(x, y) == qRgb(0, 0, 0);
}

bool isWhite(const QImage &image, int x, int y)
{
    return image.pixel(x, y) == qRgb(255, 255, 255);
}

bool rowIsWhite(const QImage &image, int y)
{
    for (int x = 0; x < image.width(); ++x) {
        if (!isWhite(image, x, y))
            return false;
    }
    return true;
}

bool columnIsWhite(const QImage &image, int x)
{
    for (int y = 0; y < image.height(); ++y) {
        if (!isWhite(image, x, y))
            return false;
    }
    return true;
}

} // namespace

class TestQrCode : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void versionOneGeometry();
    void quietZoneOfOneModule_data();
    void quietZoneOfOneModule();
    void digitsFitMoreThanLetters();
    void refusals_data();
    void refusals();
    void decodesInConvertedImage_data();
    void decodesInConvertedImage();
    void tooSmallDoesNotDecode();

private:
    QString decode(const QString &text, int size, int margin);
    QTemporaryDir dir;
};

void TestQrCode::initTestCase()
{
    QVERIFY(dir.isValid());
}

void TestQrCode::init()
{
    resetOptions();
    clearLoadCache();
}

// "abc" is a version 1 symbol: 21 modules plus a quiet module on each side, 250 / 23 pixels each.
void TestQrCode::versionOneGeometry()
{
    const QImage image = createQrCodeImage(QStringLiteral("abc"), 250);
    QCOMPARE(image.size(), QSize(250, 250));
    QVERIFY(!image.hasAlphaChannel());
    const double m = 250.0 / 23.0;
    // The top-left finder pattern: dark outer ring from m to 8m, light ring, dark 3x3 core.
    QVERIFY(isWhite(image, 10, 10));
    QVERIFY(isBlack(image, 11, 11));
    QVERIFY(isBlack(image, 86, 11));
    QVERIFY(isWhite(image, 87, 30));
    QVERIFY(isWhite(image, int(2.5 * m), int(2.5 * m)));
    QVERIFY(isBlack(image, int(4.5 * m), int(4.5 * m)));
    // The top-right finder pattern ends at column 21, i.e. at 22m = 239.13.
    QVERIFY(isBlack(image, 238, 11));
    QVERIFY(isWhite(image, 239, 11));
    QVERIFY(isBlack(image, int(15.5 * m), int(1.5 * m)));
    // Timing pattern on row 6 between the finders: modules 8..12 alternate dark, light, dark.
    const int row = int(7.5 * m);
    QVERIFY(isBlack(image, int(9.5 * m), row));
    QVERIFY(isWhite(image, int(10.5 * m), row));
    QVERIFY(isBlack(image, int(11.5 * m), row));
    QVERIFY(isWhite(image, int(12.5 * m), row));
    // The quiet zone is one module: pixel rows and columns 0..10 and 240..249 are white.
    for (int i = 0; i <= 10; ++i) {
        QVERIFY2(rowIsWhite(image, i), qPrintable(QString::number(i)));
        QVERIFY2(columnIsWhite(image, i), qPrintable(QString::number(i)));
    }
    for (int i = 239; i < 250; ++i) {
        QVERIFY2(rowIsWhite(image, i), qPrintable(QString::number(i)));
        QVERIFY2(columnIsWhite(image, i), qPrintable(QString::number(i)));
    }
    QVERIFY(!rowIsWhite(image, 11));
    QVERIFY(!rowIsWhite(image, 238));
}

void TestQrCode::quietZoneOfOneModule_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("side");
    QTest::addColumn<int>("modules");
    QTest::newRow("version 1") << QStringLiteral("abc") << 1000 << 21;
    QTest::newRow("version 40") << QString(2900, QLatin1Char('x')) << 1000 << 177;
}

// Whatever the version, exactly one module of white surrounds the symbol.
void TestQrCode::quietZoneOfOneModule()
{
    QFETCH(QString, text);
    QFETCH(int, side);
    QFETCH(int, modules);
    const QImage image = createQrCodeImage(text, side);
    QCOMPARE(image.size(), QSize(side, side));
    const double m = double(side) / (modules + 2);
    const int firstDark = int(std::ceil(m - 0.5));
    const int lastDark = int(std::ceil(side - m - 0.5)) - 1;
    QVERIFY(rowIsWhite(image, firstDark - 1));
    QVERIFY(!rowIsWhite(image, firstDark));
    QVERIFY(columnIsWhite(image, firstDark - 1));
    QVERIFY(!columnIsWhite(image, firstDark));
    QVERIFY(!rowIsWhite(image, lastDark));
    QVERIFY(rowIsWhite(image, lastDark + 1));
    QVERIFY(!columnIsWhite(image, lastDark));
    QVERIFY(columnIsWhite(image, lastDark + 1));
}

// Numeric mode packs 7089 digits into the largest symbol; lower-case letters need byte mode.
void TestQrCode::digitsFitMoreThanLetters()
{
    QVERIFY(!createQrCodeImage(QString(7089, QLatin1Char('7')), 400).isNull());
    QVERIFY(createQrCodeImage(QString(7090, QLatin1Char('7')), 400).isNull());
    QVERIFY(!createQrCodeImage(QString(2953, QLatin1Char('a')), 400).isNull());
    QVERIFY(createQrCodeImage(QString(2954, QLatin1Char('a')), 400).isNull());
}

void TestQrCode::refusals_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("side");
    QTest::newRow("text too long") << QString(5000, QLatin1Char('a')) << 100;
    QTest::newRow("multi-byte text too long") << QString(1000, QChar(0x65E5)) << 100;
    QTest::newRow("side 0") << QStringLiteral("abc") << 0;
    QTest::newRow("negative side") << QStringLiteral("abc") << -5;
    QTest::newRow("side 10^6") << QStringLiteral("abc") << 1000000;
}

void TestQrCode::refusals()
{
    QFETCH(QString, text);
    QFETCH(int, side);
    QVERIFY(createQrCodeImage(text, side).isNull());
}

QString TestQrCode::decode(const QString &text, int size, int margin)
{
    const QString source = dir.filePath(QStringLiteral("qr-source.png"));
    const QString target = dir.filePath(QStringLiteral("qr-%1.png").arg(size));
    if (!QFile::exists(source) && !TestSupport::saveImage(TestSupport::makePhotoLike(640, 480), source))
        return QStringLiteral("<no source>");
    updateOptions([&](ConversionOptions &o) {
        o.qrCodeText = text;
        o.qrCodeSize = size;
        o.qrCodePosition = 0;
        o.qrCodeMargin = margin;
    });
    const QImage rendered = renderImage(source, false);
    if (rendered.isNull() || !writeImageFile(rendered, target, 95))
        return QStringLiteral("<not written>");
    // Only standard output: zbarimg reports unrelated D-Bus trouble on standard error.
    QProcess zbarimg;
    zbarimg.start(QStringLiteral("zbarimg"), { QStringLiteral("--raw"), QStringLiteral("-q"), target });
    if (!zbarimg.waitForFinished(60000) || zbarimg.exitCode() != 0)
        return QString();
    QByteArray output = zbarimg.readAllStandardOutput();
    if (output.endsWith('\n'))
        output.chop(1);
    return QString::fromUtf8(output);
}

void TestQrCode::decodesInConvertedImage_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("size");
    QTest::newRow("plain ASCII") << QStringLiteral("Larkspan Pictomat 4.3 - https://example.org/?q=1&x=2")
                                 << 200;
    QTest::newRow("non-ASCII with line breaks")
        << QStringLiteral("Grüße aus Köln\nΕλληνικά und 日本語\r\nletzte Zeile €") << 300;
    // One pixel per module: 21 modules and the two quiet ones.
    QTest::newRow("smallest size that decodes") << QStringLiteral("abc") << 23;
}

void TestQrCode::decodesInConvertedImage()
{
    if (!TestSupport::haveTool(QStringLiteral("zbarimg")))
        QSKIP("zbarimg is not installed (package zbar-tools)");
    QFETCH(QString, text);
    QFETCH(int, size);
    QCOMPARE(decode(text, size, 12), text);
}

// Below one pixel per module the symbol is drawn but no longer readable.
void TestQrCode::tooSmallDoesNotDecode()
{
    if (!TestSupport::haveTool(QStringLiteral("zbarimg")))
        QSKIP("zbarimg is not installed (package zbar-tools)");
    QCOMPARE(decode(QStringLiteral("abc"), 22, 12), QString());
}

QTEST_MAIN(TestQrCode)
#include "tst_qrcode.moc"
