// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/conversionoptions.h"
#include "imaging/renderpipeline.h"
#include "imaging/watermarks.h"
#include "plugins/imageformats/common/decodelimits.h"
#include "testsupport.h"

#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The smallest rectangle holding every pixel for which `marked` is true.
template <typename Marked> QRect boundsOf(const QImage &image, Marked &&marked)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (marked(image.pixel(x, y)))
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

QRect opaqueBounds(const QImage &layer)
{
    return boundsOf(layer, [](QRgb p) { return qAlpha(p) > 0; });
}

// Pixels clearly away from white.
QRect inkBounds(const QImage &image)
{
    return boundsOf(image, [](QRgb p) { return qGray(p) < 128; });
}

QImage transparentLayer(int width, int height)
{
    QImage layer = TestSupport::filledImage(QSize(width, height), 0, QImage::Format_ARGB32);
    return layer;
}

QImage solid(int width, int height, QColor color)
{
    QImage image = TestSupport::filledImage(QSize(width, height), color, QImage::Format_ARGB32);
    return image;
}

} // namespace

class TestWatermarks : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void placement_data();
    void placement();
    void placementKeepsHugeOffsetsInRange();
    void imageWatermarkAtEveryPosition_data();
    void imageWatermarkAtEveryPosition();
    void imageWatermarkSize();
    void imageWatermarkLargerThanLayerIsCut();
    void unreadableImageDrawsNothing();
    void textPlacement_data();
    void textPlacement();
    void textIsBoldInItsColour();
    void opacityBlendsHalf();
    void semiTransparentPixelsCompositedOnce_data();
    void semiTransparentPixelsCompositedOnce();
    void overlapOrder();
    void scalingHalvesEveryWatermark();
    void hugeValuesDoNotExhaustMemory_data();
    void hugeValuesDoNotExhaustMemory();
    void tooLongQrTextSkipsOnlyTheQrCode();

private:
    QString writeSource(const QString &name, const QImage &image);
    QString picturePath;
    QTemporaryDir dir;
};

void TestWatermarks::initTestCase()
{
    QVERIFY(dir.isValid());
    picturePath = writeSource(QStringLiteral("picture.png"), solid(200, 100, Qt::red));
}

void TestWatermarks::init()
{
    resetOptions();
    clearLoadCache();
}

QString TestWatermarks::writeSource(const QString &name, const QImage &image)
{
    const QString path = dir.filePath(name);
    if (!TestSupport::saveImage(image, path))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestWatermarks::placement_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("margin");
    QTest::addColumn<QSize>("layer");
    QTest::addColumn<QSize>("mark");
    QTest::addColumn<QRect>("expected");
    const QSize layer(1000, 800);
    const QSize mark(200, 100);
    QTest::newRow("0 top left") << 0 << 10 << layer << mark << QRect(10, 10, 200, 100);
    QTest::newRow("1 top centre") << 1 << 10 << layer << mark << QRect(400, 10, 200, 100);
    QTest::newRow("2 top right") << 2 << 10 << layer << mark << QRect(790, 10, 200, 100);
    QTest::newRow("3 centre left") << 3 << 10 << layer << mark << QRect(10, 350, 200, 100);
    QTest::newRow("4 centre") << 4 << 10 << layer << mark << QRect(400, 350, 200, 100);
    QTest::newRow("5 centre right") << 5 << 10 << layer << mark << QRect(790, 350, 200, 100);
    QTest::newRow("6 bottom left") << 6 << 10 << layer << mark << QRect(10, 690, 200, 100);
    QTest::newRow("7 bottom centre") << 7 << 10 << layer << mark << QRect(400, 690, 200, 100);
    QTest::newRow("8 bottom right") << 8 << 10 << layer << mark << QRect(790, 690, 200, 100);
    QTest::newRow("half size centred") << 4 << 10 << layer << QSize(100, 50) << QRect(450, 375, 100, 50);
    QTest::newRow("odd width truncates") << 1 << 0 << QSize(1001, 800) << mark << QRect(400, 0, 200, 100);
    QTest::newRow("larger than layer")
        << 4 << 0 << QSize(200, 200) << QSize(300, 300) << QRect(-50, -50, 300, 300);
    QTest::newRow("position 9") << 9 << 10 << layer << mark << QRect();
    QTest::newRow("position -1") << -1 << 10 << layer << mark << QRect();
}

void TestWatermarks::placement()
{
    QFETCH(int, position);
    QFETCH(int, margin);
    QFETCH(QSize, layer);
    QFETCH(QSize, mark);
    QFETCH(QRect, expected);
    QCOMPARE(placeWatermarkRect(position, margin, layer.width(), layer.height(), mark.width(), mark.height()),
        expected);
}

