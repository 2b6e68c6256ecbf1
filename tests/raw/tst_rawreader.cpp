#include "dngfile.h"
#include "filelist/listicon.h"
#include "imaging/renderpipeline.h"
#include "metadata/imagemetadata.h"
#include "plugins/imageformats/common/codecformats.h"
#include "plugins/imageformats/common/decodestop.h"
#include "plugins/imageformats/common/metadatakeys.h"
#include "testsupport.h"

#include <QColorSpace>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;

namespace {

// A grey scene with a red patch in the stored picture's top-left corner, to follow the turns.
QImage markedScene(QSize size)
{
    QImage scene(size, QImage::Format_RGB32);
    scene.fill(qRgb(128, 128, 128));
    QPainter painter(&scene);
    painter.fillRect(QRect(0, 0, size.width() / 4, size.height() / 4), qRgb(220, 40, 40));
    return scene;
}

// The average colour of a square around `centre`, at 16 bits per channel.
QRgba64 average(const QImage &image, QPoint centre, int radius = 3)
{
    const QImage deep = image.convertToFormat(QImage::Format_RGBX64);
    quint64 r = 0, g = 0, b = 0, n = 0;
    for (int y = centre.y() - radius; y <= centre.y() + radius; ++y) {
        for (int x = centre.x() - radius; x <= centre.x() + radius; ++x) {
            const QRgba64 p = reinterpret_cast<const QRgba64 *>(deep.constScanLine(y))[x];
            r += p.red();
            g += p.green();
            b += p.blue();
            ++n;
        }
    }
    return qRgba64(quint16(r / n), quint16(g / n), quint16(b / n), 0xffff);
}

bool isReddish(QRgba64 p)
{
    return p.red() > 2 * p.green() && p.red() > 2 * p.blue();
}

} // namespace

class TestRawReader : public QObject {
    Q_OBJECT

private slots:
    void init() { QVERIFY(dir.isValid()); }
    void sizeAndOrientation_data();
    void sizeAndOrientation();
    void greyCardIsNeutral_data();
    void greyCardIsNeutral();
    void sixteenBitsPerChannel();
    void matchesLibRawsOwnTool_data();
    void matchesLibRawsOwnTool();
    void iconsFromTheEmbeddedPreview_data();
    void iconsFromTheEmbeddedPreview();
    void refusesStatedSizesBeyondTheBudget_data();
    void refusesStatedSizesBeyondTheBudget();
    void stopEndsTheDevelopment();
    void damagedAndForeignFiles_data();
    void damagedAndForeignFiles();
    void foreignParsersUnreachable();
    void supportedSuffixes_data();
    void supportedSuffixes();
    void metadataAndSidecar_data();
    void metadataAndSidecar();

private:
    QString writeDng(const QString &name, const DngFile::Recipe &recipe)
    {
        const QString path = dir.filePath(name);
        if (!DngFile::write(path, recipe))
            return {};
        return path;
    }

    QTemporaryDir dir;
};

void TestRawReader::sizeAndOrientation_data()
{
    QTest::addColumn<QSize>("stored");
    QTest::addColumn<int>("orientation");
    QTest::addColumn<QSize>("upright");
    QTest::addColumn<QPoint>("patch"); // where the red corner lands, upright

    QTest::newRow("landscape") << QSize(160, 96) << 1 << QSize(160, 96) << QPoint(10, 10);
    QTest::newRow("turned 180") << QSize(160, 96) << 3 << QSize(160, 96) << QPoint(150, 86);
    QTest::newRow("turned right (6)") << QSize(160, 96) << 6 << QSize(96, 160) << QPoint(86, 10);
    QTest::newRow("turned left (8)") << QSize(160, 96) << 8 << QSize(96, 160) << QPoint(10, 150);
    QTest::newRow("odd sides") << QSize(151, 77) << 1 << QSize(151, 77) << QPoint(10, 10);
}

