// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/conversionoptions.h"
#include "convert/convertimagesthread.h"
#include "convert/pdfassembly.h"
#include "imaging/renderpipeline.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

using namespace TestSupport;

namespace {

bool havePoppler()
{
    return haveTool(QStringLiteral("pdfinfo")) && haveTool(QStringLiteral("pdftoppm"));
}

// pdfinfo's "Pages:" count, -1 when it cannot read the document.
int documentPages(const QString &pdf)
{
    QByteArray output;
    if (runTool(QStringLiteral("pdfinfo"), { pdf }, &output) != 0)
        return -1;
    const QRegularExpressionMatch match
        = QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption)
              .match(QString::fromUtf8(output));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// The size of one page in points, as pdfinfo reports it.
QSizeF pageSizePoints(const QString &pdf, int page)
{
    QByteArray output;
    const QString number = QString::number(page);
    if (runTool(QStringLiteral("pdfinfo"),
            { QStringLiteral("-f"), number, QStringLiteral("-l"), number, pdf }, &output)
        != 0)
        return {};
    const QRegularExpressionMatch match
        = QRegularExpression(QStringLiteral("Page\\s+%1 size:\\s+([\\d.]+) x ([\\d.]+) pts").arg(page))
              .match(QString::fromUtf8(output));
    return match.hasMatch() ? QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble()) : QSizeF();
}

// One page rasterised by poppler in 8-bit gray.
QImage rasterise(const QString &pdf, int page, int dpi)
{
    const QString prefix = pdf + QStringLiteral("-page");
    const QString number = QString::number(page);
    if (runTool(QStringLiteral("pdftoppm"),
            { QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"), number, QStringLiteral("-l"),
                number, QStringLiteral("-gray"), QStringLiteral("-singlefile"), pdf, prefix })
        != 0)
        return {};
    const QImage image(prefix + QStringLiteral(".pgm"));
    QFile::remove(prefix + QStringLiteral(".pgm"));
    return image.convertToFormat(QImage::Format_Grayscale8);
}

// The rectangle holding every pixel darker than near-white.
QRect inkBounds(const QImage &gray)
{
    QRect bounds;
    for (int y = 0; y < gray.height(); ++y) {
        const uchar *line = gray.constScanLine(y);
        int first = -1;
        int last = -1;
        for (int x = 0; x < gray.width(); ++x) {
            if (line[x] < 250) {
                if (first < 0)
                    first = x;
                last = x;
            }
        }
        if (first >= 0)
            bounds |= QRect(first, y, last - first + 1, 1);
    }
    return bounds;
}

bool fuzzyEqual(const QRect &a, const QRect &b, int tolerance)
{
    return qAbs(a.left() - b.left()) <= tolerance && qAbs(a.top() - b.top()) <= tolerance
        && qAbs(a.right() - b.right()) <= tolerance && qAbs(a.bottom() - b.bottom()) <= tolerance;
}

QString describe(const QRect &r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// Gray pictures: the PDF writer stores them losslessly, so the raster can be measured exactly.
QImage grayImage(int width, int height, int level)
{
    QImage image = filledImage(QSize(width, height), qRgb(level, level, level));
    return image;
}

QImage checkerboard(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    return image;
}

struct JobResult {
    QStringList pagesStarted;
    bool completed = false;
    bool terminated = false;
    ConversionFailureList failures;
    int failureSignals = 0;
    QString outputLocation;
};

} // namespace

class TestPdfAssembly : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void drawnSize_data();
    void drawnSize();
    void pageCount_data();
    void pageCount();
    void pageSizes_data();
    void pageSizes();
    void resolutionAndMargin_data();
    void resolutionAndMargin();
    void workedExample_data();
    void workedExample();
    void smoothing_data();
    void smoothing();
    void pagesAreOpaqueAndInColour_data();
    void pagesAreOpaqueAndInColour();
    void unreadableSourceKeepsItsPage();
    void cancellingKeepsDrawnPages();
    void openFolderLocationIsTheDocument();
    void rendersAfterTheJobKeepTheirSmoothing_data();
    void rendersAfterTheJobKeepTheirSmoothing();
    void documentCannotBeCreated_data();
    void documentCannotBeCreated();
    void existingDocumentIsReplaced();
    void failedWriteKeepsExistingDocument();

