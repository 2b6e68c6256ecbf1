// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QtTest>

#include <algorithm>

namespace {

// What an icon is drawn with: dark ink for light backgrounds, near-white ink for dark ones, the
// disabled grey, or its own colours (pictures that sit on any background).
enum class Ink { Dark, White, Grey, Own };

struct Icon {
    const char *name;
    int size;
    Ink ink;
};

const Icon icons[] = {
    { "_Convert24.png", 24, Ink::Dark },
    { "_ConvertWhite24.png", 24, Ink::White },
    { "_ConvertGray24.png", 24, Ink::Grey },
    { "_AddFile24.png", 24, Ink::Dark },
    { "_AddFileWhite24.png", 24, Ink::White },
    { "_AddFolder24.png", 24, Ink::Dark },
    { "_AddFolderWhite24.png", 24, Ink::White },
    { "_Delete24.png", 24, Ink::Dark },
    { "_DeleteWhite24.png", 24, Ink::White },
    { "_DeleteGray24.png", 24, Ink::Grey },
    { "_shortcut24.png", 24, Ink::Dark },
    { "_shortcutWhite24.png", 24, Ink::White },
    { "_shortcutGray24.png", 24, Ink::Grey },
    { "_ArrowUp24.png", 24, Ink::Dark },
    { "_ArrowUpWhite24.png", 24, Ink::White },
    { "_ArrowUpGray24.png", 24, Ink::Grey },
    { "_ArrowDown24.png", 24, Ink::Dark },
    { "_ArrowDownWhite24.png", 24, Ink::White },
    { "_ArrowDownGray24.png", 24, Ink::Grey },
    { "Update24.png", 24, Ink::Dark },
    { "UpdateWhite24.png", 24, Ink::White },
    { "_websiteIcon24.png", 24, Ink::Dark },
    { "_websiteWhiteIcon24.png", 24, Ink::White },
    { "_About24.png", 24, Ink::Dark },
    { "_AboutWhite24.png", 24, Ink::White },
    { "_AddIcon24.png", 24, Ink::Dark },
    { "_AddWhiteIcon24.png", 24, Ink::White },
    { "_SettingsIcon24.png", 24, Ink::Dark },
    { "_SettingsWhiteIcon24.png", 24, Ink::White },
    { "_SettingsGrayIcon24.png", 24, Ink::Grey },
    { "_Reset24.png", 24, Ink::Dark },
    { "_ResetWhite24.png", 24, Ink::White },
    { "_DeleteIcon24.png", 24, Ink::Dark },
    { "_DeleteWhiteIcon24.png", 24, Ink::White },
    { "AddIcon24.png", 24, Ink::Dark },
    { "DeleteIcon24.png", 24, Ink::Dark },
    { "Reset24.png", 24, Ink::Dark },
    { "FitToSize24.png", 24, Ink::Own },
    { "_folder16.png", 16, Ink::Dark },
    { "_folderWhite16.png", 16, Ink::White },
    { "Portrait.png", 32, Ink::Dark },
    { "PortraitWhite.png", 32, Ink::White },
    { "Landscape.png", 32, Ink::Dark },
    { "LandscapeWhite.png", 32, Ink::White },
    { "Image.png", 32, Ink::Dark },
    { "ImageWhite.png", 32, Ink::White },
    { "ImageBorder.png", 32, Ink::Dark },
    { "ImageBorderWhite.png", 32, Ink::White },
    { "DropLogo.png", 128, Ink::Dark },
    { "_DropLogo.png", 128, Ink::Dark },
    { "_DropLogoWhite.png", 128, Ink::White },
    { "AboutLogo.png", 192, Ink::Own },
    { "Update128.png", 128, Ink::Own },
    { "pictomat.png", 256, Ink::Own },
};

QString resourcePath(const QString &name)
{
    return QStringLiteral(":/resources/images/") + name;
}

// Share of the picture covered by paint, and the mean luminance of that paint weighted by coverage.
struct Paint {
    double coverage = 0;
    double luminance = 0;
};

Paint paintOf(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    double alphaSum = 0;
    double lumaSum = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const double a = qAlpha(line[x]) / 255.0;
            alphaSum += a;
            lumaSum
                += a * (0.2126 * qRed(line[x]) + 0.7152 * qGreen(line[x]) + 0.0722 * qBlue(line[x])) / 255.0;
        }
    }
    Paint p;
    p.coverage = alphaSum / (image.width() * image.height());
    p.luminance = alphaSum > 0 ? lumaSum / alphaSum : 0;
    return p;
}

QImage alphaOf(const QString &name)
{
    return QImage(resourcePath(name)).convertToFormat(QImage::Format_Alpha8);
}