void TestRawReader::sizeAndOrientation()
{
    QFETCH(QSize, stored);
    QFETCH(int, orientation);
    QFETCH(QSize, upright);
    QFETCH(QPoint, patch);

    DngFile::Recipe recipe;
    recipe.scene = markedScene(stored);
    recipe.orientation = orientation;
    const QString path = writeDng(QStringLiteral("shot.dng"), recipe);
    QVERIFY(!path.isEmpty());

    QImageReader reader(path);
    QCOMPARE(reader.format(), QByteArray("dng"));
    QCOMPARE(reader.size(), upright);
    // The plug-in turns the picture itself, as the program's other readers of its own do.
    QCOMPARE(int(reader.transformation()), int(QImageIOHandler::TransformationNone));

    QImage image;
    QString reason;
    QVERIFY2(ImageMagickUtil::loadImage(path, &image, &reason), qPrintable(reason));
    QCOMPARE(image.size(), upright);
    QCOMPARE(image.colorSpace(), QColorSpace(QColorSpace::SRgb));
    QVERIFY(isReddish(average(image, patch)));
    const QPoint opposite(upright.width() - 1 - patch.x(), upright.height() - 1 - patch.y());
    QVERIFY(!isReddish(average(image, opposite)));
}

void TestRawReader::greyCardIsNeutral_data()
{
    QTest::addColumn<int>("grey");
    QTest::addColumn<float>("red");
    QTest::addColumn<float>("blue");

    QTest::newRow("mid grey, daylight") << 128 << 0.5f << 0.7f;
    QTest::newRow("light grey, tungsten") << 200 << 0.8f << 0.35f;
    QTest::newRow("dark grey, shade") << 60 << 0.42f << 0.9f;
}

// The white balance the camera stored makes a grey card grey: its channels within 1.5 % of full
// scale of one another, though the sensor saw red and blue at a fraction of green.
void TestRawReader::greyCardIsNeutral()
{
    QFETCH(int, grey);
    QFETCH(float, red);
    QFETCH(float, blue);

    DngFile::Recipe recipe;
    recipe.scene = filledImage(QSize(64, 48), qRgb(grey, grey, grey));
    // A white patch keeps the development's brightening from taking the grey card for white.
    QPainter(&recipe.scene).fillRect(QRect(0, 0, 16, 48), Qt::white);
    recipe.neutral[0] = red;
    recipe.neutral[2] = blue;
    const QString path = writeDng(QStringLiteral("card.dng"), recipe);
    QVERIFY(!path.isEmpty());

    const QImage image = QImageReader(path).read();
    QVERIFY(!image.isNull());
    const QRgba64 card = average(image, QPoint(44, 24), 6);
    const int tolerance = 65535 * 15 / 1000;
    const int spread = qMax(card.red(), qMax(card.green(), card.blue()))
        - qMin(card.red(), qMin(card.green(), card.blue()));
    QVERIFY2(spread <= tolerance,
        qPrintable(QStringLiteral("grey card %1 %2 %3").arg(card.red()).arg(card.green()).arg(card.blue())));
}

void TestRawReader::sixteenBitsPerChannel()
{
    DngFile::Recipe recipe;
    QImage ramp(256, 32, QImage::Format_RGB32);
    for (int x = 0; x < 256; ++x) {
        for (int y = 0; y < 32; ++y)
            ramp.setPixel(x, y, qRgb(x, x, x));
    }
    recipe.scene = ramp;
    const QString path = writeDng(QStringLiteral("ramp.dng"), recipe);
    QVERIFY(!path.isEmpty());

    QImageReader reader(path);
    QCOMPARE(reader.imageFormat(), QImage::Format_RGBX64);
    const QImage image = reader.read();
    QCOMPARE(image.format(), QImage::Format_RGBX64);
    // Samples between the 8-bit steps: the development's precision reaches the picture.
    int between = 0;
    for (int x = 2; x < 254; ++x) {
        const QRgba64 p = reinterpret_cast<const QRgba64 *>(image.constScanLine(8))[x];
        between += p.green() % 257 != 0;
    }
    QVERIFY2(between > 200, qPrintable(QString::number(between)));

    // Written to a 16-bit target, the depth stays.
    const QString png = dir.filePath(QStringLiteral("ramp.png"));
    QVERIFY(QImageWriter(png).write(image));
    QCOMPARE(QImageReader(png).imageFormat(), QImage::Format_RGBX64);
}