private:
    QString source(const QString &name, const QImage &image);
    JobResult runJob(const QStringList &sources, int stopAfter = -1);
    QString documentPath() const { return _dir->filePath(QStringLiteral("out/album.pdf")); }

    std::unique_ptr<QTemporaryDir> _dir;
};

void TestPdfAssembly::initTestCase()
{
    qRegisterMetaType<ConversionFailure>();
}

void TestPdfAssembly::init()
{
    _dir = std::make_unique<QTemporaryDir>();
    QVERIFY(_dir->isValid());
    QVERIFY(QDir(_dir->path()).mkpath(QStringLiteral("out")));
    QVERIFY(QDir(_dir->path()).mkpath(QStringLiteral("in")));
    resetOptions();
    clearLoadCache();
    updateOptions([&](ConversionOptions &o) {
        o.targeFileType = 9;
        o.outputFolder = _dir->filePath(QStringLiteral("out"));
        o.pdfFileName = QStringLiteral("album.pdf");
    });
}

QString TestPdfAssembly::source(const QString &name, const QImage &image)
{
    const QString path = _dir->filePath(QStringLiteral("in/") + name);
    if (!saveImage(image, path))
        return {};
    return path;
}

// Runs a PDF job on a real worker thread; with stopAfter set, cancels from the worker thread
// as soon as that many pages have been announced.
JobResult TestPdfAssembly::runJob(const QStringList &sources, int stopAfter)
{
    ConvertImagesThread worker;
    worker._urls = sources;
    worker.targetFolder = documentPath();
    worker.targetExt = QStringLiteral(".pdf");
    JobResult result;
    QSignalSpy completed(&worker, &ConvertImagesThread::threadCompleted);
    QSignalSpy terminated(&worker, &ConvertImagesThread::threadTerminated);
    QSignalSpy failed(&worker, &ConvertImagesThread::conversionFailed);
    connect(
        &worker, &ConvertImagesThread::updateFileName, &worker,
        [&](const QString &fileName) {
            result.pagesStarted.append(fileName);
            if (result.pagesStarted.size() == stopAfter)
                worker.stopRequested = true;
        },
        Qt::DirectConnection);
    worker.start();
    worker.wait();
    result.completed = completed.size() == 1;
    result.terminated = terminated.size() == 1;
    if (result.completed) {
        const QList<QVariant> lists = completed.first();
        if (!lists.at(0).toStringList().isEmpty() || !lists.at(1).toStringList().isEmpty())
            result.completed = false;
    }
    result.failures = worker.failures();
    result.failureSignals = int(failed.size());
    result.outputLocation = worker.outputLocation();
    return result;
}

void TestPdfAssembly::drawnSize_data()
{
    QTest::addColumn<QSize>("image");
    QTest::addColumn<QSize>("area");
    QTest::addColumn<bool>("resize");
    QTest::addColumn<QSize>("drawn");

    const QSize area(2080, 3108);
    QTest::newRow("too wide, fit off") << QSize(4000, 3000) << area << false << QSize(2080, 1560);
    QTest::newRow("too wide, fit on") << QSize(4000, 3000) << area << true << QSize(2080, 1560);
    QTest::newRow("small, fit off") << QSize(1000, 800) << area << false << QSize(1000, 800);
    QTest::newRow("small, fit on") << QSize(1000, 800) << area << true << QSize(2080, 1664);
    QTest::newRow("exactly the area, fit off") << QSize(2080, 3108) << area << false << QSize(2080, 3108);
    QTest::newRow("exactly the area, fit on") << QSize(2080, 3108) << area << true << QSize(2080, 3108);
    QTest::newRow("as wide as the area only") << QSize(2080, 100) << area << false << QSize(2080, 100);
    QTest::newRow("too tall") << QSize(1000, 6216) << area << false << QSize(500, 3108);
    QTest::newRow("small and tall, fit on meets the bottom")
        << QSize(100, 300) << area << true << QSize(1036, 3108);
    QTest::newRow("landscape area fits the same picture differently")
        << QSize(1000, 800) << QSize(3108, 2080) << true << QSize(2600, 2080);
    QTest::newRow("a sliver keeps one pixel") << QSize(1, 9000) << area << false << QSize(1, 3108);
    QTest::newRow("null image") << QSize() << area << true << QSize();
    QTest::newRow("no room left by the margin") << QSize(100, 100) << QSize(-20, 300) << false << QSize();
}

