// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/gifencoder.h"
#include "testsupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>
#include <gif_lib.h>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

using namespace TestSupport;

namespace {

// The blocks of a single-frame GIF as written on disk, read byte by byte.
struct GifLayout {
    bool valid = false;
    QByteArray signature;
    int screenWidth = 0;
    int screenHeight = 0;
    bool globalTable = false;
    int colourResolutionBits = -1;
    bool sorted = true;
    int globalSize = 0;
    int background = -1;
    QList<QRgb> globalColours;
    bool extensionFollows = false;
    int left = -1;
    int top = -1;
    int width = 0;
    int height = 0;
    bool localTable = false;
    bool interlaced = true;
    int localSize = 0;
    QList<QRgb> localColours;
    bool endsWithTrailer = false;
};

QList<QRgb> readTable(const QByteArray &data, int offset, int entries)
{
    QList<QRgb> colours;
    for (int i = 0; i < entries; ++i) {
        const int at = offset + 3 * i;
        colours.append(qRgb(quint8(data[at]), quint8(data[at + 1]), quint8(data[at + 2])));
    }
    return colours;
}

int word(const QByteArray &data, int offset)
{
    return quint8(data[offset]) | (quint8(data[offset + 1]) << 8);
}

GifLayout parseGif(const QByteArray &data)
{
    GifLayout gif;
    if (data.size() < 13)
        return gif;
    gif.signature = data.left(6);
    gif.screenWidth = word(data, 6);
    gif.screenHeight = word(data, 8);
    const quint8 packed = quint8(data[10]);
    gif.globalTable = packed & 0x80;
    gif.colourResolutionBits = (packed >> 4) & 0x07;
    gif.sorted = packed & 0x08;
    gif.globalSize = 1 << ((packed & 0x07) + 1);
    gif.background = quint8(data[11]);
    int at = 13;
    if (gif.globalTable) {
        if (data.size() < at + 3 * gif.globalSize)
            return gif;
        gif.globalColours = readTable(data, at, gif.globalSize);
        at += 3 * gif.globalSize;
    }
    if (data.size() < at + 10)
        return gif;
    gif.extensionFollows = quint8(data[at]) == 0x21;
    if (quint8(data[at]) != 0x2C)
        return gif;
    gif.left = word(data, at + 1);
    gif.top = word(data, at + 3);
    gif.width = word(data, at + 5);
    gif.height = word(data, at + 7);
    const quint8 imagePacked = quint8(data[at + 9]);
    gif.localTable = imagePacked & 0x80;
    gif.interlaced = imagePacked & 0x40;
    gif.localSize = 1 << ((imagePacked & 0x07) + 1);
    at += 10;
    if (gif.localTable) {
        if (data.size() < at + 3 * gif.localSize)
            return gif;
        gif.localColours = readTable(data, at, gif.localSize);
    }
    gif.endsWithTrailer = data.endsWith(';');
    gif.valid = true;
    return gif;
}

GifLayout parseGifFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parseGif(file.readAll());
}

QImage indexedImage(int width, int height, const QList<QRgb> &colours)
{
    QImage image(width, height, QImage::Format_Indexed8);
    image.setColorTable(colours);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, (x + y) % colours.size());
    return image;
}

QList<QRgb> distinctColours(int count)
{
    QList<QRgb> colours;
    for (int i = 0; i < count; ++i)
        colours.append(qRgb(10 + (i * 37) % 240, 200 - (i * 13) % 190, 30 + (i * 7) % 220));
    return colours;
}

QImage twoColourImage()
{
    QImage image = filledImage(QSize(40, 30), qRgb(200, 30, 30));
    for (int y = 0; y < 30; ++y)
        for (int x = 20; x < 40; ++x)
            image.setPixel(x, y, qRgb(20, 40, 220));
    return image;
}

bool samePixels(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if ((a.pixel(x, y) & 0xFFFFFF) != (b.pixel(x, y) & 0xFFFFFF))
                return false;
    return true;
}

// The text giflib gives for each failure of its encoder.
QStringList giflibWriteErrors()
{
    QStringList texts;
    for (int code = E_GIF_ERR_OPEN_FAILED; code <= E_GIF_ERR_NOT_WRITEABLE; ++code)
        if (const char *text = GifErrorString(code))
            texts.append(QString::fromUtf8(text));
    return texts;
}

bool startsWithGiflibError(const QString &error)
{
    for (const QString &text : giflibWriteErrors())
        if (error.startsWith(text))
            return true;
    return false;
}