// A margin from a hand-edited settings file: the rectangle lies off the layer, its size intact.
void TestWatermarks::placementKeepsHugeOffsetsInRange()
{
    const QRect layer(0, 0, 1000, 800);
    for (int position = 0; position < 9; ++position) {
        for (int margin : { INT_MAX, INT_MIN + 1 }) {
            const QRect rect = placeWatermarkRect(position, margin, 1000, 800, 200, 100);
            QCOMPARE(rect.size(), QSize(200, 100));
            if (position != 4)
                QVERIFY2(!rect.intersects(layer), qPrintable(QString::number(position)));
        }
    }
}

void TestWatermarks::imageWatermarkAtEveryPosition_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QPoint>("topLeft");
    QTest::newRow("0") << 0 << QPoint(10, 10);
    QTest::newRow("1") << 1 << QPoint(400, 10);
    QTest::newRow("2") << 2 << QPoint(790, 10);
    QTest::newRow("3") << 3 << QPoint(10, 350);
    QTest::newRow("4") << 4 << QPoint(400, 350);
    QTest::newRow("5") << 5 << QPoint(790, 350);
    QTest::newRow("6") << 6 << QPoint(10, 690);
    QTest::newRow("7") << 7 << QPoint(400, 690);
    QTest::newRow("8") << 8 << QPoint(790, 690);
}

void TestWatermarks::imageWatermarkAtEveryPosition()
{
    QFETCH(int, position);
    QFETCH(QPoint, topLeft);
    ConversionOptions options;
    options.imagePath = picturePath;
    options.imagePosition = position;
    options.imageMargin = 10;
    QImage layer = transparentLayer(1000, 800);
    QVERIFY(drawWatermarks(layer, options));
    QCOMPARE(opaqueBounds(layer), QRect(topLeft, QSize(200, 100)));
    QCOMPARE(layer.pixel(topLeft + QPoint(100, 50)), qRgb(255, 0, 0));
}

void TestWatermarks::imageWatermarkSize()
{
    ConversionOptions options;
    options.imagePath = picturePath;
    options.imagePosition = 4;
    options.imageMargin = 10;
    options.imageSize = 50;
    QImage layer = transparentLayer(1000, 800);
    QVERIFY(drawWatermarks(layer, options));
    QCOMPARE(opaqueBounds(layer), QRect(450, 375, 100, 50));

    // 33 percent in single precision: 200 x 0.33 = 66.0000..., 100 x 0.33 = 33.0000...
    options.imageSize = 33;
    layer = transparentLayer(1000, 800);
    QVERIFY(drawWatermarks(layer, options));
    QCOMPARE(opaqueBounds(layer).size(), QSize(66, 33));

    options.imageSize = 0;
    layer = transparentLayer(1000, 800);
    QVERIFY(drawWatermarks(layer, options));
    QVERIFY(opaqueBounds(layer).isNull());
}

void TestWatermarks::imageWatermarkLargerThanLayerIsCut()
{
    ConversionOptions options;
    options.imagePath = writeSource(QStringLiteral("big.png"), solid(300, 300, Qt::blue));
    options.imagePosition = 4;
    QImage layer = transparentLayer(200, 200);
    QVERIFY(drawWatermarks(layer, options));
    QCOMPARE(opaqueBounds(layer), QRect(0, 0, 200, 200));
    QCOMPARE(layer.pixel(0, 0), qRgb(0, 0, 255));
}

void TestWatermarks::unreadableImageDrawsNothing()
{
    QFile junk(dir.filePath(QStringLiteral("junk.png")));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("not a picture");
    junk.close();
    for (const QString &path : { junk.fileName(), dir.path(), dir.filePath(QStringLiteral("missing.png")) }) {
        ConversionOptions options;
        options.imagePath = path;
        QImage layer = transparentLayer(100, 100);
        QVERIFY(drawWatermarks(layer, options));
        QVERIFY(opaqueBounds(layer).isNull());
    }
}

void TestWatermarks::textPlacement_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("horizontal"); // -1 left, 0 centre, 1 right
    QTest::addColumn<int>("vertical");
    for (int position = 0; position < 9; ++position)
        QTest::addRow("%d", position) << position << position % 3 - 1 << position / 3 - 1;
    QTest::newRow("out of range draws bottom right") << 12 << 1 << 1;
}