void TestPdfAssembly::drawnSize()
{
    QFETCH(QSize, image);
    QFETCH(QSize, area);
    QFETCH(bool, resize);
    QFETCH(QSize, drawn);
    QCOMPARE(pdfDrawnSize(image, area, resize), drawn);
}

void TestPdfAssembly::pageCount_data()
{
    QTest::addColumn<int>("sources");
    QTest::addColumn<int>("pages");

    QTest::newRow("no sources, one empty page") << 0 << 1;
    QTest::newRow("one source") << 1 << 1;
    QTest::newRow("three sources, no fourth page") << 3 << 3;
}

void TestPdfAssembly::pageCount()
{
    QFETCH(int, sources);
    QFETCH(int, pages);
    if (!havePoppler())
        QSKIP("poppler's pdfinfo and pdftoppm are needed to read the document");

    // Each page gets its own gray, so the order of the pages shows in the raster.
    const int levels[] = { 40, 120, 200 };
    QStringList paths;
    for (int i = 0; i < sources; ++i)
        paths.append(source(QStringLiteral("page%1.png").arg(i), grayImage(600, 600, levels[i])));

    const JobResult job = runJob(paths);
    QVERIFY(job.completed);
    QCOMPARE(job.pagesStarted, paths);
    QVERIFY(job.failures.isEmpty());
    QCOMPARE(documentPages(documentPath()), pages);
    for (int page = 1; page <= pages; ++page) {
        const QImage raster = rasterise(documentPath(), page, 36);
        QVERIFY(!raster.isNull());
        const int expected = page <= sources ? levels[page - 1] : 255;
        QVERIFY2(qAbs(qGray(raster.pixel(20, 20)) - expected) <= 3,
            qPrintable(QStringLiteral("page %1 reads %2").arg(page).arg(qGray(raster.pixel(20, 20)))));
    }
    QCOMPARE(folderEntries(_dir->filePath(QStringLiteral("out"))), QStringList { "album.pdf" });
}

void TestPdfAssembly::pageSizes_data()
{
    QTest::addColumn<int>("paper");
    QTest::addColumn<int>("orientation");
    QTest::addColumn<QSizeF>("points");

    const struct {
        const char *name;
        int value;
        QSizeF portrait;
    } papers[] = {
        { "Letter", 0, QSizeF(612, 792) },
        { "A4", 1, QSizeF(595.3, 841.9) },
        { "A5", 2, QSizeF(419.5, 595.3) },
        { "Legal", 3, QSizeF(612, 1008) },
        { "Executive", 4, QSizeF(540, 720) },
        { "out of range 5 (Letter)", 5, QSizeF(612, 792) },
        { "out of range -1 (Letter)", -1, QSizeF(612, 792) },
    };
    for (const auto &paper : papers) {
        QTest::addRow("%s portrait", paper.name) << paper.value << 0 << paper.portrait;
        QTest::addRow("%s landscape", paper.name) << paper.value << 1 << paper.portrait.transposed();
    }
    QTest::newRow("A4, orientation 2 is landscape") << 1 << 2 << QSizeF(841.9, 595.3);
}

void TestPdfAssembly::pageSizes()
{
    QFETCH(int, paper);
    QFETCH(int, orientation);
    QFETCH(QSizeF, points);
    if (!havePoppler())
        QSKIP("poppler's pdfinfo is needed to read the page size");

    updateOptions([&](ConversionOptions &o) {
        o.pdfPaperSize = paper;
        o.pdfPaperOrientation = orientation;
    });
    QVERIFY(runJob({}).completed);
    const QSizeF size = pageSizePoints(documentPath(), 1);
    QVERIFY2(qAbs(size.width() - points.width()) < 1.0 && qAbs(size.height() - points.height()) < 1.0,
        qPrintable(QStringLiteral("%1 x %2 pts").arg(size.width()).arg(size.height())));
}

void TestPdfAssembly::resolutionAndMargin_data()
{
    QTest::addColumn<int>("quality");
    QTest::addColumn<int>("margin");
    QTest::addColumn<int>("marginSize");
    QTest::addColumn<int>("dpi");

    QTest::newRow("96 dpi") << 0 << 1 << 20 << 96;
    QTest::newRow("150 dpi") << 1 << 1 << 20 << 150;
    QTest::newRow("300 dpi") << 2 << 1 << 20 << 300;
    QTest::newRow("400 dpi") << 3 << 1 << 20 << 400;
    QTest::newRow("600 dpi") << 4 << 1 << 20 << 600;
    QTest::newRow("1200 dpi") << 5 << 1 << 20 << 1200;
    QTest::newRow("out of range is 300 dpi") << 6 << 1 << 20 << 300;
    QTest::newRow("margin size 35") << 2 << 1 << 35 << 300;
    QTest::newRow("margin off ignores its size") << 2 << 0 << 35 << 300;
}