// Accepts `budget` bytes, then refuses every write, as a full disk does.
class FillingDevice : public QIODevice {
public:
    explicit FillingDevice(qint64 budget)
        : _budget(budget)
    {
        open(QIODevice::WriteOnly);
    }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 length) override
    {
        if (_written + length > _budget) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        _written += length;
        return length;
    }

private:
    qint64 _budget;
    qint64 _written = 0;
};

} // namespace

class TestGifEncoder : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void photographDecodesAtFullSize();
    void paletteAndDescriptors_data();
    void paletteAndDescriptors();
    void monochromeSourceWritesBytePerPixel();
    void transparencyComesOutOpaque();
    void existingFileIsReplaced();
    void refusedImages_data();
    void refusedImages();
    void unwritableTargets_data();
    void unwritableTargets();
    void failedWriteReportsGiflibError_data();
    void failedWriteReportsGiflibError();
    void fileSizeLimitKeepsExistingFile();

private:
    std::unique_ptr<QTemporaryDir> _dir;
};

void TestGifEncoder::init()
{
    _dir = std::make_unique<QTemporaryDir>();
    QVERIFY(_dir->isValid());
}

void TestGifEncoder::photographDecodesAtFullSize()
{
    const QImage photo = makePhotoLike(321, 203);
    const QString path = _dir->filePath(QStringLiteral("photo.gif"));
    QString error;
    QVERIFY2(writeGifFile(photo, path, &error), qPrintable(error));

    const GifLayout gif = parseGifFile(path);
    QVERIFY(gif.valid);
    QCOMPARE(gif.globalSize, 256);
    QCOMPARE(gif.localSize, 256);
    QCOMPARE(QSize(gif.screenWidth, gif.screenHeight), photo.size());

    QImageReader reader(path);
    QCOMPARE(reader.format(), QByteArray("gif"));
    const QImage decoded = reader.read();
    QCOMPARE(decoded.size(), photo.size());
    // Dithered to a palette, but the same picture.
    QVERIFY2(psnr(photo, decoded) > 20.0, qPrintable(QString::number(psnr(photo, decoded))));

    if (!haveTool(QStringLiteral("identify")))
        QSKIP("ImageMagick identify is not installed; Qt's reader alone checked the file");
    QByteArray output;
    QCOMPARE(runTool(QStringLiteral("identify"),
                 { QStringLiteral("-format"), QStringLiteral("%m %w %h"), path }, &output),
        0);
    QCOMPARE(output.trimmed(), QByteArray("GIF 321 203"));
}

void TestGifEncoder::paletteAndDescriptors_data()
{
    QTest::addColumn<QImage>("source");
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("paletteSize");
    QTest::addColumn<int>("colourResolutionBits");

    QTest::newRow("two colours, 32-bit source") << twoColourImage() << 2 << 2 << 1;
    QTest::newRow("3 entries") << indexedImage(17, 9, distinctColours(3)) << 3 << 4 << 3;
    QTest::newRow("4 entries") << indexedImage(17, 9, distinctColours(4)) << 4 << 4 << 3;
    QTest::newRow("5 entries, padded to 8") << indexedImage(17, 9, distinctColours(5)) << 5 << 8 << 7;
    QTest::newRow("8 entries") << indexedImage(17, 9, distinctColours(8)) << 8 << 8 << 7;
    QTest::newRow("16 entries") << indexedImage(17, 9, distinctColours(16)) << 16 << 16 << 7;
    QTest::newRow("200 entries, padded to 256")
        << indexedImage(40, 40, distinctColours(200)) << 200 << 256 << 7;
    QTest::newRow("256 entries") << indexedImage(40, 40, distinctColours(256)) << 256 << 256 << 7;
}

