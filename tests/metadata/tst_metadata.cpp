// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/conversionoptions.h"
#include "convert/convertimagesthread.h"
#include "imaging/renderpipeline.h"
#include "metadata/imagemetadata.h"
#include "metadata/tiffmetadatadevice.h"
#include "settings/settingsstore.h"
#include "testsupport.h"

#include <QBuffer>
#include <QColorSpace>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <algorithm>

namespace {

// Tagged onto the source by exiftool; what every target must hold.
const QStringList sourceTags = { "-Make=Pictocam", "-Model=PC 1", "-DateTimeOriginal=2024:05:06 07:08:09",
    "-Artist=Ada Artist", "-Copyright=(c) Ada", "-GPSLatitude=48.8583", "-GPSLatitudeRef=N",
    "-GPSLongitude=2.2945", "-GPSLongitudeRef=E", "-XMP-dc:Creator=Ada Creator", "-XMP-photoshop:City=Paris",
    "-XMP-exif:GPSLatitude=48.8583 N", "-IPTC:Keywords=alpha", "-IPTC:Keywords=beta", "-Orientation=6" };

// An Adobe RGB green beyond the sRGB gamut, and the sRGB value a colour-managed viewer shows for
// it (LittleCMS through ImageMagick, relative colorimetric). Adobe RGB's pure green would not do:
// clipped to sRGB it is (0, 255, 0), the value an unconverted picture has too.
const QRgb adobeGreen = qRgb(128, 255, 128);
const QRgb adobeGreenInSrgb = qRgb(0, 255, 120);

QJsonObject readTags(const QString &path)
{
    QByteArray output;
    if (TestSupport::runTool("exiftool", { "-j", "-n", "-G0", path }, &output) != 0)
        return {};
    return QJsonDocument::fromJson(output).array().at(0).toObject();
}

bool hasKeyContaining(const QJsonObject &tags, const QString &part)
{
    const QStringList keys = tags.keys();
    for (const QString &key : keys) {
        if (key.contains(part, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

QByteArray bigEndian(quint32 value, int size)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes.right(size);
}

// A directory entry of a big-endian TIFF holding one short (type 3) or long (type 4).
QByteArray bigEndianEntry(quint16 tag, quint16 type, quint32 value)
{
    const QByteArray field = type == 3 ? bigEndian(value, 2) + QByteArray(2, '\0') : bigEndian(value, 4);
    return bigEndian(tag, 2) + bigEndian(type, 2) + bigEndian(1, 4) + field;
}

bool closeTo(QRgb a, QRgb b)
{
    return qAbs(qRed(a) - qRed(b)) <= 2 && qAbs(qGreen(a) - qGreen(b)) <= 2 && qAbs(qBlue(a) - qBlue(b)) <= 2;
}

// A profile as ImageMagick stores it in a PNG text chunk: its type, its length and its bytes in hex.
QString rawProfile(const QString &type, const QByteArray &bytes)
{
    QString text = "\n" + type + "\n" + QString("%1").arg(bytes.size(), 8) + "\n";
    const QByteArray hex = bytes.toHex();
    for (qsizetype i = 0; i < hex.size(); i += 72)
        text += QString::fromLatin1(hex.mid(i, 72)) + "\n";
    return text;
}

// A PNG chunk's CRC.
quint32 crc32(const QByteArray &bytes)
{
    quint32 crc = 0xffffffff;
    for (const char byte : bytes) {
        crc ^= uchar(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320 & (0 - (crc & 1)));
    }
    return ~crc;
}

// Where the test's photo was taken, as the bytes that would give it away in any file.
const QByteArrayList locationBytes = { "Paris", "GPSLatitude", "48/1", "48.8583", "48,51" };

} // namespace

class TestMetadata : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString in, out;

    // A 64 x 48 Adobe RGB JPEG of one colour, stored sideways (orientation 6): upright 48 x 64.
    QString makeSource(const QString &name, const QStringList &tags)
    {
        QImage image = TestSupport::filledImage(QSize(64, 48), adobeGreen);
        image.setColorSpace(QColorSpace::AdobeRgb);
        const QString path = in + "/" + name;
        if (!image.save(path, "JPG", 100))
            qFatal("cannot write the source");
        QImage thumbnail = TestSupport::filledImage(QSize(16, 12), Qt::red);
        thumbnail.save(in + "/thumbnail.jpg");
        QStringList arguments
            = { "-q", "-overwrite_original", "-n", "-ThumbnailImage<=" + in + "/thumbnail.jpg" };
        arguments << tags << path;
        QByteArray log;
        if (TestSupport::runTool("exiftool", arguments, &log) != 0)
            qFatal("exiftool cannot tag the source: %s", log.constData());
        return path;
    }

    QString convert(const QString &source, const QString &ext, QString *note = nullptr)
    {
        ConvertImagesThread job;
        job._urls = { source };
        job.targetFolder = out;
        job.targetExt = ext;
        job.overwriteExisting = true;
        job.start();
        if (!job.wait(120000))
            qFatal("job did not finish");
        if (!job.failures().isEmpty())
            qWarning() << job.failures().first().reason;
        if (note)
            *note = job.notes().isEmpty() ? QString() : job.notes().first().reason;
        return ConvertImagesThread::targetPathFor(out, source, ext);
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (!TestSupport::haveTool("exiftool"))
            QSKIP("exiftool (libimage-exiftool-perl) is not installed");
        in = dir.path() + "/in";
        out = dir.path() + "/out";
        QDir().mkpath(in);
        QDir().mkpath(out);
    }

    void init()
    {
        resetOptions();
        clearLoadCache();
        updateOptions([&](ConversionOptions &o) { o.outputFolder = out; });
    }

    void keptInEveryTarget_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<bool>("keep");
        QTest::addColumn<bool>("removeLocation");
        QTest::addColumn<int>("tiffCompression");
        const QStringList targets = { ".avif", ".heic", ".heif", ".jpg", ".jxl", ".png", ".tiff", ".webp" };
        const int none = EncoderSettings::TiffNone;
        for (const QString &ext : targets) {
            QTest::addRow("%s kept", qPrintable(ext)) << ext << true << false << none;
            QTest::addRow("%s without location", qPrintable(ext)) << ext << true << true << none;
            QTest::addRow("%s metadata off", qPrintable(ext)) << ext << false << false << none;
        }
        // The compressed TIFFs are written by other encoders, Deflate by our own.
        QTest::newRow(".tiff LZW kept") << ".tiff" << true << false << int(EncoderSettings::TiffLzw);
        QTest::newRow(".tiff Deflate kept") << ".tiff" << true << false << int(EncoderSettings::TiffDeflate);
    }

    void keptInEveryTarget()
    {
        QFETCH(QString, ext);
        QFETCH(bool, keep);
        QFETCH(bool, removeLocation);
        QFETCH(int, tiffCompression);
        updateOptions([&](ConversionOptions &o) {
            o.keepMetadata = keep;
            o.removeLocation = removeLocation;
            o.tiffCompression = tiffCompression;
        });
        const QString target = convert(makeSource("tagged.jpg", sourceTags), ext);
        const QJsonObject tags = readTags(target);
        QVERIFY2(!tags.isEmpty(), qPrintable(target));

        // The colour profile is part of the picture: kept whatever the options say. JPEG XL
        // describes Adobe RGB by its primaries, with no ICC profile for exiftool to show.
        if (ext == ".jxl")
            QCOMPARE(QImage(target).colorSpace().primaries(), QColorSpace::Primaries::AdobeRgb);
        else
            QVERIFY2(tags.value("ICC_Profile:ProfileDescription").toString().contains("Adobe"),
                qPrintable(tags.value("ICC_Profile:ProfileDescription").toString()));
        if (!keep) {
            for (const char *key : { "EXIF:Make", "EXIF:Artist", "EXIF:DateTimeOriginal", "GPS",
                     "XMP:Creator", "Keywords", "XMP:Subject", "XMP:City" })
                QVERIFY2(!hasKeyContaining(tags, key), key);
            return;
        }
        QCOMPARE(tags.value("EXIF:Make").toString(), QString("Pictocam"));
        QCOMPARE(tags.value("EXIF:Model").toString(), QString("PC 1"));
        QCOMPARE(tags.value("EXIF:DateTimeOriginal").toString(), QString("2024:05:06 07:08:09"));
        QCOMPARE(tags.value("EXIF:Artist").toString(), QString("Ada Artist"));
        QCOMPARE(tags.value("EXIF:Copyright").toString(), QString("(c) Ada"));
        QCOMPARE(tags.value("XMP:Creator").toString(), QString("Ada Creator"));
        // Formats without an IPTC block hold the keywords as XMP, where exiftool reads them too.
        const QJsonValue keywords
            = tags.contains("IPTC:Keywords") ? tags.value("IPTC:Keywords") : tags.value("XMP:Subject");
        QCOMPARE(keywords.toArray(), QJsonArray({ "alpha", "beta" }));
        QCOMPARE(tags.value("EXIF:Orientation").toInt(), 1);
        QCOMPARE(tags.value("EXIF:ExifImageWidth").toInt(), 48);
        QCOMPARE(tags.value("EXIF:ExifImageHeight").toInt(), 64);
        QVERIFY(!hasKeyContaining(tags, "Thumbnail"));
        if (removeLocation) {
            QVERIFY(!hasKeyContaining(tags, "GPS"));
            QVERIFY(!tags.contains("XMP:City"));
        } else {
            QCOMPARE(tags.value("EXIF:GPSLatitude").toDouble(), 48.8583);
            QCOMPARE(tags.value("XMP:City").toString(), QString("Paris"));
        }
        QImage written(target);
        QCOMPARE(written.size(), QSize(48, 64));
    }

    // A user who changes nothing publishes no location: settings from a fresh store, every
    // target that holds metadata. Unticking the box keeps all of it.
    void locationByDefault_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<bool>("untick");
        for (const char *ext : { ".avif", ".heic", ".heif", ".jpg", ".jxl", ".png", ".tiff", ".webp" }) {
            QTest::addRow("%s fresh settings", ext) << QString(ext) << false;
            QTest::addRow("%s box unticked", ext) << QString(ext) << true;
        }
    }