// A 300-pixel picture drawn without fitting measures 300 device pixels, so its size and its
// distance from the corner on paper tell the writer's resolution and the margin.
void TestPdfAssembly::resolutionAndMargin()
{
    QFETCH(int, quality);
    QFETCH(int, margin);
    QFETCH(int, marginSize);
    QFETCH(int, dpi);
    if (!havePoppler())
        QSKIP("poppler's pdftoppm is needed to measure the page");

    updateOptions([&](ConversionOptions &o) {
        o.pdfQuality = quality;
        o.pdfPaperMargin = margin;
        o.pdfPaperMarginSize = marginSize;
    });
    QVERIFY(runJob({ source(QStringLiteral("square.png"), grayImage(300, 300, 60)) }).completed);

    const int rasterDpi = 150;
    const double scale = double(rasterDpi) / dpi;
    const int offset = qRound((margin ? marginSize * 10 : 0) * scale);
    const int side = qRound(300 * scale);
    const QRect ink = inkBounds(rasterise(documentPath(), 1, rasterDpi));
    QVERIFY2(fuzzyEqual(ink, QRect(offset, offset, side, side), 1), qPrintable(describe(ink)));
}

void TestPdfAssembly::workedExample_data()
{
    QTest::addColumn<bool>("resize");
    QTest::addColumn<QList<QSize>>("images");
    QTest::addColumn<QList<QSize>>("drawn");

    const QList<QSize> images { { 4000, 3000 }, { 1000, 800 }, { 2080, 3108 } };
    QTest::newRow("fit off") << false << images
                             << QList<QSize> { { 2080, 1560 }, { 1000, 800 }, { 2080, 3108 } };
    QTest::newRow("fit on") << true << images
                            << QList<QSize> { { 2080, 1560 }, { 2080, 1664 }, { 2080, 3108 } };
}

// A page of 2480 x 3508 device pixels with margin 200. Qt sizes pages in whole points, so no
// standard paper gives exactly these pixels at 300 dpi; 620 x 877 points at 288 dpi does, and
// rasterised at the same 288 dpi one device pixel is one raster pixel.
void TestPdfAssembly::workedExample()
{
    QFETCH(bool, resize);
    QFETCH(QList<QSize>, images);
    QFETCH(QList<QSize>, drawn);

    PdfPageSetup setup;
    setup.pageSize
        = QPageSize(QSize(620, 877), QStringLiteral("2480 x 3508 at 288 dpi"), QPageSize::ExactMatch);
    setup.resolution = 288;
    setup.margin = 200;
    setup.resizeImageToPaper = resize;
    PdfAssembly document(documentPath(), setup);
    QString error;
    QVERIFY2(document.begin(&error), qPrintable(error));
    QCOMPARE(document.pageSize(), QSize(2480, 3508));
    QCOMPARE(document.availableArea(), QSize(2080, 3108));
    for (int i = 0; i < images.size(); ++i) {
        if (i > 0)
            QVERIFY(document.newPage(&error));
        QVERIFY2(document.drawImage(grayImage(images.at(i).width(), images.at(i).height(), 70), &error),
            qPrintable(error));
    }
    QVERIFY2(document.finish(&error), qPrintable(error));

    if (!havePoppler())
        QSKIP("poppler's pdfinfo and pdftoppm are needed to measure the pages");
    QCOMPARE(documentPages(documentPath()), int(images.size()));
    for (int i = 0; i < images.size(); ++i) {
        const QImage raster = rasterise(documentPath(), i + 1, 288);
        QCOMPARE(raster.size(), QSize(2480, 3508));
        const QRect ink = inkBounds(raster);
        QVERIFY2(fuzzyEqual(ink, QRect(QPoint(200, 200), drawn.at(i)), 1),
            qPrintable(QStringLiteral("page %1: %2").arg(i + 1).arg(describe(ink))));
    }
}