void TestRawReader::matchesLibRawsOwnTool_data()
{
    QTest::addColumn<int>("orientation");
    QTest::newRow("upright") << 1;
    QTest::newRow("turned right") << 6;
}

// dcraw_emu, LibRaw's own developer, with the same settings (white balance as shot, sRGB, 16 bits,
// the sRGB curve) gives the same pixels.
void TestRawReader::matchesLibRawsOwnTool()
{
    QFETCH(int, orientation);
    if (!haveTool(QStringLiteral("dcraw_emu")))
        QSKIP("dcraw_emu (libraw-bin) is not installed");
    DngFile::Recipe recipe;
    recipe.scene = makePhotoLike(200, 130);
    recipe.orientation = orientation;
    const QString path = writeDng(QStringLiteral("photo.dng"), recipe);
    QVERIFY(!path.isEmpty());

    QByteArray log;
    QCOMPARE(runTool(QStringLiteral("dcraw_emu"), { "-w", "-o", "1", "-6", "-T", "-g", "2.4", "12.92", path },
                 &log),
        0);
    const QImage theirs = QImage(path + QStringLiteral(".tiff")).convertToFormat(QImage::Format_RGBX64);
    const QImage ours = QImageReader(path).read();
    QCOMPARE(ours.size(), theirs.size());
    int worst = 0;
    for (int y = 0; y < ours.height(); ++y) {
        const auto *a = reinterpret_cast<const QRgba64 *>(ours.constScanLine(y));
        const auto *b = reinterpret_cast<const QRgba64 *>(theirs.constScanLine(y));
        for (int x = 0; x < ours.width(); ++x) {
            worst = qMax(worst, qAbs(int(a[x].red()) - int(b[x].red())));
            worst = qMax(worst, qAbs(int(a[x].green()) - int(b[x].green())));
            worst = qMax(worst, qAbs(int(a[x].blue()) - int(b[x].blue())));
        }
    }
    QVERIFY2(worst <= 1, qPrintable(QString::number(worst)));
}

void TestRawReader::iconsFromTheEmbeddedPreview_data()
{
    QTest::addColumn<QSize>("preview"); // invalid: the file has none
    QTest::addColumn<int>("orientation");
    QTest::addColumn<bool>("fromPreview");
    QTest::addColumn<QString>("caption");

    QTest::newRow("preview") << QSize(240, 160) << 1 << true << QStringLiteral("480x320");
    QTest::newRow("preview, turned") << QSize(240, 160) << 6 << true << QStringLiteral("320x480");
    QTest::newRow("no preview") << QSize() << 1 << false << QStringLiteral("480x320");
    QTest::newRow("preview smaller than the icon")
        << QSize(48, 32) << 1 << false << QStringLiteral("480x320");
}

// The icon comes from the camera's preview (here blue, where the sensor saw grey) when it covers
// the icon, else from a half-size development; the caption gives the RAW's own size.
void TestRawReader::iconsFromTheEmbeddedPreview()
{
    QFETCH(QSize, preview);
    QFETCH(int, orientation);
    QFETCH(bool, fromPreview);
    QFETCH(QString, caption);

    DngFile::Recipe recipe;
    recipe.scene = filledImage(QSize(480, 320), qRgb(128, 128, 128));
    recipe.orientation = orientation;
    if (preview.isValid())
        recipe.preview = filledImage(preview, qRgb(30, 60, 200));
    const QString path = writeDng(QStringLiteral("icon.dng"), recipe);
    QVERIFY(!path.isEmpty());

    const ListIcon icon = makeListIcon(path);
    QCOMPARE(icon.sizeStr, caption);
    QCOMPARE(qMin(icon.image.width(), icon.image.height()), 64);
    const QColor centre = icon.image.pixelColor(icon.image.width() / 2, icon.image.height() / 2);
    QCOMPARE(centre.blue() > 2 * centre.red(), fromPreview);

    // The first live preview takes the same road: the reader offers the reduced sizes.
    const QSize uprightPreview = orientation == 6 ? preview.transposed() : preview;
    const QString offered = QImageReader(path).text(QLatin1String(MetadataKeys::ReducedSizes));
    QCOMPARE(offered.split(QLatin1Char(','))
                 .contains(QStringLiteral("%1x%2").arg(uprightPreview.width()).arg(uprightPreview.height())),
        preview.isValid());
}