    void locationByDefault()
    {
        QFETCH(QString, ext);
        QFETCH(bool, untick);
        QStandardPaths::setTestModeEnabled(true);
        TestSupport::clearStore();
        SettingsStore::loadOptions(QFont());
        updateOptions([&](ConversionOptions &o) {
            o.outputFolder = out;
            if (untick)
                o.removeLocation = false;
        });
        const QString source = makeSource("located.jpg",
            { "-GPSLatitude=48.8583", "-GPSLatitudeRef=N", "-GPSLongitude=2.2945", "-GPSLongitudeRef=E",
                "-XMP-exif:GPSLatitude=48.8583", "-XMP-photoshop:City=Paris", "-IPTC:City=Paris",
                "-IPTC:Country-PrimaryLocationName=France", "-Artist=Ada Artist" });
        QByteArray output;
        QCOMPARE(
            TestSupport::runTool("exiftool",
                { "-j", "-n", "-G0", "-gps:all", "-xmp:all", "-iptc:all", convert(source, ext) }, &output),
            0);
        const QJsonObject tags = QJsonDocument::fromJson(output).array().at(0).toObject();
        QStringList location;
        for (const QString &key : tags.keys()) {
            for (const char *part : { "GPS", "City", "Country", "Province", "Location" }) {
                if (key.contains(part, Qt::CaseInsensitive))
                    location.append(key);
            }
        }
        if (!untick) {
            QVERIFY2(location.isEmpty(), qPrintable(location.join(", ")));
            return;
        }
        QCOMPARE(tags.value("EXIF:GPSLatitude").toDouble(), 48.8583);
        QVERIFY2(tags.contains("XMP:GPSLatitude"), qPrintable(tags.keys().join(", ")));
        QVERIFY2(
            tags.value("IPTC:City").toString() == "Paris" || tags.value("XMP:City").toString() == "Paris",
            qPrintable(tags.keys().join(", ")));
    }

