// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "formattesthelpers.h"
#include "imaging/failurereasons.h"
#include "imaging/renderpipeline.h"
#include "metadata/colourspace.h"
#include "plugins/imageformats/common/decodelimits.h"
#include "plugins/imageformats/common/freewith.h"
#include "testsupport.h"

#include <QColorSpace>
#include <QFile>
#include <QImageReader>
#include <QLoggingCategory>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <memory>

#include <libheif/heif.h>

namespace {

// The most resident memory the process has had so far (VmHWM), in bytes.
qint64 peakResidentBytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).simplified().split(' ').value(0).toLongLong() * 1024;
    }
    return -1;
}

// A flat grey picture of `side`, 8 bits, written as PNG for the encoders' command-line tools.
QString greyPng(const QString &path, QSize size, int grey)
{
    QImage image = TestSupport::filledImage(size, QColor(grey, grey, grey), QImage::Format_RGB888);
    return image.save(path, "PNG") ? path : QString();
}

// Runs an encoder's tool; empty when it ran and wrote its output, else why not.
QString encode(const QString &tool, QStringList arguments)
{
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        return tool + QStringLiteral(" is not installed");
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        return tool + QStringLiteral(" failed: ") + QString::fromLocal8Bit(process.readAllStandardError());
    return {};
}

// Runs a command-line encoder with its arguments; the test is skipped, saying why, when the
// encoder is missing or fails.
#define ENCODE_OR_SKIP(tool, ...)                                                                            \
    do {                                                                                                     \
        const QString failed = encode(tool, __VA_ARGS__);                                                    \
        if (!failed.isEmpty())                                                                               \
            QSKIP(qPrintable(failed));                                                                       \
    } while (false)

// A dark gradient, 64 levels of red across and of green down, where 8 bits in linear light band.
QImage darkGradient(QColorSpace space, bool deep)
{
    QImage image(64, 64, deep ? QImage::Format_RGBX64 : QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixelColor(x, y, QColor(x, y, 16));
    }
    image.setColorSpace(space);
    return image;
}

// The number of distinct colours of the picture once in 8-bit sRGB.
int distinctColours(const QImage &image)
{
    const QImage srgb = convertedToSrgb(image).convertToFormat(QImage::Format_RGB32);
    QSet<QRgb> colours;
    for (int y = 0; y < srgb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(srgb.constScanLine(y));
        colours.unite(QSet<QRgb>(line, line + srgb.width()));
    }
    return int(colours.size());
}

// sRGB primaries with a curve given as a table, which libjxl cannot describe: it keeps the profile.
QColorSpace tableCurveSpace()
{
    QList<uint16_t> table;
    for (int i = 0; i < 256; ++i)
        table.append(uint16_t(std::lround(65535.0 * std::pow(i / 255.0, 2.0 + i / 1024.0))));
    return QColorSpace(QColorSpace::Primaries::SRgb, table);
}

QColorSpace bt2020(QColorSpace::TransferFunction transfer, float gamma = 0.0f)
{
    return QColorSpace(QPointF(0.3127, 0.3290), QPointF(0.708, 0.292), QPointF(0.170, 0.797),
        QPointF(0.131, 0.046), transfer, gamma);
}