void TestPdfAssembly::smoothing_data()
{
    QTest::addColumn<bool>("smooth");
    QTest::newRow("smooth edges on") << true;
    QTest::newRow("smooth edges off") << false;
}

// A 13 x 10 checkerboard grown to the page: fast scaling keeps pure black and white blocks,
// smooth scaling blends neighbouring cells into grays.
void TestPdfAssembly::smoothing()
{
    QFETCH(bool, smooth);
    if (!havePoppler())
        QSKIP("poppler's pdftoppm is needed to look at the page");

    updateOptions([&](ConversionOptions &o) {
        o.pdfQuality = 0;
        o.resizeImageToPaper = true;
        o.pdfSmoothEdges = smooth;
    });
    QVERIFY(runJob({ source(QStringLiteral("checker.png"), checkerboard(13, 10)) }).completed);

    // Letter at 96 dpi is 816 x 1056; the board is fitted to 816 x 627.
    const QImage raster = rasterise(documentPath(), 1, 96);
    const QRect ink = inkBounds(raster);
    QVERIFY2(fuzzyEqual(ink, QRect(0, 0, 816, 627), 1), qPrintable(describe(ink)));
    qint64 blended = 0;
    for (int y = 0; y < 627; ++y)
        for (int x = 0; x < 816; ++x) {
            const int level = raster.constScanLine(y)[x];
            if (level > 40 && level < 215)
                ++blended;
        }
    const double share = double(blended) / (816.0 * 627.0);
    // Poppler softens the one-pixel seams between blocks, a few percent of the area at most.
    if (smooth)
        QVERIFY2(share > 0.3, qPrintable(QString::number(share)));
    else
        QVERIFY2(share < 0.05, qPrintable(QString::number(share)));
}

void TestPdfAssembly::pagesAreOpaqueAndInColour_data()
{
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<QColor>("centre");
    // Red and white one-pixel cells: smoothing to the page blends them to pink.
    QImage bitmap(4000, 3000, QImage::Format_Mono);
    bitmap.setColorTable({ qRgb(255, 255, 255), qRgb(220, 0, 0) });
    for (int y = 0; y < bitmap.height(); ++y) {
        uchar *line = bitmap.scanLine(y);
        for (int i = 0; i < bitmap.bytesPerLine(); ++i)
            line[i] = y % 2 ? 0x55 : 0xaa;
    }
    QTest::newRow("1-bit colour picture fitted to the page") << bitmap << QColor(237, 127, 127);
    QImage veiled = filledImage(QSize(400, 300), qRgba(0, 0, 200, 128), QImage::Format_ARGB32);
    QTest::newRow("half-transparent picture") << veiled << QColor(127, 127, 227);
}

// A page holds the picture in full colour, flattened onto white: no black-and-white bitmap and
// no transparency mask.
void TestPdfAssembly::pagesAreOpaqueAndInColour()
{
    QFETCH(QImage, picture);
    QFETCH(QColor, centre);
    if (!havePoppler() || !haveTool(QStringLiteral("pdfimages")))
        QSKIP("poppler's pdftoppm and pdfimages are needed to look at the page");
    updateOptions([](ConversionOptions &o) {
        o.pdfQuality = 0;
        o.resizeImageToPaper = true;
    });
    QVERIFY(runJob({ source(QStringLiteral("picture.png"), picture) }).completed);

    QByteArray images;
    QCOMPARE(runTool(QStringLiteral("pdfimages"), { QStringLiteral("-list"), documentPath() }, &images), 0);
    QVERIFY2(!images.contains("smask"), images.constData());
    const QString prefix = documentPath() + QStringLiteral("-colour");
    QCOMPARE(runTool(QStringLiteral("pdftoppm"),
                 { QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-singlefile"), documentPath(),
                     prefix }),
        0);
    // Letter at 96 dpi is 816 pixels wide; the picture fills the width.
    const QColor seen = QImage(prefix + QStringLiteral(".ppm")).pixelColor(408, 306);
    const bool close = qAbs(seen.red() - centre.red()) <= 12 && qAbs(seen.green() - centre.green()) <= 12
        && qAbs(seen.blue() - centre.blue()) <= 12;
    QVERIFY2(close, qPrintable(seen.name()));
}

