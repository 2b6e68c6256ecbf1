// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/imagewriter.h"
#include "convert/pngencoder.h"
#include "testsupport.h"

#include <QBuffer>
#include <QColorSpace>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <libdeflate.h>

using namespace TestSupport;

namespace {

struct Chunk {
    QByteArray type;
    QByteArray body;
};

// The chunks of a PNG in file order, consecutive IDAT chunks joined into one.
QList<Chunk> chunksOf(const QByteArray &png)
{
    QList<Chunk> chunks;
    for (qsizetype at = 8; at + 12 <= png.size();) {
        const auto length = qsizetype(qFromBigEndian<quint32>(png.constData() + at));
        Chunk chunk { png.mid(at + 4, 4), png.mid(at + 8, length) };
        at += 12 + length;
        if (chunk.type == "IDAT" && !chunks.isEmpty() && chunks.last().type == "IDAT")
            chunks.last().body += chunk.body;
        else
            chunks.append(chunk);
    }
    return chunks;
}

QByteArray inflate(const QByteArray &zlib, qsizetype expected)
{
    QByteArray out(expected, '\0');
    libdeflate_decompressor *d = libdeflate_alloc_decompressor();
    size_t actual = 0;
    const auto result = libdeflate_zlib_decompress(
        d, zlib.constData(), size_t(zlib.size()), out.data(), size_t(out.size()), &actual);
    libdeflate_free_decompressor(d);
    return result == LIBDEFLATE_SUCCESS ? out.left(qsizetype(actual)) : QByteArray("inflate failed");
}

// What a chunk says, compressed parts inflated: keyword, flags and text or profile.
QByteArray content(const Chunk &chunk)
{
    const qsizetype nul = chunk.body.indexOf('\0');
    qsizetype packedAt = -1;
    if (chunk.type == "zTXt" || chunk.type == "iCCP")
        packedAt = nul + 2;
    else if (chunk.type == "iTXt" && chunk.body.at(nul + 1) == 1)
        packedAt = chunk.body.indexOf('\0', chunk.body.indexOf('\0', nul + 3) + 1) + 1;
    else if (chunk.type == "IDAT")
        packedAt = 0;
    if (packedAt < 0)
        return chunk.body;
    return chunk.body.left(packedAt) + inflate(chunk.body.mid(packedAt), 1 << 22);
}

QByteArray encodeWithQt(const QImage &image, int quality)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.setQuality(quality);
    return writer.write(image) ? buffer.data() : QByteArray();
}

QByteArray encodeWithOurs(const QImage &image, int quality)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QString error;
    return writePng(image, &buffer, quality, &error) ? buffer.data() : error.toUtf8();
}

QImage decode(const QByteArray &png)
{
    return QImage::fromData(png, "png");
}

// The picture as ImageMagick decodes it: 16-bit RGBA samples; empty when it fails.
QByteArray magickPixels(const QString &path)
{
    QByteArray out;
    return runTool(QStringLiteral("convert"),
               { path, QStringLiteral("-depth"), QStringLiteral("16"), QStringLiteral("rgba:-") }, &out)
            == 0
        ? out
        : QByteArray();
}

QByteArray rgba64Bytes(const QImage &image)
{
    const QImage wide = image.convertToFormat(QImage::Format_RGBA64);
    QByteArray out;
    for (int y = 0; y < wide.height(); ++y) {
        const auto *p = reinterpret_cast<const quint16 *>(wide.constScanLine(y));
        for (int i = 0; i < wide.width() * 4; ++i) {
            char sample[2];
            qToLittleEndian(p[i], sample);
            out.append(sample, 2);
        }
    }
    return out;
}

QImage indexed(bool grey)
{
    QImage image(37, 23, QImage::Format_Indexed8);
    image.setColorCount(grey ? 256 : 40);
    for (int i = 0; i < image.colorCount(); ++i)
        image.setColor(i, grey ? qRgb(i, i, i) : qRgba(i * 6, 255 - i * 5, i * i % 256, i % 7 ? 255 : i * 3));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, (x * y + x) % image.colorCount());
    return image;
}

} // namespace