    // A PNG made the usual ImageMagick way holds the photo's EXIF, XMP and IPTC as text chunks,
    // beside properties of its own ("exif:GPSLatitude"); a JPEG may hold a comment. Nothing but
    // what the metadata step writes reaches the target: no location with "Remove location", no
    // metadata at all with metadata off. The bytes of the whole file are searched.
    void noLocationAnywhereInTarget_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("ext");
        QTest::addColumn<bool>("keep");
        for (const char *source : { "raw profiles.png", "xmp itxt.png", "comment.jpg" }) {
            for (const char *ext : { ".jpg", ".png", ".webp", ".tiff" }) {
                QTest::addRow("%s to %s, location removed", source, ext) << source << ext << true;
                QTest::addRow("%s to %s, metadata off", source, ext) << source << ext << false;
            }
        }
    }

    void noLocationAnywhereInTarget()
    {
        QFETCH(QString, source);
        QFETCH(QString, ext);
        QFETCH(bool, keep);
        updateOptions([&](ConversionOptions &o) {
            o.keepMetadata = keep;
            o.removeLocation = true;
        });
        const QString tagged = makeSource("tagged.jpg", sourceTags);
        const ImageMetadata blocks = readMetadata(tagged);
        QVERIFY(!blocks.exif.isEmpty() && !blocks.xmp.isEmpty() && !blocks.iptc.isEmpty());
        const QString path = in + "/" + source;
        if (source.endsWith(".png")) {
            QImage image = QImage(tagged).convertToFormat(QImage::Format_RGB32);
            if (source.startsWith("raw")) {
                image.setText(
                    "Raw profile type exif", rawProfile("exif", QByteArray("Exif\0\0", 6) + blocks.exif));
                image.setText("Raw profile type iptc", rawProfile("iptc", blocks.iptc));
                image.setText("Raw profile type xmp", rawProfile("xmp", blocks.xmp));
            } else {
                // A character beyond Latin-1 makes Qt store the packet as iTXt, as Adobe does.
                image.setText(
                    "XML:com.adobe.xmp", QString::fromUtf8(blocks.xmp).replace("Ada Creator", "Ада"));
            }
            image.setText("exif:GPSLatitude", "48/1, 51/1, 756/25");
            image.setText("photoshop:City", "Paris");
            image.setText("xmp:GPSLatitude", "48,51.498N");
            QVERIFY(image.save(path));
        } else {
            QFile::remove(path);
            QVERIFY(QFile::copy(tagged, path));
            QCOMPARE(TestSupport::runTool("exiftool",
                         { "-q", "-overwrite_original", "-Comment=photoshop:City: Paris\nnote: Ada's note",
                             path }),
                0);
        }

        const QString target = convert(path, ext);
        const QByteArray bytes = TestSupport::readFile(target);
        QVERIFY2(!bytes.isEmpty(), qPrintable(target));
        for (const QByteArray &location : locationBytes)
            QVERIFY2(!bytes.contains(location), location.constData());
        const QJsonObject tags = readTags(target);
        QVERIFY(!hasKeyContaining(tags, "GPS"));
        QVERIFY(!hasKeyContaining(tags, "City"));
        // What the source holds besides its location is kept, read from the PNG's text chunks.
        if (source.startsWith("raw")) {
            QCOMPARE(tags.value("EXIF:Make").toString(), keep ? QString("Pictocam") : QString());
            QCOMPARE(tags.contains("IPTC:Keywords") || tags.contains("XMP:Subject"), keep);
        }
        if (source.startsWith("xmp"))
            QCOMPARE(tags.value("XMP:Creator").toString(), keep ? QString("Ада") : QString());
        // The comment, kept as part of the metadata, where the format holds one (compressed in a PNG).
        if (source.endsWith(".jpg")) {
            const bool noted
                = bytes.contains("Ada's note") || QJsonDocument(tags).toJson().contains("Ada's note");
            QCOMPARE(noted, keep && (ext == ".jpg" || ext == ".png"));
        }
    }

    // Location stored under other names: GeoTIFF's map position, drone and mapping makers' XMP.
    // Read and kept without "Remove location", gone with it; the rest stays.
    void locationUnderOtherNamesRemoved_data()
    {
        QTest::addColumn<QString>("property"); // an XMP property, or "GeoTIFF" for a TIFF's tags
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("GeoTIFF tie point") << "GeoTIFF" << QByteArray();
        QTest::newRow("DJI latitude") << "drone-dji:GpsLatitude" << QByteArray("48.858300");
        QTest::newRow("DJI longitude, as DJI spells it")
            << "drone-dji:GpsLongtitude" << QByteArray("2.294500");
        QTest::newRow("DJI altitude") << "drone-dji:AbsoluteAltitude" << QByteArray("+118.45");
        QTest::newRow("Pix4D accuracy") << "Camera:GPSXYAccuracy" << QByteArray("0.0342");
        QTest::newRow("EXIF GPS in XMP") << "exif:GPSLatitude" << QByteArray("48,51.498N");
    }

    void locationUnderOtherNamesRemoved()
    {
        QFETCH(QString, property);
        QFETCH(QByteArray, value);
        ImageMetadata source;
        QByteArray unchanged = "-90.0";
        if (property == "GeoTIFF") {
            const QString path = in + "/geotiff.tif";
            QVERIFY(TestSupport::filledImage(QSize(8, 8), Qt::red).save(path));
            QCOMPARE(
                TestSupport::runTool("exiftool",
                    { "-q", "-overwrite_original", "-Make=Pictocam", "-ModelTiePoint=0 0 0 2.2945 48.8583 0",
                        "-PixelScale=0.001 0.001 0", "-GeoTiffDirectory=1 1 0 1 1024 0 1 2", path }),
                0);
            source = readMetadata(path);
            // 48.8583 as the double the tie point holds, in the file's byte order.
            const double latitude = 48.8583;
            value = QByteArray(reinterpret_cast<const char *>(&latitude), sizeof latitude);
            if (source.exif.startsWith("MM"))
                std::reverse(value.begin(), value.end());
            unchanged = "Pictocam";
        } else {
            source.xmp
                = "<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF "
                  "xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'><rdf:Description rdf:about='' "
                  "xmlns:drone-dji='http://www.dji.com/drone-dji/1.0/' "
                  "xmlns:Camera='http://pix4d.com/camera/1.0/' xmlns:exif='http://ns.adobe.com/exif/1.0/' "
                  "drone-dji:GimbalPitchDegree='-90.0' "
                + property.toLatin1() + "='" + value + "'/></rdf:RDF></x:xmpmeta>";
        }
        const ImageMetadata kept = metadataForOutput(source, QSize(8, 8), false);
        const ImageMetadata removed = metadataForOutput(source, QSize(8, 8), true);
        const QByteArray keptBytes = kept.exif + kept.xmp;
        const QByteArray removedBytes = removed.exif + removed.xmp;
        QVERIFY2(keptBytes.contains(value), keptBytes.constData());
        QVERIFY2(!removedBytes.contains(value), removedBytes.constData());
        QVERIFY(removedBytes.contains(unchanged));
    }

    // Qt's TIFF writer uses the machine's byte order: on a big-endian one the metadata must follow
    // it. A 4 x 2 grey picture written the way libtiff writes: header, strip, directory.
    void bigEndianTiffTakesMetadata()
    {
        const QString source = makeSource("tagged.jpg", sourceTags);
        const ImageMetadata metadata = metadataForTarget(source, QSize(4, 2), true, false);
        QVERIFY(!metadata.exif.isEmpty());
        QBuffer file;
        QVERIFY(file.open(QIODevice::ReadWrite));
        TiffMetadataDevice device(&file, metadata);
        QCOMPARE(device.write(QByteArray("MM\0*\0\0\0\0", 8)), 8);
        const qint64 strip = device.size();
        const QByteArray pixels("\x00\x40\x80\xff\xff\x80\x40\x00", 8);
        QVERIFY(device.seek(strip) && device.write(pixels) == pixels.size());
        const qint64 first = device.size();
        QByteArray directory = bigEndian(9, 2);
        for (const auto &[tag, value] : QList<QPair<quint16, quint32>> {
                 { 256, 4 }, { 257, 2 }, { 258, 8 }, { 259, 1 }, { 262, 1 }, { 277, 1 }, { 278, 2 } })
            directory += bigEndianEntry(tag, 3, value);
        directory.insert(2 + 5 * 12, bigEndianEntry(273, 4, quint32(strip)));
        directory += bigEndianEntry(279, 4, 8) + bigEndian(0, 4);
        QVERIFY(device.seek(first) && device.write(directory) == directory.size());
        QVERIFY(device.seek(4) && device.write(bigEndian(quint32(first), 4)) == 4);
        QString error;
        QVERIFY2(device.finish(&error), qPrintable(error));

        const QString target = out + "/bigendian.tiff";
        QVERIFY(TestSupport::writeFile(target, file.data()));
        const QJsonObject tags = readTags(target);
        QCOMPARE(tags.value("EXIF:Make").toString(), QString("Pictocam"));
        QCOMPARE(tags.value("EXIF:GPSLatitude").toDouble(), 48.8583);
        QCOMPARE(tags.value("XMP:Creator").toString(), QString("Ada Creator"));
        QCOMPARE(tags.value("IPTC:Keywords").toArray(), QJsonArray({ "alpha", "beta" }));
        const QImage image = QImage(target).convertToFormat(QImage::Format_Grayscale8);
        QCOMPARE(image.size(), QSize(4, 2));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(image.constScanLine(1)), 4), pixels.right(4));
    }

    // GIF and PDF pages hold no profile: their pixels must already be what a viewer shows.
    void profileLessTargetsAreSrgb_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::newRow("gif") << ".gif";
        QTest::newRow("pdf") << ".pdf";
        QTest::newRow("live preview") << "";
    }

    void profileLessTargetsAreSrgb()
    {
        QFETCH(QString, ext);
        const QString source = makeSource("green.jpg", { "-Orientation=6" });
        QImage result;
        if (ext.isEmpty()) {
            result = renderFittedPreview(source, optionsSnapshot(), [](QSize size) { return size; });
        } else if (ext == ".gif") {
            result = QImage(convert(source, ext));
        } else {
            if (!TestSupport::haveTool("pdftoppm"))
                QSKIP("pdftoppm (poppler-utils) is not installed");
            updateOptions([](ConversionOptions &o) { o.pdfFileName = "green.pdf"; });
            convert(source, ext);
            QVERIFY(TestSupport::runTool(
                        "pdftoppm", { "-png", "-r", "72", "-singlefile", out + "/green.pdf", out + "/green" })
                == 0);
            result = QImage(out + "/green.png");
        }
        QVERIFY(!result.isNull());
        // The middle of the picture: of the non-white pixels' box on a PDF page.
        QRect box;
        for (int y = 0; y < result.height(); ++y) {
            for (int x = 0; x < result.width(); ++x) {
                if (result.pixel(x, y) != qRgb(255, 255, 255))
                    box |= QRect(x, y, 1, 1);
            }
        }
        QVERIFY(!box.isEmpty());
        const QRgb centre = result.pixel(box.center());
        QVERIFY2(closeTo(centre, adobeGreenInSrgb), qPrintable(QColor(centre).name()));
    }

    // Every source format's metadata and colours reach the new file. The wide-gamut sources are
    // Display P3, AVIF described by code points, the others by an ICC profile; GIF holds XMP only.
    void readFromEverySource_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("encoder");
        QTest::newRow("png") << "png" << QString();
        QTest::newRow("webp") << "webp" << QString();
        QTest::newRow("tiff") << "tiff" << QString();
        QTest::newRow("gif") << "gif"
                             << "convert";
        QTest::newRow("avif") << "avif"
                              << "avifenc";
        QTest::newRow("heic") << "heic"
                              << "heif-enc";
        QTest::newRow("jxl") << "jxl"
                             << "cjxl";
    }

    void readFromEverySource()
    {
        QFETCH(QString, format);
        QFETCH(QString, encoder);
        if (!encoder.isEmpty() && !TestSupport::haveTool(encoder))
            QSKIP(qPrintable(encoder + " is not installed"));
        QImage image = TestSupport::filledImage(QSize(64, 48), qRgb(0, 200, 0));
        image.setColorSpace(QColorSpace::DisplayP3);
        const QString base = in + "/p3-base.png";
        const QString source = in + "/p3." + format;
        QVERIFY(image.save(base));
        QStringList arguments;
        if (encoder == "avifenc")
            arguments = { "--ignore-icc", "--cicp", "12/13/6", base, source };
        else if (encoder == "heif-enc")
            arguments = { "-o", source, base };
        else if (encoder == "cjxl" || encoder == "convert")
            arguments = { base, source };
        if (encoder.isEmpty())
            QVERIFY(image.save(source));
        else
            QCOMPARE(TestSupport::runTool(encoder, arguments), 0);
        const bool gif = format == "gif";
        QStringList tags = { "-m", "-q", "-overwrite_original", "-XMP-dc:Creator=Ada Creator" };
        if (!gif)
            tags << "-EXIF:Make=Pictocam";
        QCOMPARE(TestSupport::runTool("exiftool", tags << source), 0);

        const QString target = convert(source, ".jpg");
        const QJsonObject written = readTags(target);
        QCOMPARE(written.value("XMP:Creator").toString(), QString("Ada Creator"));
        if (gif)
            return;
        QCOMPARE(written.value("EXIF:Make").toString(), QString("Pictocam"));
        // A TIFF source's own strip layout is no part of another file's EXIF.
        QVERIFY(!written.contains("EXIF:StripOffsets"));
        QCOMPARE(QImage(target).colorSpace().primaries(), QColorSpace::Primaries::DciP3D65);
    }

    // A damaged EXIF block is left out; the picture converts intact. So does a TIFF whose source
    // EXIF holds a pixel-layout tag libtiff refuses in that type (MinSampleValue as text).
    void brokenExifConverts_data()
    {
        QTest::addColumn<QByteArray>("exif");
        QTest::addColumn<QString>("ext");
        // The IFD offsets point far beyond the block's end.
        QTest::newRow("offsets beyond the end")
            << QByteArray("\x08\0\0\0\x05\0\x0f\x01\x02\0\xff\xff\xff\x7f\xf0\xff\xff\x7f", 18)
                + QByteArray(40, '\xee')
            << ".png";
        QTest::newRow("MinSampleValue as text into a TIFF") << QByteArray(
            "\x08\0\0\0\x02\0\x0f\x01\x02\0\x04\0\0\0Abc\0"
            "\x18\x01\x02\0\x04\0\0\0Ada\0\0\0\0\0",
            34) << ".tiff";
    }

    void brokenExifConverts()
    {
        QFETCH(QByteArray, exif);
        QFETCH(QString, ext);
        QImage image = TestSupport::makePhotoLike(40, 30);
        const QString clean = in + "/clean.jpg";
        QVERIFY(image.save(clean, "JPG", 95));
        QByteArray bytes = TestSupport::readFile(clean);
        QVERIFY(!bytes.isEmpty());
        exif.prepend(QByteArray("Exif\0\0II*\0", 10));
        const int length = int(exif.size()) + 2;
        bytes.insert(2, QByteArray("\xff\xe1", 2) + char(length >> 8) + char(length & 0xff) + exif);
        const QString broken = in + "/broken.jpg";
        QVERIFY(TestSupport::writeFile(broken, bytes));

        const QString target = convert(broken, ext);
        const QImage converted(target);
        QVERIFY2(!converted.isNull(), qPrintable(target));
        QCOMPARE(converted.convertToFormat(QImage::Format_RGB32),
            QImage(clean).convertToFormat(QImage::Format_RGB32));
    }

    // Metadata over one JPEG segment (64 KB): XMP goes on in Adobe's Extended XMP beside the EXIF
    // and IPTC; EXIF keeps what fits, and the job says what it left out.
    void tooLargeForOneSegment_data()
    {
        QTest::addColumn<QString>("bigTag");
        QTest::addColumn<QString>("ext");
        QTest::addColumn<QString>("keptTag");
        QTest::addColumn<int>("keptSize");
        QTest::addColumn<QString>("note");
        QTest::newRow("XMP 170 KB to JPG") << "xmp"
                                           << ".jpg"
                                           << "DocumentAncestors" << 3000 * 41 << QString();
        QTest::newRow("EXIF 70 KB to JPG") << "exif"
                                           << ".jpg"
                                           << "UserComment" << 0 << "Exif.Photo.UserComment";
        QTest::newRow("EXIF 70 KB to TIFF") << "exif"
                                            << ".tiff"
                                            << "UserComment" << 70000 << QString();
    }

    void tooLargeForOneSegment()
    {
        QFETCH(QString, bigTag);
        QFETCH(QString, ext);
        QFETCH(QString, keptTag);
        QFETCH(int, keptSize);
        QFETCH(QString, note);
        const QString source = in + "/big-" + bigTag + ".png";
        QVERIFY(TestSupport::filledImage(QSize(32, 24), Qt::blue).save(source));
        QStringList tags = { "-q", "-m", "-overwrite_original", "-EXIF:Make=Pictocam", "-IPTC:Keywords=alpha",
            "-XMP-dc:Creator=Ada Creator" };
        if (bigTag == "exif") {
            tags << "-EXIF:UserComment=" + QString(70000, 'x');
        } else {
            QString ancestors;
            for (int i = 0; i < 3000; ++i)
                ancestors
                    += QString("-XMP-photoshop:DocumentAncestors=xmp.did:%1\n").arg(i, 32, 10, QChar('0'));
            const QString args = in + "/ancestors.args";
            QVERIFY(TestSupport::writeFile(args, ancestors.toUtf8()));
            tags << "-@" << args;
        }
        QCOMPARE(TestSupport::runTool("exiftool", tags << source), 0);

        QString written;
        const QString target = convert(source, ext, &written);
        QVERIFY2(written.contains(note), qPrintable(written));
        QCOMPARE(written.isEmpty(), note.isEmpty());
        QByteArray output;
        QCOMPARE(TestSupport::runTool("exiftool", { "-j", "-m", "-b", "-G0", target }, &output), 0);
        const QJsonObject read = QJsonDocument::fromJson(output).array().at(0).toObject();
        QCOMPARE(read.value("EXIF:Make").toString(), QString("Pictocam"));
        QCOMPARE(read.value("XMP:Creator").toString(), QString("Ada Creator"));
        if (ext == ".jpg")
            QCOMPARE(read.value("IPTC:Keywords").toString(), QString("alpha"));
        const QJsonValue kept = read.value((bigTag == "exif" ? "EXIF:" : "XMP:") + keptTag);
        const int size = kept.isArray()
            ? int(QJsonDocument(kept.toArray()).toJson(QJsonDocument::Compact).size())
            : int(kept.toString().size());
        QVERIFY2(size >= keptSize && size < keptSize + 3000 * 4 + 2, qPrintable(QString::number(size)));
    }

    // cjxl keeps a JPEG's EXIF and XMP in Brotli-compressed boxes, which exiv2 cannot read.
    void jxlCompressedBoxes()
    {
        if (!TestSupport::haveTool("cjxl"))
            QSKIP("cjxl (libjxl-tools) is not installed");
        const QString jpeg = in + "/boxes.jpg";
        const QString source = in + "/boxes.jxl";
        QVERIFY(TestSupport::makePhotoLike(40, 30).save(jpeg, "JPG", 90));
        QCOMPARE(
            TestSupport::runTool("exiftool",
                { "-q", "-overwrite_original", "-EXIF:Make=Pictocam", "-XMP-dc:Creator=Ada Creator", jpeg }),
            0);
        QCOMPARE(TestSupport::runTool("cjxl", { jpeg, source }), 0);
        QVERIFY(TestSupport::readFile(source).contains("brobExif"));

        const QJsonObject written = readTags(convert(source, ".jpg"));
        QCOMPARE(written.value("EXIF:Make").toString(), QString("Pictocam"));
        QCOMPARE(written.value("XMP:Creator").toString(), QString("Ada Creator"));
    }

    // Two eXIf chunks, each with an orientation: the target states one, that of its upright pixels.
    void oneOrientationFromTwoExifChunks_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::newRow("tiff") << ".tiff";
        QTest::newRow("png") << ".png";
    }

    void oneOrientationFromTwoExifChunks()
    {
        QFETCH(QString, ext);
        const QString source = in + "/two-exif.png";
        QVERIFY(TestSupport::filledImage(QSize(4, 2), Qt::red).save(source));
        QByteArray png = TestSupport::readFile(source);
        for (const quint16 orientation : { 1, 6 }) {
            QByteArray exif("II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0", 18);
            exif += char(orientation) + QByteArray(7, '\0');
            QByteArray chunk = bigEndian(quint32(exif.size()), 4) + "eXIf" + exif;
            chunk += bigEndian(crc32(chunk.mid(4)), 4);
            png.insert(33, chunk);
        }
        QVERIFY(TestSupport::writeFile(source, png));
        QByteArray output;
        QCOMPARE(TestSupport::runTool(
                     "exiftool", { "-a", "-n", "-s3", "-Orientation", convert(source, ext) }, &output),
            0);
        QCOMPARE(output.trimmed(), QByteArray("1"));
    }
};

QTEST_MAIN(TestMetadata)
#include "tst_metadata.moc"