// The text sits against the rectangle inset by the margin, centred on the layer's centre lines.
void TestWatermarks::textPlacement()
{
    QFETCH(int, position);
    QFETCH(int, horizontal);
    QFETCH(int, vertical);
    ConversionOptions options;
    options.textContent = QStringLiteral("WWW");
    options.textSize = 24;
    options.textPosition = position;
    options.textMargin = 40;
    const int width = 600;
    const int height = 400;
    QImage layer = transparentLayer(width, height);
    QVERIFY(drawWatermarks(layer, options));
    const QRect ink = opaqueBounds(layer);
    QVERIFY(!ink.isNull());
    const QFontMetrics metrics(QFont(options.textFont.family(), 24, 700), &layer);
    const int slack = metrics.descent() + 4;
    switch (horizontal) {
    case -1:
        QVERIFY2(ink.left() >= 40 && ink.left() <= 40 + 4, qPrintable(QString::number(ink.left())));
        break;
    case 0:
        QVERIFY2(qAbs(ink.center().x() - width / 2) <= 3, qPrintable(QString::number(ink.center().x())));
        break;
    default:
        QVERIFY2(ink.right() < width - 40 && ink.right() >= width - 40 - 4,
            qPrintable(QString::number(ink.right())));
    }
    switch (vertical) {
    case -1:
        QVERIFY2(ink.top() >= 40 && ink.top() <= 40 + slack, qPrintable(QString::number(ink.top())));
        break;
    case 0:
        QVERIFY2(qAbs(ink.center().y() - height / 2) <= slack, qPrintable(QString::number(ink.center().y())));
        break;
    default:
        QVERIFY2(ink.bottom() < height - 40 && ink.bottom() >= height - 40 - slack,
            qPrintable(QString::number(ink.bottom())));
    }
    // Pixels: 24 points on a 96 dpi layer are 32 pixels, the cap height about 23.
    QVERIFY2(ink.height() >= 20 && ink.height() <= 32, qPrintable(QString::number(ink.height())));
}

void TestWatermarks::textIsBoldInItsColour()
{
    ConversionOptions options;
    options.textContent = QStringLiteral("I");
    options.textSize = 60;
    options.textColor = QColor(10, 200, 30);
    options.textPosition = 4;
    QImage bold = transparentLayer(300, 300);
    QVERIFY(drawWatermarks(bold, options));
    QCOMPARE(bold.pixel(opaqueBounds(bold).center()), qRgb(10, 200, 30));

    QImage regular = transparentLayer(300, 300);
    QPainter painter(&regular);
    painter.setFont(QFont(options.textFont.family(), 60, 400));
    painter.drawText(regular.rect(), Qt::AlignCenter, QStringLiteral("I"));
    painter.end();
    QVERIFY(opaqueBounds(bold).width() > opaqueBounds(regular).width());
}

// Over a white source, black at opacity 50 becomes mid-gray; the opaque picture stays opaque.
void TestWatermarks::opacityBlendsHalf()
{
    const QString source = writeSource(QStringLiteral("white.png"), solid(400, 300, Qt::white));
    updateOptions([&](ConversionOptions &o) {
        o.textContent = QStringLiteral("I");
        o.textSize = 80;
        o.textColor = Qt::black;
        o.textPosition = 0;
        o.textOpacity = 50;
        o.imagePath = writeSource(QStringLiteral("black.png"), solid(100, 100, Qt::black));
        o.imagePosition = 8;
        o.imageOpacity = 50;
    });
    QImage rendered = renderImage(source, false);
    QVERIFY(!rendered.isNull());
    const QRgb picture = rendered.pixel(350, 250);
    QVERIFY2(qAbs(qRed(picture) - 128) <= 1 && qRed(picture) == qBlue(picture),
        qPrintable(QString::number(picture, 16)));
    // The text's fully covered pixels, top left, away from the picture.
    int darkest = 255;
    for (int y = 0; y < 150; ++y) {
        for (int x = 0; x < 150; ++x)
            darkest = qMin(darkest, qRed(rendered.pixel(x, y)));
    }
    QVERIFY2(qAbs(darkest - 128) <= 1, qPrintable(QString::number(darkest)));

    updateOptions([](ConversionOptions &o) { o.imageOpacity = 100; });
    rendered = renderImage(source, false);
    QCOMPARE(rendered.pixel(350, 250) & 0xffffff, 0u);
}

void TestWatermarks::semiTransparentPixelsCompositedOnce_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("format");
    for (const QString kind : { "text", "picture", "qr code" }) {
        QTest::addRow("%s, 16-bit RGBA", qPrintable(kind)) << kind << int(QImage::Format_RGBA64);
        QTest::addRow("%s, 8-bit RGBA", qPrintable(kind)) << kind << int(QImage::Format_ARGB32);
    }
}