// Button-size icons come a second time at twice the size, for screens scaled to 200 %.
bool hasDoubleSize(const Icon &icon)
{
    return icon.size <= 32;
}

QString doubleSizeName(const QString &name)
{
    return name.chopped(4) + QStringLiteral("@2x.png");
}

// The alpha of `image` halved by averaging each 2 x 2 block.
QImage halvedAlpha(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_Alpha8);
    QImage half(image.width() / 2, image.height() / 2, QImage::Format_Alpha8);
    for (int y = 0; y < half.height(); ++y) {
        for (int x = 0; x < half.width(); ++x) {
            const int sum = image.constScanLine(2 * y)[2 * x] + image.constScanLine(2 * y)[2 * x + 1]
                + image.constScanLine(2 * y + 1)[2 * x] + image.constScanLine(2 * y + 1)[2 * x + 1];
            half.scanLine(y)[x] = uchar((sum + 2) / 4);
        }
    }
    return half;
}

} // namespace

class TestResources : public QObject {
    Q_OBJECT

private slots:
    void iconIsCompiledIn_data();
    void iconIsCompiledIn();
    void folderHoldsExactlyTheSet();
    void variantsShareTheirShape_data();
    void variantsShareTheirShape();
    void doubleSizeIsTheSameDrawing_data();
    void doubleSizeIsTheSameDrawing();
    void iconsTakeTheDoubleSizeAt200Percent();
};

void TestResources::iconIsCompiledIn_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("ink");
    for (const Icon &icon : icons)
        QTest::newRow(icon.name) << QString::fromLatin1(icon.name) << icon.size << int(icon.ink);
}

void TestResources::iconIsCompiledIn()
{
    QFETCH(QString, name);
    QFETCH(int, size);
    QFETCH(int, ink);

    QVERIFY(QFile::exists(resourcePath(name)));
    const QPixmap pixmap(resourcePath(name));
    QVERIFY(!pixmap.isNull());
    QCOMPARE(pixmap.size(), QSize(size, size));

    const QImage image = pixmap.toImage();
    QVERIFY(image.hasAlphaChannel());
    // Transparent around the drawing, so the icons sit on any button or frame colour.
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(image.pixel(size - 1, size - 1)), 0);

    const Paint paint = paintOf(image);
    QVERIFY2(paint.coverage > 0.08 && paint.coverage < 0.9, qPrintable(QString::number(paint.coverage)));
    switch (Ink(ink)) {
    case Ink::Dark:
        QVERIFY2(paint.luminance < 0.3, qPrintable(QString::number(paint.luminance)));
        break;
    case Ink::White:
        QVERIFY2(paint.luminance > 0.85, qPrintable(QString::number(paint.luminance)));
        break;
    case Ink::Grey:
        QVERIFY2(
            paint.luminance > 0.5 && paint.luminance < 0.7, qPrintable(QString::number(paint.luminance)));
        break;
    case Ink::Own:
        break;
    }
}

void TestResources::folderHoldsExactlyTheSet()
{
    QStringList expected;
    for (const Icon &icon : icons) {
        expected << QString::fromLatin1(icon.name);
        if (hasDoubleSize(icon))
            expected << doubleSizeName(QString::fromLatin1(icon.name));
    }
    std::sort(expected.begin(), expected.end());
    QStringList present = QDir(QStringLiteral(":/resources/images")).entryList(QDir::Files);
    std::sort(present.begin(), present.end());
    QCOMPARE(present, expected);
}