void TestGifEncoder::paletteAndDescriptors()
{
    QFETCH(QImage, source);
    QFETCH(int, entries);
    QFETCH(int, paletteSize);
    QFETCH(int, colourResolutionBits);

    const QString path = _dir->filePath(QStringLiteral("palette.gif"));
    QString error;
    QVERIFY2(writeGifFile(source, path, &error), qPrintable(error));

    const GifLayout gif = parseGifFile(path);
    QVERIFY(gif.valid);
    QCOMPARE(gif.signature, QByteArray("GIF89a"));
    QCOMPARE(QSize(gif.screenWidth, gif.screenHeight), source.size());
    QVERIFY(gif.globalTable);
    QCOMPARE(gif.colourResolutionBits, colourResolutionBits);
    QVERIFY(!gif.sorted);
    QCOMPARE(gif.background, 0);
    QCOMPARE(gif.globalSize, paletteSize);
    QVERIFY2(!gif.extensionFollows, "no extension block is written");
    QCOMPARE(QPoint(gif.left, gif.top), QPoint(0, 0));
    QCOMPARE(QSize(gif.width, gif.height), source.size());
    QVERIFY(!gif.interlaced);
    QVERIFY(gif.localTable);
    QCOMPARE(gif.localSize, paletteSize);
    QCOMPARE(gif.localColours, gif.globalColours);
    QVERIFY(gif.endsWithTrailer);

    const QImage indexed = source.convertToFormat(QImage::Format_Indexed8);
    for (int i = 0; i < paletteSize; ++i) {
        const QRgb expected = i < entries ? (indexed.color(i) | 0xFF000000) : qRgb(0, 0, 0);
        QCOMPARE(gif.globalColours.at(i), expected);
    }
    QVERIFY(samePixels(QImage(path), source));

    if (!haveTool(QStringLiteral("giftext")))
        QSKIP("giftext is not installed; the header was read by this test only");
    QByteArray text;
    QCOMPARE(runTool(QStringLiteral("giftext"), { path }, &text), 0);
    QVERIFY2(text.contains(QStringLiteral("ColorResolution = %1, BitsPerPixel = %2")
                               .arg(colourResolutionBits + 1)
                               .arg(qCountTrailingZeroBits(uint(paletteSize)))
                               .toLatin1()),
        text.constData());
    QVERIFY(text.contains("Image is Non Interlaced"));
    QVERIFY(text.contains("GIF file terminated normally"));
}

void TestGifEncoder::monochromeSourceWritesBytePerPixel()
{
    // An odd width, so that a packed 1-bit row would not even fill whole bytes.
    QImage mono(13, 7, QImage::Format_Mono);
    mono.setColorTable({ qRgb(0, 0, 0), qRgb(255, 255, 255) });
    for (int y = 0; y < mono.height(); ++y)
        for (int x = 0; x < mono.width(); ++x)
            mono.setPixel(x, y, (x * 3 + y) % 5 == 0 ? 1 : 0);

    const QString path = _dir->filePath(QStringLiteral("mono.gif"));
    QVERIFY(writeGifFile(mono, path));
    const GifLayout gif = parseGifFile(path);
    QVERIFY(gif.valid);
    QCOMPARE(gif.globalSize, 2);
    QCOMPARE(QSize(gif.width, gif.height), mono.size());
    QVERIFY(samePixels(QImage(path), mono));
}

void TestGifEncoder::transparencyComesOutOpaque()
{
    const QImage withAlpha = makePhotoLike(64, 48, true);
    QImage holes = withAlpha;
    for (int y = 10; y < 20; ++y)
        for (int x = 0; x < 64; ++x)
            holes.setPixel(x, y, qRgba(0, 0, 0, 0));

    const QString path = _dir->filePath(QStringLiteral("alpha.gif"));
    QVERIFY(writeGifFile(holes, path));
    QVERIFY2(!parseGifFile(path).extensionFollows, "no graphic control extension, so no transparent index");
    const QImage decoded(path);
    QCOMPARE(decoded.size(), holes.size());
    QVERIFY(!decoded.hasAlphaChannel());
    for (int y = 0; y < decoded.height(); ++y)
        for (int x = 0; x < decoded.width(); ++x)
            QCOMPARE(qAlpha(decoded.pixel(x, y)), 255);
}

void TestGifEncoder::existingFileIsReplaced()
{
    const QString path = _dir->filePath(QStringLiteral("again.gif"));
    QVERIFY(writeGifFile(makePhotoLike(90, 70), path));
    QFile junk(_dir->filePath(QStringLiteral("junk.gif")));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(5000, 'x'));
    junk.close();

    const QImage replacement = twoColourImage();
    QVERIFY(writeGifFile(replacement, path));
    QVERIFY(writeGifFile(replacement, junk.fileName()));
    QVERIFY(samePixels(QImage(path), replacement));
    QVERIFY(samePixels(QImage(junk.fileName()), replacement));
    QCOMPARE(folderEntries(_dir->path()), QStringList({ "again.gif", "junk.gif" }));
}

void TestGifEncoder::refusedImages_data()
{
    QTest::addColumn<QImage>("image");
    QTest::addColumn<QString>("reason");

    QTest::newRow("null image") << QImage() << "Image is empty";
    QTest::newRow("wider than a GIF can describe") << QImage(
        65536, 1, QImage::Format_Indexed8) << "Image is too large for GIF (at most 65535 pixels a side)";
}

