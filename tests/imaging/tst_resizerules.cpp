// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/conversionoptions.h"
#include "imaging/scaling.h"

#include <QTest>

namespace {

// One resize case: the mode (0 percent, 1 absolute, 2 relative) and what it is relative to (0 width,
// 2 long edge, 3 short edge), the two rules, and the size a picture of `source` gets.
struct ResizeCase {
    int type;
    int relativeTo;
    bool noEnlarge;
    bool keepAspect;
    QSize source;
    QSize expected;
};

} // namespace

Q_DECLARE_METATYPE(ResizeCase)

// The resize choices beyond the three modes: do not enlarge, keep the aspect ratio of an absolute
// size, and the long or short edge of the relative mode.
class TestResizeRules : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sizes_data()
    {
        QTest::addColumn<ResizeCase>("resize");
        // Absolute box 1920 x 1080 (the defaults); relative width/height 1920/1080, edge 1600.
        const QList<QPair<const char *, ResizeCase>> cases {
            { "absolute stretches", { 1, 0, false, false, { 4000, 3000 }, { 1920, 1080 } } },
            { "aspect, height binds", { 1, 0, false, true, { 4000, 3000 }, { 1440, 1080 } } },
            // The free side is rounded as in the relative mode: 1000 * 1920 / 4000 is 480 exactly.
            { "aspect, width binds", { 1, 0, false, true, { 4000, 1000 }, { 1920, 480 } } },
            { "aspect, rounds half up", { 1, 0, false, true, { 3840, 1001 }, { 1920, 501 } } },
            { "aspect, portrait", { 1, 0, false, true, { 3000, 4000 }, { 810, 1080 } } },
            { "aspect enlarges", { 1, 0, false, true, { 400, 300 }, { 1440, 1080 } } },
            { "aspect, no enlarge", { 1, 0, true, true, { 400, 300 }, { 400, 300 } } },
            { "stretch, no enlarge per side", { 1, 0, true, false, { 4000, 500 }, { 1920, 500 } } },
            { "long edge, landscape", { 2, 2, false, false, { 4000, 3000 }, { 1600, 1200 } } },
            { "long edge, portrait", { 2, 2, false, false, { 3000, 4000 }, { 1200, 1600 } } },
            { "short edge, landscape", { 2, 3, false, false, { 4000, 3000 }, { 2133, 1600 } } },
            { "short edge, portrait", { 2, 3, false, false, { 3000, 4000 }, { 1600, 2133 } } },
            { "long edge, square", { 2, 2, false, false, { 800, 800 }, { 1600, 1600 } } },
            { "long edge, no enlarge", { 2, 2, true, false, { 800, 600 }, { 800, 600 } } },
            { "width, no enlarge", { 2, 0, true, false, { 1000, 500 }, { 1000, 500 } } },
            { "width, reduces", { 2, 0, true, false, { 3840, 2160 }, { 1920, 1080 } } },
            { "percent 150, no enlarge", { 0, 0, true, false, { 333, 200 }, { 333, 200 } } },
        };
        for (const auto &[name, resize] : cases)
            QTest::newRow(name) << resize;
    }

    void sizes()
    {
        QFETCH(ResizeCase, resize);
        ConversionOptions options;
        options.scaleImage = true;
        options.scaleType = resize.type;
        options.scalePercentage = 150;
        options.scaleRelativeTo = resize.relativeTo;
        options.scaleRelativeEdge = 1600;
        options.scaleNoEnlarge = resize.noEnlarge;
        options.scaleKeepAspect = resize.keepAspect;
        const QSize source = resize.source;
        QCOMPARE(computeScaledSize(options, source.width(), source.height()),
            std::optional<QSize>(resize.expected));
        // The step itself gives that size.
        const QImage image(source / 10, QImage::Format_RGB32);
        const QSize tenth = *computeScaledSize(options, image.width(), image.height());
        QCOMPARE(applyScaling(image, options, false, false).size(), tenth);
    }
};

QTEST_MAIN(TestResizeRules)
#include "tst_resizerules.moc"