void TestResources::variantsShareTheirShape_data()
{
    QTest::addColumn<QString>("light");
    QTest::addColumn<QString>("other");
    const char *const pairs[][2] = {
        { "_Convert24.png", "_ConvertWhite24.png" },
        { "_Convert24.png", "_ConvertGray24.png" },
        { "_AddFile24.png", "_AddFileWhite24.png" },
        { "_AddFolder24.png", "_AddFolderWhite24.png" },
        { "_Delete24.png", "_DeleteWhite24.png" },
        { "_Delete24.png", "_DeleteGray24.png" },
        { "_shortcut24.png", "_shortcutWhite24.png" },
        { "_shortcut24.png", "_shortcutGray24.png" },
        { "_ArrowUp24.png", "_ArrowUpWhite24.png" },
        { "_ArrowUp24.png", "_ArrowUpGray24.png" },
        { "_ArrowDown24.png", "_ArrowDownWhite24.png" },
        { "_ArrowDown24.png", "_ArrowDownGray24.png" },
        { "Update24.png", "UpdateWhite24.png" },
        { "_websiteIcon24.png", "_websiteWhiteIcon24.png" },
        { "_About24.png", "_AboutWhite24.png" },
        { "_AddIcon24.png", "_AddWhiteIcon24.png" },
        { "_SettingsIcon24.png", "_SettingsWhiteIcon24.png" },
        { "_SettingsIcon24.png", "_SettingsGrayIcon24.png" },
        { "_Reset24.png", "_ResetWhite24.png" },
        { "_DeleteIcon24.png", "_DeleteWhiteIcon24.png" },
        { "_folder16.png", "_folderWhite16.png" },
        { "Portrait.png", "PortraitWhite.png" },
        { "Landscape.png", "LandscapeWhite.png" },
        { "Image.png", "ImageWhite.png" },
        { "ImageBorder.png", "ImageBorderWhite.png" },
        { "_DropLogo.png", "_DropLogoWhite.png" },
        { "_AddIcon24.png", "AddIcon24.png" },
        { "_Reset24.png", "Reset24.png" },
        { "_DeleteIcon24.png", "DeleteIcon24.png" },
        { "_DropLogo.png", "DropLogo.png" },
    };
    for (const auto &pair : pairs)
        QTest::newRow(pair[1]) << QString::fromLatin1(pair[0]) << QString::fromLatin1(pair[1]);
}

// A theme switch must change only the colour: a variant drawn differently would make the
// toolbar jump or show another symbol under the dark scheme.
void TestResources::variantsShareTheirShape()
{
    QFETCH(QString, light);
    QFETCH(QString, other);
    const QImage a = alphaOf(light);
    const QImage b = alphaOf(other);
    QVERIFY(!a.isNull() && !b.isNull());
    QCOMPARE(a, b);
}

void TestResources::doubleSizeIsTheSameDrawing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("solid");
    for (const Icon &icon : icons) {
        if (hasDoubleSize(icon))
            QTest::newRow(icon.name) << QString::fromLatin1(icon.name) << icon.size << (icon.ink != Ink::Own);
    }
}

// Drawn again from the same shapes, not enlarged: halved, it matches the small one closely, while
// its edges are sharp (most pixels fully covered or empty, as in the small one).
void TestResources::doubleSizeIsTheSameDrawing()
{
    QFETCH(QString, name);
    QFETCH(int, size);
    QFETCH(bool, solid);
    const QImage big(resourcePath(doubleSizeName(name)));
    QCOMPARE(big.size(), QSize(2 * size, 2 * size));
    const QImage small = alphaOf(name);
    const QImage half = halvedAlpha(big);
    double difference = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            difference += qAbs(int(half.constScanLine(y)[x]) - int(small.constScanLine(y)[x]));
    difference /= size * size;
    QVERIFY2(difference < 6, qPrintable(QString::number(difference)));
    // An enlarged 24-pixel icon would have a soft edge pixel around every stroke. (A picture with
    // a see-through plate of its own is partly covered everywhere.)
    if (!solid)
        return;
    const QImage alpha = big.convertToFormat(QImage::Format_Alpha8);
    int partial = 0, painted = 0;
    for (int y = 0; y < alpha.height(); ++y) {
        for (int x = 0; x < alpha.width(); ++x) {
            const int a = alpha.constScanLine(y)[x];
            painted += a > 0;
            partial += a > 0 && a < 255;
        }
    }
    QVERIFY2(partial < painted / 2, qPrintable(QStringLiteral("%1 of %2").arg(partial).arg(painted)));
}

// The toolbar's icons, as the window makes them, on a screen at 200 %: the pixels are the double
// size file's, not the small file enlarged.
void TestResources::iconsTakeTheDoubleSizeAt200Percent()
{
    QCOMPARE(qGuiApp->devicePixelRatio(), 2.0);
    for (const char *name : { "_Convert24.png", "_AddFolder24.png", "_folder16.png", "Portrait.png" }) {
        QIcon icon;
        icon.addFile(resourcePath(QString::fromLatin1(name)), QSize(), QIcon::Normal);
        const QImage big(resourcePath(doubleSizeName(QString::fromLatin1(name))));
        const int logical = big.width() / 2;
        const QImage shown = icon.pixmap(QSize(logical, logical), 2.0).toImage();
        QCOMPARE(icon.availableSizes(), QList<QSize>({ QSize(logical, logical), big.size() }));
        QCOMPARE(shown.size(), big.size());
        QCOMPARE(shown.convertToFormat(QImage::Format_ARGB32_Premultiplied),
            big.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
}

int main(int argc, char *argv[])
{
    // A screen scaled to 200 %, as a high-density display is.
    qputenv("QT_SCALE_FACTOR", "2");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    TestResources test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_resources.moc"