void TestPdfAssembly::unreadableSourceKeepsItsPage()
{
    if (!havePoppler())
        QSKIP("poppler's pdfinfo and pdftoppm are needed to read the document");

    const QString broken = _dir->filePath(QStringLiteral("in/broken.png"));
    QVERIFY(writeFile(broken, "this is not a picture"));
    const QStringList paths { source(QStringLiteral("first.png"), grayImage(300, 300, 50)), broken,
        source(QStringLiteral("third.png"), grayImage(300, 300, 150)) };

    const JobResult job = runJob(paths);
    QVERIFY(job.completed);
    QCOMPARE(job.pagesStarted, paths);
    QCOMPARE(job.failures.size(), 1);
    QCOMPARE(job.failureSignals, 1);
    QCOMPARE(job.failures.first().source, broken);
    QCOMPARE(job.failures.first().target, documentPath());
    QCOMPARE(job.failures.first().reason, QStringLiteral("cannot read image"));

    QCOMPARE(documentPages(documentPath()), 3);
    QVERIFY(!inkBounds(rasterise(documentPath(), 1, 36)).isEmpty());
    QVERIFY(inkBounds(rasterise(documentPath(), 2, 36)).isEmpty());
    QVERIFY(!inkBounds(rasterise(documentPath(), 3, 36)).isEmpty());
}

// Cancelled while the second picture is handled: it is still drawn, the page opened after it
// stays blank, and the document is complete.
void TestPdfAssembly::cancellingKeepsDrawnPages()
{
    if (!havePoppler())
        QSKIP("poppler's pdfinfo and pdftoppm are needed to read the document");

    QStringList paths;
    for (int i = 0; i < 4; ++i)
        paths.append(source(QStringLiteral("p%1.png").arg(i), grayImage(300, 300, 30 + 40 * i)));
    const JobResult job = runJob(paths, 2);
    QVERIFY(job.terminated);
    QVERIFY(!job.completed);
    QCOMPARE(job.pagesStarted, paths.mid(0, 2));
    QVERIFY(job.failures.isEmpty());

    QCOMPARE(documentPages(documentPath()), 3);
    QVERIFY(qAbs(qGray(rasterise(documentPath(), 1, 36).pixel(10, 10)) - 30) <= 3);
    QVERIFY(qAbs(qGray(rasterise(documentPath(), 2, 36).pixel(10, 10)) - 70) <= 3);
    QVERIFY(inkBounds(rasterise(documentPath(), 3, 36)).isEmpty());
    QCOMPARE(folderEntries(_dir->filePath(QStringLiteral("out"))), QStringList { "album.pdf" });
}

void TestPdfAssembly::openFolderLocationIsTheDocument()
{
    const JobResult job = runJob({ source(QStringLiteral("one.png"), grayImage(10, 10, 0)) });
    QVERIFY(job.completed);
    QCOMPARE(job.outputLocation, QDir::toNativeSeparators(documentPath()));
}

void TestPdfAssembly::rendersAfterTheJobKeepTheirSmoothing_data()
{
    QTest::addColumn<QString>("render");
    QTest::addColumn<bool>("smooth");
    QTest::newRow("full-size preview") << "full" << true;
    QTest::newRow("file job's render") << "file" << true;
    QTest::newRow("live preview") << "live" << false;
    QTest::newRow("PDF page") << "page" << false;
}

// The PDF job's smoothing rule belongs to its pages: a preview or a file rendered after a job
// with smooth edges off scales as it did before the job.
void TestPdfAssembly::rendersAfterTheJobKeepTheirSmoothing()
{
    QFETCH(QString, render);
    QFETCH(bool, smooth);
    updateOptions([](ConversionOptions &o) {
        o.pdfSmoothEdges = false;
        o.scaleImage = true;
        o.scalePercentage = 50;
    });
    const QString board = source(QStringLiteral("board.png"), checkerboard(64, 64));
    const auto rendered = [&] {
        const ConversionOptions options = optionsSnapshot();
        RenderMode mode;
        mode.cacheUse = LoadCacheUse::Bypass;
        if (render == "full")
            return renderFullPreview(board, options);
        if (render == "live")
            return renderFittedPreview(board, options, [](QSize size) { return size; });
        mode.pdfPage = render == "page";
        return renderImage(board, options, mode);
    };
    const QImage before = rendered();
    QCOMPARE(before.size(), QSize(32, 32));
    int blended = 0;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            blended += qGray(before.pixel(x, y)) % 255 != 0;
    QCOMPARE(blended > 0, smooth);

    QVERIFY(runJob({ board }).completed);
    QCOMPARE(rendered(), before);
}