// The picture as libheif decodes it with its own HEVC decoder, interleaved R, G, B (and A) as
// the HEIF reader asks for them, at the stream's depth; empty when it cannot.
QList<quint16> libheifSamples(const QString &path, bool alpha, bool deep)
{
    static const bool initialized = heif_init(nullptr).code == heif_error_Ok;
    std::unique_ptr<heif_context, FreeWith<heif_context_free>> context(heif_context_alloc());
    heif_image_handle *primary = nullptr;
    if (!initialized
        || heif_context_read_from_file(context.get(), QFile::encodeName(path).constData(), nullptr).code
        || heif_context_get_primary_image_handle(context.get(), &primary).code)
        return {};
    const std::unique_ptr<heif_image_handle, FreeWith<heif_image_handle_release>> handle(primary);
    const heif_chroma chroma = deep
        ? (alpha ? heif_chroma_interleaved_RRGGBBAA_LE : heif_chroma_interleaved_RRGGBB_LE)
        : (alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB);
    heif_image *raw = nullptr;
    if (heif_decode_image(primary, &raw, heif_colorspace_RGB, chroma, nullptr).code)
        return {};
    const std::unique_ptr<heif_image, FreeWith<heif_image_release>> decoded(raw);
    int stride = 0;
    const uint8_t *plane = heif_image_get_plane_readonly(raw, heif_channel_interleaved, &stride);
    const int width = heif_image_get_width(raw, heif_channel_interleaved);
    const int rowSamples = width * (alpha ? 4 : 3);
    QList<quint16> samples;
    for (int y = 0; y < heif_image_get_height(raw, heif_channel_interleaved); ++y) {
        const uint8_t *row = plane + qsizetype(y) * stride;
        for (int i = 0; i < rowSamples; ++i)
            samples.append(deep ? quint16(row[2 * i] | row[2 * i + 1] << 8) : row[i]);
    }
    return samples;
}

// The reader's picture in the same layout, its 16-bit samples brought back to `bits`.
QList<quint16> readerSamples(const QImage &image, bool alpha, int bits)
{
    const quint32 max = (1u << bits) - 1;
    QList<quint16> samples;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgba64 pixel = bits > 8 ? reinterpret_cast<const QRgba64 *>(image.constScanLine(y))[x]
                                           : QRgba64::fromArgb32(image.pixel(x, y));
            const quint16 channels[] = { pixel.red(), pixel.green(), pixel.blue(), pixel.alpha() };
            for (int c = 0; c < (alpha ? 4 : 3); ++c)
                samples.append(quint16((channels[c] * max + 32767u) / 65535u));
        }
    }
    return samples;
}

} // namespace

// Our AVIF, HEIF and JPEG XL readers around the pixels: how much of a file they take, and what
// they make of crops, colour descriptions and depths.
class TestPluginReaders : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;

