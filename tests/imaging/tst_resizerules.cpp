#include "convert/conversionoptions.h"
#include "imaging/scaling.h"

#include <QTest>

// The resize choices beyond the three modes: do not enlarge, keep the aspect ratio of an absolute
// size, and the long or short edge of the relative mode.
class TestResizeRules : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sizes_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("relativeTo");
        QTest::addColumn<bool>("noEnlarge");
        QTest::addColumn<bool>("keepAspect");
        QTest::addColumn<QSize>("source");
        QTest::addColumn<QSize>("expected");
        // Absolute box 1920 x 1080 (the defaults); relative width/height 1920/1080, edge 1600.
        QTest::newRow("absolute stretches")
            << 1 << 0 << false << false << QSize(4000, 3000) << QSize(1920, 1080);
        QTest::newRow("aspect, height binds")
            << 1 << 0 << false << true << QSize(4000, 3000) << QSize(1440, 1080);
        // The free side is rounded as in the relative mode: 1000 * 1920 / 4000 is 480 exactly.
        QTest::newRow("aspect, width binds")
            << 1 << 0 << false << true << QSize(4000, 1000) << QSize(1920, 480);
        QTest::newRow("aspect, rounds half up")
            << 1 << 0 << false << true << QSize(3840, 1001) << QSize(1920, 501);
        QTest::newRow("aspect, portrait") << 1 << 0 << false << true << QSize(3000, 4000) << QSize(810, 1080);
        QTest::newRow("aspect enlarges") << 1 << 0 << false << true << QSize(400, 300) << QSize(1440, 1080);
        QTest::newRow("aspect, no enlarge") << 1 << 0 << true << true << QSize(400, 300) << QSize(400, 300);
        QTest::newRow("stretch, no enlarge per side")
            << 1 << 0 << true << false << QSize(4000, 500) << QSize(1920, 500);
        QTest::newRow("long edge, landscape")
            << 2 << 2 << false << false << QSize(4000, 3000) << QSize(1600, 1200);
        QTest::newRow("long edge, portrait")
            << 2 << 2 << false << false << QSize(3000, 4000) << QSize(1200, 1600);
        QTest::newRow("short edge, landscape")
            << 2 << 3 << false << false << QSize(4000, 3000) << QSize(2133, 1600);
        QTest::newRow("short edge, portrait")
            << 2 << 3 << false << false << QSize(3000, 4000) << QSize(1600, 2133);
        QTest::newRow("long edge, square")
            << 2 << 2 << false << false << QSize(800, 800) << QSize(1600, 1600);
        QTest::newRow("long edge, no enlarge")
            << 2 << 2 << true << false << QSize(800, 600) << QSize(800, 600);
        QTest::newRow("width, no enlarge") << 2 << 0 << true << false << QSize(1000, 500) << QSize(1000, 500);
        QTest::newRow("width, reduces") << 2 << 0 << true << false << QSize(3840, 2160) << QSize(1920, 1080);
        QTest::newRow("percent 150, no enlarge")
            << 0 << 0 << true << false << QSize(333, 200) << QSize(333, 200);
    }

    void sizes()
    {
        QFETCH(int, type);
        QFETCH(int, relativeTo);
        QFETCH(bool, noEnlarge);
        QFETCH(bool, keepAspect);
        QFETCH(QSize, source);
        QFETCH(QSize, expected);
        ConversionOptions options;
        options.scaleImage = true;
        options.scaleType = type;
        options.scalePercentage = 150;
        options.scaleRelativeTo = relativeTo;
        options.scaleRelativeEdge = 1600;
        options.scaleNoEnlarge = noEnlarge;
        options.scaleKeepAspect = keepAspect;
        QCOMPARE(computeScaledSize(options, source.width(), source.height()), std::optional<QSize>(expected));
        // The step itself gives that size.
        const QImage image(source / 10, QImage::Format_RGB32);
        const QSize tenth = *computeScaledSize(options, image.width(), image.height());
        QCOMPARE(applyScaling(image, options, false, false).size(), tenth);
    }
};

QTEST_MAIN(TestResizeRules)
#include "tst_resizerules.moc"