void TestRawReader::refusesStatedSizesBeyondTheBudget_data()
{
    QTest::addColumn<QSize>("stated");
    QTest::newRow("100000 x 100000 sensor") << QSize(100000, 100000);
    QTest::newRow("20000 x 20000 sensor") << QSize(20000, 20000);
}

// A header stating a sensor beyond the decoding budget is refused from the header, at once and
// with a reason, before LibRaw allocates for it.
void TestRawReader::refusesStatedSizesBeyondTheBudget()
{
    QFETCH(QSize, stated);
    DngFile::Recipe recipe;
    recipe.scene = filledImage(QSize(64, 48), Qt::gray);
    recipe.statedSize = stated;
    const QString path = writeDng(QStringLiteral("huge.dng"), recipe);
    QVERIFY(!path.isEmpty());

    QElapsedTimer timer;
    timer.start();
    QImage image;
    QString reason;
    QVERIFY(!ImageMagickUtil::loadImage(path, &image, &reason));
    QVERIFY(image.isNull());
    QVERIFY2(reason.contains(QLatin1String("too large")), qPrintable(reason));
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(makeListIcon(path).sizeStr, QStringLiteral("0x0"));
}

void TestRawReader::stopEndsTheDevelopment()
{
    DngFile::Recipe recipe;
    recipe.scene = makePhotoLike(96, 64);
    const QString path = writeDng(QStringLiteral("stop.dng"), recipe);
    QVERIFY(!path.isEmpty());
    {
        const DecodeStop::Scope stop([] { return true; });
        QVERIFY(QImageReader(path).read().isNull());
    }
    const DecodeStop::Scope goOn([] { return false; });
    QVERIFY(!QImageReader(path).read().isNull());
}

void TestRawReader::damagedAndForeignFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("ours"); // read by the RAW reader at all

    DngFile::Recipe recipe;
    recipe.scene = makePhotoLike(64, 48);
    const QString whole = dir.filePath(QStringLiteral("whole.dng"));
    QVERIFY(DngFile::write(whole, recipe));
    const QByteArray dng = readFile(whole);
    QTest::newRow("truncated DNG") << dng.left(dng.size() / 3) << QStringLiteral("cut.dng") << true;
    QTest::newRow("header only") << dng.left(16) << QStringLiteral("head.nef") << true;
    QTest::newRow("text named CR2") << QByteArray("not a picture at all") << QStringLiteral("text.cr2")
                                    << false;
    QTest::newRow("empty ARW") << QByteArray() << QStringLiteral("empty.arw") << false;
}

// Each is refused with a reason, never a crash or a picture made up.
void TestRawReader::damagedAndForeignFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, name);
    QFETCH(bool, ours);
    const QString path = dir.filePath(name);
    QVERIFY(writeFile(path, content));
    QCOMPARE(isRawFormat(QImageReader(path).format()), ours);
    QImage image;
    QString reason;
    const bool loaded = ImageMagickUtil::loadImage(path, &image, &reason);
    if (loaded) // a cut mosaic develops; the reader's complaint marks it
        QVERIFY2(!reason.isEmpty(), "a damaged file passed as whole");
    else
        QVERIFY(!reason.isEmpty());
}

// LibRaw's Phase One parser takes any file with "IIII" among its first bytes, whatever else it is:
// such a file never reaches LibRaw, though named as a RAW; Qt's TIFF reader may read it as a TIFF.
void TestRawReader::foreignParsersUnreachable()
{
    DngFile::Recipe recipe;
    recipe.scene = makePhotoLike(64, 48);
    const QString path = writeDng(QStringLiteral("bait.dng"), recipe);
    QVERIFY(!path.isEmpty());
    QByteArray bait = readFile(path);
    bait.replace(8, 4, "IIII");
    QVERIFY(writeFile(path, bait));
    QCOMPARE(QImageReader(path).format(), QByteArray("tiff"));
}