void TestGifEncoder::refusedImages()
{
    QFETCH(QImage, image);
    QFETCH(QString, reason);

    const QString path = _dir->filePath(QStringLiteral("refused.gif"));
    QString error;
    QTest::ignoreMessage(QtDebugMsg, qPrintable("Cannot write: " + path + " " + reason));
    QVERIFY(!writeGifFile(image, path, &error));
    QCOMPARE(error, reason);
    QVERIFY(folderEntries(_dir->path()).isEmpty());
}

void TestGifEncoder::unwritableTargets_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("readOnly");

    QTest::newRow("missing folder") << "missing" << false;
    QTest::newRow("folder is a file") << "plain.txt" << false;
    QTest::newRow("read-only folder") << "locked" << true;
}

void TestGifEncoder::unwritableTargets()
{
    QFETCH(QString, folder);
    QFETCH(bool, readOnly);

    const QString path = _dir->filePath(folder + "/out.gif");
    if (folder.endsWith(".txt")) {
        QFile plain(_dir->filePath(folder));
        QVERIFY(plain.open(QIODevice::WriteOnly));
    }
    QByteArray before;
    if (readOnly) {
#ifdef Q_OS_UNIX
        if (geteuid() == 0)
            QSKIP("running as root, which writes into read-only folders");
#endif
        QVERIFY(QDir(_dir->path()).mkdir(folder));
        QVERIFY(writeGifFile(twoColourImage(), path));
        before = fileDigest(path);
        QVERIFY(QFile::setPermissions(_dir->filePath(folder), QFile::ReadOwner | QFile::ExeOwner));
    }
    QString error;
    QTest::ignoreMessage(
        QtDebugMsg, QRegularExpression("^Cannot write: " + QRegularExpression::escape(path)));
    const bool written = writeGifFile(makePhotoLike(50, 40), path, &error);
    if (readOnly)
        QFile::setPermissions(_dir->filePath(folder), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(!written);
    QVERIFY(!error.isEmpty());
    if (readOnly) {
        QCOMPARE(fileDigest(path), before);
        QCOMPARE(folderEntries(_dir->filePath(folder)), QStringList { "out.gif" });
    } else {
        QVERIFY(!QFileInfo::exists(path));
    }
}

void TestGifEncoder::failedWriteReportsGiflibError_data()
{
    QBuffer whole;
    whole.open(QIODevice::WriteOnly);
    QVERIFY(writeGif(makePhotoLike(120, 90), &whole));
    const qint64 size = whole.data().size();
    QVERIFY(whole.data().endsWith(';'));

    QTest::addColumn<qint64>("budget");
    QTest::newRow("nothing fits") << qint64(0);
    QTest::newRow("header only") << qint64(13);
    QTest::newRow("palette but no pixels") << qint64(13 + 3 * 256 + 10);
    QTest::newRow("half the pixels") << size / 2;
    QTest::newRow("all but the trailer") << size - 1;
}

void TestGifEncoder::failedWriteReportsGiflibError()
{
    QFETCH(qint64, budget);

    FillingDevice device(budget);
    QString error;
    QVERIFY(!writeGif(makePhotoLike(120, 90), &device, &error));
    QVERIFY2(startsWithGiflibError(error), qPrintable(error));
    QVERIFY2(error.endsWith(QStringLiteral(" (No space left on device)")), qPrintable(error));
}

void TestGifEncoder::fileSizeLimitKeepsExistingFile()
{
#ifdef Q_OS_UNIX
    // The file size limit makes the real file system refuse writes part-way, as a full disk would.
    const QString path = _dir->filePath(QStringLiteral("kept.gif"));
    QVERIFY(writeGifFile(twoColourImage(), path));
    const QByteArray before = fileDigest(path);

    rlimit old {};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit limited = old;
    limited.rlim_cur = 4096;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
    QString error;
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Cannot write: "));
    const bool written = writeGifFile(makePhotoLike(640, 480), path, &error);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!written);
    QVERIFY2(startsWithGiflibError(error), qPrintable(error));
    QCOMPARE(fileDigest(path), before);
    QCOMPARE(folderEntries(_dir->path()), QStringList { "kept.gif" });
#else
    QSKIP("needs a file size limit (setrlimit)");
#endif
}

QTEST_MAIN(TestGifEncoder)
#include "tst_gifencoder.moc"