// A source with bands of alpha 1, 0.8, 0.5, 0.2, 1/255 and 0 (with a hidden colour), as photo
// editors write them, and a watermark of each kind in the bottom-right corner: every pixel away
// from the watermark comes out exactly as it went in, and a half-covered one is mixed once.
void TestWatermarks::semiTransparentPixelsCompositedOnce()
{
    QFETCH(QString, kind);
    QFETCH(int, format);
    const QList<QColor> bands { QColor(10, 200, 30, 255), QColor(255, 0, 0, 204), QColor(0, 255, 0, 51),
        QColor(90, 60, 30, 1), QColor(0, 200, 200, 0), QColor(0, 0, 255, 128) };
    QImage image(20 * int(bands.size()), 60, QImage::Format(format));
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixelColor(x, y, bands.at(x / 20));
    }
    const QString source = writeSource(QStringLiteral("alpha-%1.png").arg(format), image);
    const QImage original(source);
    QCOMPARE(original.format(), QImage::Format(format));
    updateOptions([&](ConversionOptions &o) {
        if (kind == QLatin1String("text")) {
            o.textContent = QStringLiteral("X");
            o.textSize = 8;
            o.textColor = Qt::white;
        } else if (kind == QLatin1String("picture")) {
            o.imagePath = writeSource(QStringLiteral("red.png"), solid(20, 20, Qt::red));
            o.imageOpacity = 50;
        } else {
            o.qrCodeText = QStringLiteral("Q");
            o.qrCodeSize = 20;
        }
    });
    const QImage rendered = renderImage(source, false);
    QCOMPARE(rendered.size(), original.size());
    // The watermark stays within the last band, the 20 x 20 corner and the rows above it.
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (x >= 100 && y >= 20)
                continue;
            const QRgba64 in = original.pixelColor(x, y).rgba64(), out = rendered.pixelColor(x, y).rgba64();
            QVERIFY2(in == out,
                qPrintable(QStringLiteral("(%1,%2): %3 became %4")
                               .arg(x)
                               .arg(y)
                               .arg(original.pixelColor(x, y).name(QColor::HexArgb),
                                   rendered.pixelColor(x, y).name(QColor::HexArgb))));
        }
    }
    if (kind == QLatin1String("picture")) {
        // Red at half opacity over (0, 0, 255, 0.5): alpha 0.75, red 2/3, blue 1/3.
        const QColor mixed = rendered.pixelColor(110, 50);
        QVERIFY2(qAbs(mixed.red() - 170) <= 1 && mixed.green() == 0 && qAbs(mixed.blue() - 85) <= 1
                && qAbs(mixed.alpha() - 191) <= 1,
            qPrintable(mixed.name(QColor::HexArgb)));
    }
}

// Text, picture and QR code at one position: the QR code is on top, the text at the bottom.
void TestWatermarks::overlapOrder()
{
    ConversionOptions options;
    options.textContent = QStringLiteral("█");
    options.textSize = 200;
    options.textColor = Qt::green;
    options.textPosition = 4;
    options.imagePath = writeSource(QStringLiteral("red.png"), solid(160, 160, Qt::red));
    options.imagePosition = 4;
    options.qrCodeText = QStringLiteral("overlap");
    options.qrCodeSize = 80;
    options.qrCodePosition = 4;
    QImage layer = transparentLayer(400, 400);
    QVERIFY(drawWatermarks(layer, options));
    // The QR code's white quiet zone covers the picture; the picture covers the text.
    QCOMPARE(layer.pixel(161, 200), qRgb(255, 255, 255));
    QCOMPARE(layer.pixel(130, 200), qRgb(255, 0, 0));
    QCOMPARE(layer.pixel(200, 125), qRgb(255, 0, 0));
    // Outside the picture, the text shows.
    QCOMPARE(layer.pixel(200, 110), qRgb(0, 255, 0));
}

