// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/conversionoptions.h"
#include "imaging/qrcode.h"
#include "imaging/renderpipeline.h"
#include "testsupport.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

const QString qrText = QStringLiteral("https://example.org/relative");

// The smallest rectangle holding every pixel that is not near white.
QRect markedArea(const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    int left = rgb.width(), top = rgb.height(), right = -1, bottom = -1;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            if (qGray(line[x]) > 200)
                continue;
            left = qMin(left, x), right = qMax(right, x);
            top = qMin(top, y), bottom = qMax(bottom, y);
        }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

QString rectText(const QRect &r)
{
    return QString("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

bool near(const QRect &a, const QRect &b, int tolerance)
{
    return qAbs(a.left() - b.left()) <= tolerance && qAbs(a.top() - b.top()) <= tolerance
        && qAbs(a.width() - b.width()) <= tolerance && qAbs(a.height() - b.height()) <= tolerance;
}

} // namespace

// A 6000- and a 1500-pixel source, both scaled to 1000 pixels wide: relative watermark sizes give
// the same watermark on both, drawn before or after the resize; drawn after the resize, absolute
// sizes are output pixels.
class TestRelativeWatermarks : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;

    QString whiteSource(int width)
    {
        const QString path = dir.filePath(QString("white%1.png").arg(width));
        QImage image = TestSupport::filledImage(QSize(width, width * 2 / 3), Qt::white);
        if (!QFileInfo::exists(path) && !image.save(path))
            qFatal("cannot write fixture");
        return path;
    }

private Q_SLOTS:
    void init()
    {
        resetOptions();
        clearLoadCache();
    }

    void watermarkOnLargeAndSmallSource_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("relative");
        QTest::addColumn<bool>("afterScaling");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("same"); // the same watermark on both results
        QTest::addColumn<int>("expectedWidth"); // of the marked area on the 1000-pixel result; 0: any
        const int qr200 = markedArea(createQrCodeImage(qrText, 200)).width();
        const int qr100 = markedArea(createQrCodeImage(qrText, 100)).width();
        for (const bool after : { false, true }) {
            const char *when = after ? "after" : "before";
            QTest::addRow("relative qr %s", when) << "qr" << true << after << 20 << true << qr200;
            QTest::addRow("relative picture %s", when) << "picture" << true << after << 25 << true << 250;
            QTest::addRow("relative text %s", when) << "text" << true << after << 5 << true << 0;
        }
        QTest::newRow("qr after") << "qr" << false << true << 100 << true << qr100;
        QTest::newRow("picture after") << "picture" << false << true << 50 << true << 40;
        QTest::newRow("text after") << "text" << false << true << 30 << true << 0;
        QTest::newRow("qr before") << "qr" << false << false << 100 << false << 0;
        QTest::newRow("text before") << "text" << false << false << 30 << false << 0;
    }

    void watermarkOnLargeAndSmallSource()
    {
        QFETCH(QString, kind);
        QFETCH(bool, relative);
        QFETCH(bool, afterScaling);
        QFETCH(int, size);
        QFETCH(bool, same);
        QFETCH(int, expectedWidth);
        const QString mark = dir.filePath("mark.png");
        QImage black = TestSupport::filledImage(QSize(80, 40), Qt::black);
        QVERIFY(black.save(mark));
        updateOptions([&](ConversionOptions &o) {
            o.scaleImage = true;
            o.scaleType = 2;
            o.scaleRelativeWidth = 1000;
            o.watermarksAfterScaling = afterScaling;
            if (kind == "qr") {
                o.qrCodeText = qrText;
                o.qrCodeSize = size;
                o.qrCodeSizeRelative = relative;
            } else if (kind == "picture") {
                o.imagePath = mark;
                o.imageSize = size;
                o.imageSizeRelative = relative;
            } else {
                o.textContent = "Relative";
                o.textSize = size;
                o.textSizeRelative = relative;
                o.textPosition = 4;
            }
        });
        QList<QRect> areas;
        for (const int width : { 6000, 1500 }) {
            const QImage result = renderImage(whiteSource(width), false, LoadCacheUse::Bypass);
            QCOMPARE(result.size(), QSize(1000, 667));
            areas.append(markedArea(result));
            QVERIFY(!areas.last().isEmpty());
        }
        const QString both = rectText(areas[0]) + " and " + rectText(areas[1]);
        // Drawn on the source, each is resampled once: a pixel or two at an edge, a little more for
        // glyphs hinted at two sizes.
        const int tolerance = afterScaling ? 0 : qMax(2, areas[1].width() / 50);
        QVERIFY2(near(areas[0], areas[1], tolerance) == same, qPrintable(both));
        if (expectedWidth > 0)
            QVERIFY2(qAbs(areas[0].width() - expectedWidth) <= tolerance, qPrintable(both));
        if (kind == "text" && relative) // 5 % of 1000 pixels high: the ink is most of that
            QVERIFY2(areas[0].height() >= 30 && areas[0].height() <= 50, qPrintable(both));
        if (kind == "qr" || kind == "picture") // at the bottom-right corner
            QVERIFY2(qAbs(areas[0].right() - 999) <= tolerance + 8, qPrintable(both));
    }
};

QTEST_MAIN(TestRelativeWatermarks)
#include "tst_relativewatermarks.moc"