void TestRawReader::supportedSuffixes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("supported");
    for (const char *name : { "IMG_0001.CR2", "IMG_0001.cr3", "DSC_0001.NEF", "DSC_0001.nrw", "DSC01.ARW",
             "DSC01.SR2", "DSCF0001.RAF", "P1010001.ORF", "P1000001.RW2", "IMGP0001.PEF", "SAM_0001.SRW",
             "shot.3FR", "CF000001.IIQ", "shot.dng" })
        QTest::newRow(name) << QString::fromLatin1(name) << true;
    // Older formats LibRaw knows but the program does not read, and a sidecar.
    for (const char *name : { "CRW_0001.CRW", "PICT0001.MRW", "shot.X3F", "shot.KDC", "IMG_0001.CR2.xmp" })
        QTest::newRow(name) << QString::fromLatin1(name) << false;
}

void TestRawReader::supportedSuffixes()
{
    QFETCH(QString, name);
    QFETCH(bool, supported);
    const QString path = dir.filePath(name);
    QVERIFY(writeFile(path, "x"));
    QCOMPARE(isSupportedImageFile(path), supported);
}

void TestRawReader::metadataAndSidecar_data()
{
    QTest::addColumn<QString>("sidecarName"); // empty: none
    QTest::addColumn<bool>("removeLocation");

    QTest::newRow("no sidecar") << QString() << false;
    QTest::newRow("darktable's sidecar") << QStringLiteral("meta.dng.xmp") << false;
    QTest::newRow("Lightroom's sidecar") << QStringLiteral("meta.xmp") << false;
    QTest::newRow("sidecar, location removed") << QStringLiteral("meta.dng.xmp") << true;
}

// The camera's EXIF reaches the target without the RAW's own storage; a sidecar's title and
// location are laid over it, its settings for developing the RAW are not.
void TestRawReader::metadataAndSidecar()
{
    QFETCH(QString, sidecarName);
    QFETCH(bool, removeLocation);
    DngFile::Recipe recipe;
    recipe.scene = makePhotoLike(64, 48);
    recipe.make = QStringLiteral("Larkspan");
    const QString path = writeDng(QStringLiteral("meta.dng"), recipe);
    QVERIFY(!path.isEmpty());
    if (!sidecarName.isEmpty()) {
        const QByteArray xmp = "<?xpacket begin='' id='W5M0MpCehiHzreSzNTczkc9d'?>"
                               "<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF "
                               "xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'>"
                               "<rdf:Description rdf:about='' xmlns:dc='http://purl.org/dc/elements/1.1/' "
                               "xmlns:exif='http://ns.adobe.com/exif/1.0/' "
                               "xmlns:darktable='http://darktable.sf.net/' "
                               "exif:GPSLatitude='48,51.5N' darktable:history_end='3'>"
                               "<dc:title><rdf:Alt><rdf:li xml:lang='x-default'>Harbour at dawn</rdf:li>"
                               "</rdf:Alt></dc:title></rdf:Description></rdf:RDF></x:xmpmeta>"
                               "<?xpacket end='w'?>";
        QVERIFY(writeFile(dir.filePath(sidecarName), xmp));
    }
    const ImageMetadata target = metadataForTarget(path, QSize(64, 48), true, removeLocation);
    for (const QString &name : { QStringLiteral("meta.dng.xmp"), QStringLiteral("meta.xmp") })
        QFile::remove(dir.filePath(name));

    QVERIFY(target.exif.contains("Larkspan"));
    // No DNG tag (DNGVersion's number 0xc612, in either byte order) nor sub-directory goes along.
    QVERIFY(
        !target.exif.contains(QByteArray("\x12\xc6", 2)) && !target.exif.contains(QByteArray("\xc6\x12", 2)));
    QVERIFY(
        !target.exif.contains(QByteArray("\x4a\x01", 2)) || !target.exif.contains(QByteArray("\x01\x4a", 2)));
    QCOMPARE(target.xmp.contains("Harbour at dawn"), !sidecarName.isEmpty());
    QCOMPARE(target.xmp.contains("GPSLatitude"), !sidecarName.isEmpty() && !removeLocation);
    QVERIFY(!target.xmp.contains("history_end"));
}

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QImageReader::setAllocationLimit(256);
    TestRawReader test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_rawreader.moc"