// Watermarks are placed on the source; scaling the output to 50 percent halves all of them.
void TestWatermarks::scalingHalvesEveryWatermark()
{
    const QString source = writeSource(QStringLiteral("white-800.png"), solid(800, 600, Qt::white));
    updateOptions([&](ConversionOptions &o) {
        o.imagePath = writeSource(QStringLiteral("black-200.png"), solid(200, 100, Qt::black));
        o.imagePosition = 0;
        o.imageMargin = 20;
        o.qrCodeText = QStringLiteral("half");
        o.qrCodeSize = 200;
        o.qrCodePosition = 8;
        o.qrCodeMargin = 40;
        o.textContent = QStringLiteral("I");
        o.textSize = 120;
        o.textPosition = 6;
        o.textMargin = 30;
    });
    const QImage full = renderImage(source, false);
    updateOptions([](ConversionOptions &o) {
        o.scaleImage = true;
        o.scaleType = 0;
        o.scalePercentage = 50;
    });
    const QImage half = renderImage(source, false);
    QCOMPARE(half.size(), QSize(400, 300));

    const QRect regions[] = { QRect(0, 0, 400, 200), QRect(400, 300, 400, 300), QRect(0, 300, 400, 300) };
    for (const QRect &region : regions) {
        const QRect big = inkBounds(full.copy(region)).translated(region.topLeft());
        const QRect halfRegion(region.topLeft() / 2, region.size() / 2);
        const QRect small = inkBounds(half.copy(halfRegion)).translated(halfRegion.topLeft());
        QVERIFY(!big.isNull());
        const auto near = [](int a, int b) { return qAbs(a - b) <= 1; };
        QVERIFY2(near(small.left(), big.left() / 2) && near(small.top(), big.top() / 2)
                && near(small.width(), big.width() / 2) && near(small.height(), big.height() / 2),
            qPrintable(QStringLiteral("%1,%2 %3x%4 vs %5,%6 %7x%8")
                           .arg(big.x())
                           .arg(big.y())
                           .arg(big.width())
                           .arg(big.height())
                           .arg(small.x())
                           .arg(small.y())
                           .arg(small.width())
                           .arg(small.height())));
    }
    QCOMPARE(inkBounds(full.copy(0, 0, 400, 200)), QRect(20, 20, 200, 100));
}

void TestWatermarks::hugeValuesDoNotExhaustMemory_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<bool>("renders");
    QTest::newRow("image size 10^6 percent") << QStringLiteral("imageSize") << false;
    QTest::newRow("QR size 10^6") << QStringLiteral("qrCodeSize") << false;
    QTest::newRow("text size 10^6") << QStringLiteral("textSize") << true;
    QTest::newRow("margins 2^31-1") << QStringLiteral("margins") << true;
}

// Settings-file values no widget allows: either a sensible picture or a null render, quickly.
void TestWatermarks::hugeValuesDoNotExhaustMemory()
{
    QFETCH(QString, option);
    QFETCH(bool, renders);
    const QString source = writeSource(QStringLiteral("huge-source.png"), solid(1000, 800, Qt::white));
    updateOptions([&](ConversionOptions &o) {
        o.textContent = QStringLiteral("I");
        o.textPosition = 4;
        o.imagePath = picturePath;
        o.qrCodeText = QStringLiteral("huge");
        if (option == QLatin1String("imageSize"))
            o.imageSize = 1000000;
        else if (option == QLatin1String("qrCodeSize"))
            o.qrCodeSize = 1000000;
        else if (option == QLatin1String("textSize"))
            o.textSize = 1000000;
        else
            o.textMargin = o.imageMargin = o.qrCodeMargin = INT_MAX;
    });
    const QImage rendered = renderImage(source, false);
    QCOMPARE(!rendered.isNull(), renders);
    if (option == QLatin1String("textSize")) {
        // A glyph that large covers the whole image; it must not come out as rasterizer garbage.
        QCOMPARE(rendered.pixel(0, 0) & 0xffffff, 0u);
        QCOMPARE(rendered.pixel(999, 0) & 0xffffff, 0u);
        QCOMPARE(rendered.pixel(0, 799) & 0xffffff, 0u);
    }
}

void TestWatermarks::tooLongQrTextSkipsOnlyTheQrCode()
{
    const QString source = writeSource(QStringLiteral("long-qr.png"), solid(600, 400, Qt::white));
    updateOptions([&](ConversionOptions &o) {
        o.textContent = QStringLiteral("I");
        o.textSize = 60;
        o.textPosition = 0;
        o.imagePath = picturePath;
        o.imagePosition = 8;
        o.qrCodeText = QString(3000, QLatin1Char('q'));
        o.qrCodePosition = 4;
    });
    const QImage rendered = renderImage(source, false);
    QVERIFY(!rendered.isNull());
    QCOMPARE(rendered.pixel(500, 350), qRgb(255, 0, 0));
    QVERIFY(!inkBounds(rendered.copy(0, 0, 200, 200)).isNull());
    QCOMPARE(rendered.pixel(300, 200), qRgb(255, 255, 255));
}

QTEST_MAIN(TestWatermarks)
#include "tst_watermarks.moc"