class TestPngEncoder : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(_dir.isValid()); }

    // Our file against Qt's for the same picture: the same chunks saying the same things, the
    // same filtered rows (so the same filters libpng picks), the same pixels for every decoder.
    void sameFileAsQt_data()
    {
        QTest::addColumn<QImage>("image");
        QTest::addColumn<int>("quality");
        const QImage photo = makePhotoLike(301, 97);
        const QImage alpha = makePhotoLike(120, 80, true);
        QImage tagged = photo;
        tagged.setColorSpace(QColorSpace::DisplayP3);
        tagged.setText(QStringLiteral("Title"), QStringLiteral("short"));
        tagged.setText(QStringLiteral("Comment"), QString(60, QLatin1Char('c')));
        tagged.setText(QStringLiteral("Author"), QStringLiteral("Zoë – €"));
        tagged.setText(QStringLiteral("Long unicode"), QString(50, QChar(0x20ac)));
        tagged.setOffset(QPoint(-3, 7));
        QTest::newRow("rgb") << photo << -1;
        QTest::newRow("rgb level 9") << photo << 0;
        QTest::newRow("rgb level 4") << photo << 50;
        QTest::newRow("rgb stored") << photo << 100;
        QTest::newRow("rgb888") << photo.convertToFormat(QImage::Format_RGB888) << -1;
        QTest::newRow("rgbx8888") << photo.convertToFormat(QImage::Format_RGBX8888) << -1;
        QTest::newRow("rgba") << alpha << -1;
        QTest::newRow("rgba premultiplied")
            << alpha.convertToFormat(QImage::Format_ARGB32_Premultiplied) << -1;
        QTest::newRow("rgba8888") << alpha.convertToFormat(QImage::Format_RGBA8888) << -1;
        QTest::newRow("grey") << photo.convertToFormat(QImage::Format_Grayscale8) << -1;
        QTest::newRow("grey 16") << photo.convertToFormat(QImage::Format_Grayscale16) << -1;
        QTest::newRow("rgb 16") << photo.convertToFormat(QImage::Format_RGBX64) << -1;
        QTest::newRow("rgba 16") << alpha.convertToFormat(QImage::Format_RGBA64) << -1;
        QTest::newRow("rgba 16 premultiplied")
            << alpha.convertToFormat(QImage::Format_RGBA64_Premultiplied) << -1;
        QTest::newRow("palette") << indexed(false) << -1;
        QTest::newRow("grey palette") << indexed(true) << -1;
        QTest::newRow("mono") << photo.convertToFormat(QImage::Format_Mono) << -1;
        QTest::newRow("mono lsb") << photo.convertToFormat(QImage::Format_MonoLSB) << -1;
        QTest::newRow("profile, text, offset") << tagged << -1;
    }

    void sameFileAsQt()
    {
        QFETCH(QImage, image);
        QFETCH(int, quality);
        const QByteArray theirs = encodeWithQt(image, quality);
        const QByteArray ours = encodeWithOurs(image, quality);
        QVERIFY(!theirs.isEmpty());
        QVERIFY2(ours.startsWith("\x89PNG\r\n\x1a\n"), ours.constData());

        const QList<Chunk> expected = chunksOf(theirs);
        const QList<Chunk> actual = chunksOf(ours);
        QCOMPARE(actual.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i) {
            QCOMPARE(actual.at(i).type, expected.at(i).type);
            QCOMPARE(content(actual.at(i)), content(expected.at(i)));
        }
        // The zlib header's level field: the same compression level as Qt's writer.
        QCOMPARE(quint8(chunksOf(ours).at(actual.size() - 2).body.at(1)) >> 6,
            quint8(chunksOf(theirs).at(expected.size() - 2).body.at(1)) >> 6);

        const QImage decoded = decode(ours);
        QCOMPARE(decoded, decode(theirs));
        QCOMPARE(decoded.colorSpace(), image.colorSpace());
        for (const QString &key : image.textKeys())
            QCOMPARE(decoded.text(key), image.text(key));

        const QString path
            = _dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral(".png"));
        QVERIFY(writeFile(path, ours));
        if (haveTool(QStringLiteral("pngcheck"))) {
            QByteArray report;
            QVERIFY2(runTool(QStringLiteral("pngcheck"), { path }, &report) == 0, report.constData());
        }
        if (haveTool(QStringLiteral("convert")))
            QCOMPARE(magickPixels(path), rgba64Bytes(decoded));
        if (!haveTool(QStringLiteral("pngcheck")) || !haveTool(QStringLiteral("convert")))
            QSKIP("pngcheck or ImageMagick (convert) missing: Debian packages pngcheck, imagemagick");
    }

    // The extremes of a row's and a column's length, through the program's file writer.
    void extremeSizes_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("alpha");
        QTest::newRow("1x1") << QSize(1, 1) << false;
        QTest::newRow("1x1 alpha") << QSize(1, 1) << true;
        QTest::newRow("1x65535") << QSize(1, 65535) << false;
        QTest::newRow("65535x1 alpha") << QSize(65535, 1) << true;
    }

    void extremeSizes()
    {
        QFETCH(QSize, size);
        QFETCH(bool, alpha);
        const QImage image = makePhotoLike(size.width(), size.height(), alpha);
        const QString path
            = _dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral(".png"));
        QString error;
        QVERIFY2(writeImageFile(image, path, 95, &error), qPrintable(error));
        QImage decoded(path);
        QCOMPARE(decoded.size(), size);
        QCOMPARE(decoded.convertToFormat(image.format()), image);
        if (!haveTool(QStringLiteral("pngcheck")))
            QSKIP("pngcheck missing: Debian package pngcheck");
        QByteArray report;
        QVERIFY2(runTool(QStringLiteral("pngcheck"), { path }, &report) == 0, report.constData());
    }

    // The program's PNG targets go through this encoder: one large IDAT chunk where libpng
    // writes 8 KiB ones.
    void fileWriterUsesEncoder()
    {
        const QString path = _dir.filePath(QStringLiteral("writer.png"));
        QVERIFY(writeImageFile(makePhotoLike(400, 300, true), path, 95));
        const QByteArray png = readFile(path);
        QVERIFY(!png.isEmpty());
        QVERIFY(png.size() > 3 * 8192);
        QCOMPARE(png.count("IDAT"), 1);
    }

    void failingDeviceReportsWhy()
    {
        QFile full(QStringLiteral("/dev/full"));
        if (!full.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            QSKIP("no /dev/full here");
        QString error;
        QVERIFY(!writePng(makePhotoLike(64, 64), &full, -1, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!writePng(QImage(), &full, -1, &error));
        QCOMPARE(error, QStringLiteral("Image is empty"));
    }

private:
    QTemporaryDir _dir;
};

QTEST_MAIN(TestPngEncoder)
#include "tst_pngencoder.moc"