void TestPdfAssembly::documentCannotBeCreated_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<int>("sources");

    QTest::newRow("missing folder") << "missing" << 2;
    QTest::newRow("missing folder, no sources") << "missing" << 0;
    QTest::newRow("folder is a file") << "plain.txt" << 2;
    QTest::newRow("read-only folder") << "locked" << 2;
}

void TestPdfAssembly::documentCannotBeCreated()
{
    QFETCH(QString, folder);
    QFETCH(int, sources);

    const QString folderPath = _dir->filePath(folder);
    if (folder == QLatin1String("plain.txt")) {
        QFile plain(folderPath);
        QVERIFY(plain.open(QIODevice::WriteOnly));
    } else if (folder == QLatin1String("locked")) {
#ifdef Q_OS_UNIX
        if (geteuid() == 0)
            QSKIP("running as root, which writes into read-only folders");
#endif
        QVERIFY(QDir(_dir->path()).mkdir(folder));
        QVERIFY(QFile::setPermissions(folderPath, QFile::ReadOwner | QFile::ExeOwner));
    }
    updateOptions([&](ConversionOptions &o) { o.outputFolder = folderPath; });
    QStringList paths;
    for (int i = 0; i < sources; ++i)
        paths.append(source(QStringLiteral("s%1.png").arg(i), grayImage(20, 20, 100)));

    const QString document = folderPath + QStringLiteral("/album.pdf");
    QTest::ignoreMessage(
        QtDebugMsg, QRegularExpression("^Cannot write: " + QRegularExpression::escape(document)));
    const JobResult job = runJob(paths);
    if (folder == QLatin1String("locked"))
        QFile::setPermissions(folderPath, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QVERIFY(job.completed);
    QVERIFY(!QFileInfo::exists(document));
    const QStringList expectedSources = sources ? paths : QStringList { QString() };
    QCOMPARE(job.failures.size(), expectedSources.size());
    QCOMPARE(job.failureSignals, int(expectedSources.size()));
    for (int i = 0; i < expectedSources.size(); ++i) {
        QCOMPARE(job.failures.at(i).source, expectedSources.at(i));
        QCOMPARE(job.failures.at(i).target, document);
        QVERIFY(job.failures.at(i).reason.startsWith(QStringLiteral("the PDF document cannot be written")));
    }
}

void TestPdfAssembly::existingDocumentIsReplaced()
{
    if (!havePoppler())
        QSKIP("poppler's pdfinfo is needed to read the document");

    QVERIFY(runJob({}).completed);
    QCOMPARE(documentPages(documentPath()), 1);
    QStringList paths;
    for (int i = 0; i < 2; ++i)
        paths.append(source(QStringLiteral("r%1.png").arg(i), grayImage(50, 50, 90)));
    QVERIFY(runJob(paths).completed);
    QCOMPARE(documentPages(documentPath()), 2);
    QCOMPARE(folderEntries(_dir->filePath(QStringLiteral("out"))), QStringList { "album.pdf" });
}

// Writes refused part-way (a file size limit standing in for a full disk) lose the new
// document, never the old one, and say so.
void TestPdfAssembly::failedWriteKeepsExistingDocument()
{
#ifdef Q_OS_UNIX
    QVERIFY(runJob({}).completed);
    const QByteArray before = fileDigest(documentPath());
    QVERIFY(!before.isEmpty());
    const QStringList paths { source(QStringLiteral("big.png"), makePhotoLike(1600, 1200)),
        source(QStringLiteral("small.png"), makePhotoLike(200, 100)) };

    rlimit old {};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit limited = old;
    limited.rlim_cur = 32 * 1024;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Cannot write: "));
    const JobResult job = runJob(paths);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(job.completed);
    QCOMPARE(fileDigest(documentPath()), before);
    QCOMPARE(folderEntries(_dir->filePath(QStringLiteral("out"))), QStringList { "album.pdf" });
    QCOMPARE(job.failures.size(), 2);
    QCOMPARE(job.failures.at(0).source, paths.at(0));
    QCOMPARE(job.failures.at(1).source, paths.at(1));
    QVERIFY(job.failures.at(0).reason.startsWith(QStringLiteral("the PDF document cannot be written")));
#else
    QSKIP("needs a file size limit (setrlimit)");
#endif
}

QTEST_MAIN(TestPdfAssembly)
#include "tst_pdfassembly.moc"