private Q_SLOTS:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void boundedReads_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<qint64>("fileBytes");
        QTest::addColumn<bool>("readable");
        for (const char *ext : { "avif", "heic", "jxl" }) {
            QTest::addRow("%s of 30 GB", ext) << QString::fromLatin1(ext) << (qint64(30) << 30) << false;
            QTest::addRow("%s of 400 MB", ext) << QString::fromLatin1(ext) << (qint64(400) << 20) << true;
        }
    }

    // A picture followed by a sparse stretch of zeros: beyond what any picture within the
    // allocation limit could need, the file is refused before it is read; within it, the picture
    // is decoded without the file ever being held in memory.
    void boundedReads()
    {
        QFETCH(QString, ext);
        QFETCH(qint64, fileBytes);
        QFETCH(bool, readable);
        const QString path = dir.filePath(QStringLiteral("padded-%1.%2").arg(fileBytes).arg(ext));
        const QImage picture = TestSupport::makePhotoLike(64, 48);
        QCOMPARE(FormatTest::write(picture, path), QString());
        QFile file(path);
        QVERIFY(file.resize(fileBytes));

        const qint64 before = peakResidentBytes();
        QImageReader reader(path);
        QImage image;
        QCOMPARE(reader.read(&image), readable);
        if (readable)
            QCOMPARE(image.size(), picture.size());
        const qint64 grown = peakResidentBytes() - before;
        QVERIFY2(grown < (64 << 20), qPrintable(QStringLiteral("the reader took %1 MB").arg(grown >> 20)));
    }
    void colourDescriptions_data()
    {
        QTest::addColumn<QString>("cicp");
        QTest::addColumn<QColorSpace>("space");
        QTest::addColumn<int>("grey");
        const auto srgb = QColorSpace::TransferFunction::SRgb;
        QTest::newRow("sRGB") << "1/13/6" << QColorSpace(QColorSpace::SRgb) << 128;
        QTest::newRow("P3 linear") << "12/8/6"
                                   << QColorSpace(QColorSpace::Primaries::DciP3D65,
                                          QColorSpace::TransferFunction::Linear)
                                   << 128;
        QTest::newRow("BT.2020 linear") << "9/8/9" << bt2020(QColorSpace::TransferFunction::Linear) << 128;
        QTest::newRow("BT.2020 gamma 2.2")
            << "9/4/9" << bt2020(QColorSpace::TransferFunction::Gamma, 2.2f) << 128;
        // Converted to the sRGB curve: 128 is 0.2614 linear after BT.709's inverse OETF.
        QTest::newRow("BT.2020 BT.709 curve") << "9/1/9" << bt2020(srgb) << 140;
        QTest::newRow("BT.709 BT.709 curve") << "1/1/1" << QColorSpace(QColorSpace::SRgb) << 140;
        QTest::newRow("BT.601 525 BT.601 curve")
            << "6/6/6"
            << QColorSpace(QPointF(0.3127, 0.3290), QPointF(0.630, 0.340), QPointF(0.310, 0.595),
                   QPointF(0.155, 0.070), srgb)
            << 140;
        // Tone-mapped: PQ 128 is 92 cd/m2, HLG 128 is 51 cd/m2 on a 1,000 cd/m2 display.
        QTest::newRow("BT.2020 PQ") << "9/16/9" << bt2020(srgb) << 151;
        QTest::newRow("BT.2020 HLG") << "9/18/9" << bt2020(srgb) << 124;
    }

    // Every colour description Qt can hold is kept; the transfers it cannot are converted.
    void colourDescriptions()
    {
        QFETCH(QString, cicp);
        QFETCH(QColorSpace, space);
        QFETCH(int, grey);
        const QString png = greyPng(dir.filePath(QStringLiteral("grey.png")), QSize(64, 48), 128);
        const QString avif
            = dir.filePath(QStringLiteral("cicp-%1.avif").arg(QString(cicp).replace('/', '-')));
        ENCODE_OR_SKIP(QStringLiteral("avifenc"),
            { QStringLiteral("-s"), QStringLiteral("10"), QStringLiteral("--min"), QStringLiteral("0"),
                QStringLiteral("--max"), QStringLiteral("0"), QStringLiteral("--cicp"), cicp, png, avif });
        const QImage image = FormatTest::read(avif);
        QCOMPARE(image.size(), QSize(64, 48));
        QCOMPARE(image.colorSpace(), space);
        QVERIFY2(qAbs(qRed(image.pixel(10, 10)) - grey) <= 3,
            qPrintable(QString::number(qRed(image.pixel(10, 10)))));
    }

    void cropsAndTurns_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("breakAperture");
        QTest::newRow("turned P3") << QStringList { "--irot", "1", "--cicp", "12/13/6" } << QSize(280, 320)
                                   << false;
        QTest::newRow("half-turned P3")
            << QStringList { "--irot", "2", "--cicp", "12/13/6" } << QSize(320, 280) << false;
        QTest::newRow("cropped") << QStringList { "--clap", "180,1,100,1,0,1,0,1", "--cicp", "12/13/6" }
                                 << QSize(180, 100) << false;
        QTest::newRow("cropped and turned")
            << QStringList { "--clap", "180,1,100,1,0,1,0,1", "--irot", "1", "--cicp", "12/13/6" }
            << QSize(100, 180) << false;
        QTest::newRow("aperture wider than the picture")
            << QStringList { "--clap", "180,1,100,1,0,1,0,1", "--cicp", "12/13/6" } << QSize() << true;
    }

    // The clean aperture crops before the picture turns; turning keeps the colour space.
    void cropsAndTurns()
    {
        QFETCH(QStringList, options);
        QFETCH(QSize, size);
        QFETCH(bool, breakAperture);
        const QString png = greyPng(dir.filePath(QStringLiteral("grey320.png")), QSize(320, 280), 90);
        const QString avif = dir.filePath(QStringLiteral("%1.avif").arg(QTest::currentDataTag()));
        ENCODE_OR_SKIP(
            QStringLiteral("avifenc"), QStringList { "-s", "10" } + options + QStringList { png, avif });
        if (breakAperture) {
            // avifenc refuses such an aperture, so the box is widened in the file.
            QFile file(avif);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QByteArray data = file.readAll();
            const qsizetype box = data.indexOf("clap");
            QVERIFY(box > 0);
            data[box + 6] = char(400 >> 8);
            data[box + 7] = char(400 & 0xff);
            QVERIFY(file.seek(0));
            QCOMPARE(file.write(data), data.size());
        }
        QImageReader reader(avif);
        QCOMPARE(reader.size(), size);
        const QImage image = reader.read();
        if (!size.isValid()) {
            QVERIFY(image.isNull());
            return;
        }
        QCOMPARE(image.size(), size);
        QCOMPARE(image.colorSpace(), QColorSpace(QColorSpace::DisplayP3));
    }

    void jxlDepth_data()
    {
        QTest::addColumn<QColorSpace>("space");
        QTest::addColumn<bool>("deepSource");
        QTest::addColumn<int>("depth");
        QTest::newRow("8-bit sRGB") << QColorSpace() << false << 32;
        QTest::newRow("8-bit Display P3") << QColorSpace(QColorSpace::DisplayP3) << false << 32;
        QTest::newRow("16-bit sRGB") << QColorSpace() << true << 64;
        QTest::newRow("linear light") << QColorSpace(QColorSpace::SRgbLinear) << false << 64;
        QTest::newRow("ICC profile") << tableCurveSpace() << false << 64;
    }

    // A lossy JPEG XL comes back in 16 bits where 8 would band (deeper source, linear light, a
    // profile libjxl can only approximate) and as before otherwise; its shadows keep their
    // levels, and djxl sees the same picture.
    void jxlDepth()
    {
        QFETCH(QColorSpace, space);
        QFETCH(bool, deepSource);
        QFETCH(int, depth);
        const QImage source = darkGradient(space, deepSource);
        const QString png = dir.filePath(QStringLiteral("dark-%1.png").arg(QTest::currentDataTag()));
        QVERIFY(source.save(png));
        const QString jxl = dir.filePath(QStringLiteral("dark-%1.jxl").arg(QTest::currentDataTag()));
        ENCODE_OR_SKIP(QStringLiteral("cjxl"), { png, jxl, QStringLiteral("-d"), QStringLiteral("0.3") });
        const QImage image = FormatTest::read(jxl);
        QCOMPARE(image.depth(), depth);
        const int kept = distinctColours(image);
        QVERIFY2(kept * 10 >= distinctColours(source) * 9, qPrintable(QString::number(kept)));

        const QString theirs = dir.filePath(QStringLiteral("djxl-%1.png").arg(QTest::currentDataTag()));
        if (!encode(QStringLiteral("djxl"), { jxl, theirs }).isEmpty())
            QSKIP("djxl is not installed or cannot decode the file");
        const double agreement = TestSupport::psnr(convertedToSrgb(QImage(theirs)), convertedToSrgb(image));
        QVERIFY2(agreement >= 40.0, qPrintable(QString::number(agreement)));
    }

    void panorama_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QSize>("size");
        QTest::newRow("heif-enc") << "heif-enc"
                                  << "heic" << QSize(17000, 64);
        QTest::newRow("our writer") << QString() << "heic" << QSize(20000, 600);
        QTest::newRow("avifenc") << "avifenc"
                                 << "avif" << QSize(40000, 64);
    }

    // A panorama wider than 16,384 pixels (AVIF: 32,768) but within the allocation limit reads
    // whole, as the libraries' own tools read it.
    void panorama()
    {
        QFETCH(QString, tool);
        QFETCH(QString, suffix);
        QFETCH(QSize, size);
        const QString png = greyPng(dir.filePath(QStringLiteral("panorama.png")), size, 128);
        const QString target = dir.filePath(
            QStringLiteral("panorama-%1.%2").arg(QString::fromLatin1(QTest::currentDataTag()), suffix));
        if (tool.isEmpty()) {
            QCOMPARE(FormatTest::write(QImage(png), target), QString());
        } else {
            const QStringList arguments = tool == QLatin1String("avifenc")
                ? QStringList { QStringLiteral("-s"), QStringLiteral("10"), png, target }
                : QStringList { QStringLiteral("-o"), target, png };
            ENCODE_OR_SKIP(tool, arguments);
        }
        const QImage image = FormatTest::read(target);
        QCOMPARE(image.size(), size);
        QVERIFY(qAbs(qGray(image.pixel(size.width() - 1, size.height() / 2)) - 128) <= 4);
    }

    void heifHiddenPicture_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QByteArray>("thumbnailSize");
        QTest::addColumn<QString>("reason");
        const qint64 megapixels = qint64(256) * 1024 * 1024 / 4 / 1000000;
        QTest::newRow("untouched") << "heic" << QByteArray() << QString();
        QTest::newRow("thumbnail beyond the budget")
            << "heic" << QByteArray::fromHex("69737065000000000000ea600000ea60")
            << FailureReason::pictureTooLarge(QSize(60000, 60000), megapixels);
        QTest::newRow("thumbnail stating no size")
            << "heic" << QByteArray::fromHex("69737078000000000000004000000030") << FailureReason::damaged();
        // Within libavif's own limit, which it holds every item to; libheif looks for the thumbnail.
        QTest::newRow("avif thumbnail beyond the budget")
            << "avif" << QByteArray::fromHex("69737065000000000000271000002710")
            << FailureReason::pictureTooLarge(QSize(10000, 10000), megapixels);
    }

    // A picture the file hides (here its thumbnail) is held to the decoding budget like the one
    // shown, and one that states no size at all is refused, each with a reason; so is an AVIF file
    // when its thumbnail is looked for, before libheif parses it.
    void heifHiddenPicture()
    {
        QFETCH(QString, suffix);
        QFETCH(QByteArray, thumbnailSize);
        QFETCH(QString, reason);
        const QString png = greyPng(dir.filePath(QStringLiteral("thumbnailed.png")), QSize(256, 192), 90);
        const QString heic
            = dir.filePath(QStringLiteral("thumbnailed-%1.%2").arg(QTest::currentDataTag(), suffix));
        ENCODE_OR_SKIP(QStringLiteral("heif-enc"),
            { QStringLiteral("-t"), QStringLiteral("64"), QStringLiteral("-o"), heic, png });
        QFile file(heic);
        QVERIFY(file.open(QIODevice::ReadWrite));
        // The thumbnail's 'ispe': type, version and flags, then 64 x 48.
        const qsizetype at = file.readAll().indexOf(QByteArray::fromHex("69737065000000000000004000000030"));
        QVERIFY(at > 0);
        if (!thumbnailSize.isEmpty())
            QVERIFY(file.seek(at) && file.write(thumbnailSize) == 16);
        file.close();
        QImageReader reduced(heic);
        reduced.setScaledSize(QSize(64, 48));
        if (suffix == QLatin1String("avif")) {
            QTest::ignoreMessage(QtWarningMsg, qPrintable(QStringLiteral("AVIF refused: ") + reason));
            QVERIFY(reduced.read().isNull());
            return;
        }
        QCOMPARE(reduced.read().size(), reason.isEmpty() ? QSize(64, 48) : QSize(0, 0));
        QImage image;
        QString why;
        QCOMPARE(ImageMagickUtil::loadImage(heic, &image, &why), reason.isEmpty());
        QCOMPARE(why, reason);
        QCOMPARE(image.size(), reason.isEmpty() ? QSize(256, 192) : QSize(0, 0));
    }

    void hevcDecoder_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<int>("bits");
        const QImage photo = TestSupport::makePhotoLike(256, 192);
        QTest::newRow("8-bit 4:2:0") << QString() << QStringList() << photo << 8;
        QTest::newRow("odd size") << QString() << QStringList() << TestSupport::makePhotoLike(333, 251) << 8;
        QTest::newRow("10-bit") << QString() << QStringList { "10bit" }
                                << FormatTest::makeDeepGradient(160, 120, false) << 10;
        QTest::newRow("alpha") << QString() << QStringList() << TestSupport::makePhotoLike(200, 150, true)
                               << 8;
        QTest::newRow("heif-enc 4:4:4")
            << "heif-enc" << QStringList { "-p", "chroma=444" } << TestSupport::makePhotoLike(201, 99) << 8;
        QTest::newRow("heif-enc 4:2:2")
            << "heif-enc" << QStringList { "-p", "chroma=422" } << TestSupport::makePhotoLike(99, 201) << 8;
        QTest::newRow("heif-enc 12-bit")
            << "heif-enc" << QStringList { "-b", "12" } << FormatTest::makeDeepGradient(130, 70, false) << 12;
        QTest::newRow("heif-enc greyscale")
            << "heif-enc" << QStringList() << photo.convertToFormat(QImage::Format_Grayscale8) << 8;
        // With an ICC profile the file has no code points of its own: libheif converts with the
        // stream's, which the decoder hands over (here BT.709 at limited range, told to x265).
        QImage profiled = photo;
        profiled.setColorSpace(QColorSpace(QColorSpace::DisplayP3));
        QTest::newRow("heif-enc stream code points")
            << "heif-enc" << QStringList { "-p", "x265:colormatrix=bt709", "-p", "x265:range=limited" }
            << profiled << 8;
    }

    // Our HEVC decoder (on every core) gives the very pixels libheif's own gives: decoding is
    // exact and libheif converts to RGB after either.
    void hevcDecoder()
    {
        QFETCH(QString, tool);
        QFETCH(QStringList, options);
        QFETCH(QImage, picture);
        QFETCH(int, bits);
        const QString heic = dir.filePath(QStringLiteral("hevc-%1.heic").arg(QTest::currentDataTag()));
        if (tool.isEmpty()) {
            QCOMPARE(FormatTest::write(picture, heic, { -1, options.value(0).toLatin1() }), QString());
        } else {
            const QString png = dir.filePath(QStringLiteral("hevc-%1.png").arg(QTest::currentDataTag()));
            QVERIFY(picture.save(png));
            ENCODE_OR_SKIP(tool, options + QStringList { QStringLiteral("-o"), heic, png });
        }
        QLoggingCategory::setFilterRules(QStringLiteral("pictomat.imageformats.heif.hevc.debug=true"));
        QImage image;
        {
            TestSupport::DebugLog::Collector log;
            image = FormatTest::read(heic);
            QVERIFY(!TestSupport::DebugLog::linesStartingWith(QStringLiteral("HEVC decoder on ")).isEmpty());
        }
        QLoggingCategory::setFilterRules(QString());
        QCOMPARE(image.size(), picture.size());
        const bool alpha = picture.hasAlphaChannel();
        const QList<quint16> theirs = libheifSamples(heic, alpha, bits > 8);
        QCOMPARE(theirs.size(), qsizetype(picture.width()) * picture.height() * (alpha ? 4 : 3));
        QVERIFY(readerSamples(image, alpha, bits) == theirs);
    }
};

QTEST_MAIN(TestPluginReaders)
#include "tst_pluginreaders.moc"
