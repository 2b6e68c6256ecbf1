// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Our AVIF, HEIC/HEIF and JPEG XL plug-ins, used the way the program uses them: through
// QImageWriter and QImageReader, the plug-in chosen from the file's suffix or content.
#include "formattesthelpers.h"
#include "testsupport.h"

#include <QBuffer>
#include <QColorSpace>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using FormatTest::WriteSettings;

class TestImageFormats : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void registered_data();
    void registered();
    void roundTrip_data();
    void roundTrip();
    void lossless_data();
    void lossless();
    void deep_data();
    void deep();
    void colorSpace_data();
    void colorSpace();
    void orientation_data();
    void orientation();
    void detectedByContent_data();
    void detectedByContent();
    void headerWithoutDecoding_data();
    void headerWithoutDecoding();
    void truncated_data();
    void truncated();
    void corrupted_data();
    void corrupted();
    void avifHeaderContradictsPicture();
    void writeFailure();

private:
    QByteArray encoded(const QString &suffix, const QImage &image, const WriteSettings &settings = {});
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
};

namespace {

const QStringList &suffixes()
{
    static const QStringList list { QStringLiteral("avif"), QStringLiteral("heic"), QStringLiteral("heif"),
        QStringLiteral("jxl") };
    return list;
}

// The lowest PSNR (dB) the default quality may give on the photo-like test picture at 96x64
// (measured: HEIC 39.4, JPEG XL 37.7; AVIF, with full-resolution chroma, above 40).
double defaultPsnrBound(const QString &suffix)
{
    if (suffix == QLatin1String("avif"))
        return 40.0;
    return suffix == QLatin1String("jxl") ? 35.0 : 37.0;
}

// Pictures one to five pixels high are all edge: the rows of the test picture differ by half
// the range, which chroma subsampling averages. They check that nothing breaks, not quality.
constexpr double TinyPsnrBound = 18.0;

// A quiet logging category keeps the hundreds of refused files from flooding the test log.
struct QuietPlugins {
    QuietPlugins() { QLoggingCategory::setFilterRules(QStringLiteral("pictomat.imageformats.*=false")); }
    ~QuietPlugins() { QLoggingCategory::setFilterRules(QString()); }
};

} // namespace

void TestImageFormats::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

QByteArray TestImageFormats::encoded(
    const QString &suffix, const QImage &image, const WriteSettings &settings)
{
    const QString file = path(QStringLiteral("encoded.") + suffix);
    const QString error = FormatTest::write(image, file, settings);
    if (!error.isEmpty())
        return {};
    return TestSupport::readFile(file);
}

void TestImageFormats::registered_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("mimeType");
    QTest::addColumn<QList<QByteArray>>("subTypes");
    const QList<QByteArray> upToTwelveBits { "8bit", "10bit", "12bit" };
    QTest::newRow("avif") << QByteArray("avif") << QByteArray("image/avif") << upToTwelveBits;
    QTest::newRow("heic") << QByteArray("heic") << QByteArray("image/heic") << upToTwelveBits;
    QTest::newRow("heif") << QByteArray("heif") << QByteArray("image/heif") << upToTwelveBits;
    QTest::newRow("jxl") << QByteArray("jxl") << QByteArray("image/jxl")
                         << QList<QByteArray> { "8bit", "16bit" };
}

void TestImageFormats::registered()
{
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, mimeType);
    QFETCH(QList<QByteArray>, subTypes);
    QVERIFY(QImageReader::supportedImageFormats().contains(key));
    QVERIFY(QImageWriter::supportedImageFormats().contains(key));
    QVERIFY(QImageReader::supportedMimeTypes().contains(mimeType));
    QVERIFY(QImageWriter::supportedMimeTypes().contains(mimeType));
    // The depths a writer offers are the ones its write() understands.
    QImageWriter writer(path(QStringLiteral("offer.") + QString::fromLatin1(key)), key);
    QVERIFY(writer.supportsOption(QImageIOHandler::SubType));
    QCOMPARE(writer.supportedSubTypes(), subTypes);
}

void TestImageFormats::roundTrip_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("alpha");
    QTest::addColumn<double>("minPsnr");
    const QList<QSize> sizes { QSize(1, 1), QSize(3, 5), QSize(4097, 3), QSize(96, 64) };
    for (const QString &suffix : suffixes()) {
        for (const QSize &size : sizes) {
            for (const bool alpha : { false, true }) {
                const double bound = size.height() < 8 ? TinyPsnrBound : defaultPsnrBound(suffix);
                QTest::addRow("%s %dx%d %s", qPrintable(suffix), size.width(), size.height(),
                    alpha ? "transparent" : "opaque")
                    << suffix << size << alpha << bound;
            }
        }
    }
}

void TestImageFormats::roundTrip()
{
    QFETCH(QString, suffix);
    QFETCH(QSize, size);
    QFETCH(bool, alpha);
    QFETCH(double, minPsnr);
    const QImage original = TestSupport::makePhotoLike(size.width(), size.height(), alpha);
    const QString file = path(QStringLiteral("roundtrip.") + suffix);
    QCOMPARE(FormatTest::write(original, file), QString());

    QImageReader reader(file);
    QCOMPARE(reader.size(), size);
    const QImage back = reader.read();
    QVERIFY2(!back.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(back.size(), size);
    QCOMPARE(back.hasAlphaChannel(), alpha);
    const double quality = TestSupport::psnr(original, back);
    QVERIFY2(quality >= minPsnr, qPrintable(QStringLiteral("PSNR %1 dB").arg(quality)));
}

void TestImageFormats::lossless_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<bool>("alpha");
    for (const char *suffix : { "avif", "jxl" }) {
        QTest::addRow("%s opaque", suffix) << QString::fromLatin1(suffix) << false;
        QTest::addRow("%s transparent", suffix) << QString::fromLatin1(suffix) << true;
    }
}

// Quality 100 is lossless where the format has a lossless mode.
void TestImageFormats::lossless()
{
    QFETCH(QString, suffix);
    QFETCH(bool, alpha);
    const QImage original = TestSupport::makePhotoLike(37, 23, alpha);
    const QString file = path(QStringLiteral("lossless.") + suffix);
    WriteSettings settings;
    settings.quality = 100;
    QCOMPARE(FormatTest::write(original, file, settings), QString());
    const QImage back = FormatTest::read(file);
    QVERIFY(!back.isNull());
    QCOMPARE(back.size(), original.size());
    QCOMPARE(TestSupport::psnr(original, back), std::numeric_limits<double>::infinity());
}

void TestImageFormats::deep_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QByteArray>("subType");
    QTest::addColumn<bool>("alpha");
    QTest::addColumn<double>("minPsnr16");
    QTest::newRow("avif 10-bit") << "avif" << QByteArray() << false << 55.0;
    QTest::newRow("avif 10-bit transparent") << "avif" << QByteArray("10bit") << true << 55.0;
    QTest::newRow("avif 12-bit") << "avif" << QByteArray("12bit") << false << 55.0;
    QTest::newRow("heic 10-bit") << "heic" << QByteArray() << false << 55.0;
    QTest::newRow("heic 10-bit transparent") << "heic" << QByteArray() << true << 55.0;
    QTest::newRow("heic 12-bit") << "heic" << QByteArray("12bit") << false << 55.0;
    QTest::newRow("jxl 16-bit") << "jxl" << QByteArray() << false << 55.0;
    QTest::newRow("jxl 16-bit transparent") << "jxl" << QByteArray() << true << 55.0;
}

// More than 8 bits per channel in, more than 8 bits out: the fine steps of a 16-bit gradient
// survive, which they could not through an 8-bit file.
void TestImageFormats::deep()
{
    QFETCH(QString, suffix);
    QFETCH(QByteArray, subType);
    QFETCH(bool, alpha);
    QFETCH(double, minPsnr16);
    const QImage original = FormatTest::makeDeepGradient(128, 96, alpha);
    const QString file = path(QStringLiteral("deep.") + suffix);
    WriteSettings settings;
    settings.quality = 95;
    settings.subType = subType;
    QCOMPARE(FormatTest::write(original, file, settings), QString());

    QImageReader reader(file);
    const QImage::Format expected = alpha ? QImage::Format_RGBA64 : QImage::Format_RGBX64;
    QCOMPARE(reader.imageFormat(), expected);
    const QImage back = reader.read();
    QCOMPARE(back.format(), expected);
    const double deepPsnr = FormatTest::psnr16(original, back);
    QVERIFY2(deepPsnr >= minPsnr16, qPrintable(QStringLiteral("PSNR %1 dB").arg(deepPsnr)));

    settings.subType = "8bit";
    const QString narrowFile = path(QStringLiteral("narrow.") + suffix);
    QCOMPARE(FormatTest::write(original, narrowFile, settings), QString());
    const QImage narrow = FormatTest::read(narrowFile);
    QVERIFY(narrow.depth() == 32);
    QVERIFY2(deepPsnr > FormatTest::psnr16(original, narrow) + 3.0,
        qPrintable(QStringLiteral("deep %1 dB, 8-bit %2 dB")
                       .arg(deepPsnr)
                       .arg(FormatTest::psnr16(original, narrow))));
}

void TestImageFormats::colorSpace_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QColorSpace>("space");
    QTest::addColumn<int>("quality");
    const QColorSpace adobe(QColorSpace::AdobeRgb);
    const QColorSpace p3(QColorSpace::DisplayP3);
    const QColorSpace proPhoto(QColorSpace::ProPhotoRgb);
    for (const QString &suffix : suffixes()) {
        QTest::addRow("%s AdobeRGB", qPrintable(suffix)) << suffix << adobe << -1;
        QTest::addRow("%s Display P3", qPrintable(suffix)) << suffix << p3 << -1;
        QTest::addRow("%s ProPhoto", qPrintable(suffix)) << suffix << proPhoto << -1;
    }
    QTest::addRow("jxl lossless AdobeRGB") << "jxl" << adobe << 100;
    QTest::addRow("avif lossless ProPhoto") << "avif" << proPhoto << 100;
}

// The image's colour space goes into the file as an ICC profile and comes back as the same space.
void TestImageFormats::colorSpace()
{
    QFETCH(QString, suffix);
    QFETCH(QColorSpace, space);
    QFETCH(int, quality);
    QImage original = TestSupport::makePhotoLike(48, 32);
    original.setColorSpace(space);
    const QString file = path(QStringLiteral("colour.") + suffix);
    WriteSettings settings;
    settings.quality = quality;
    QCOMPARE(FormatTest::write(original, file, settings), QString());
    const QImage back = FormatTest::read(file);
    QVERIFY(!back.isNull());
    QCOMPARE(back.colorSpace(), space);
    const double fidelity = TestSupport::psnr(original, back);
    QVERIFY2(fidelity >= 35.0, qPrintable(QStringLiteral("PSNR %1 dB").arg(fidelity)));
}

void TestImageFormats::orientation_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<int>("transformation");
    const QList<QPair<const char *, QImageIOHandler::Transformation>> transformations {
        { "none", QImageIOHandler::TransformationNone },
        { "mirror", QImageIOHandler::TransformationMirror },
        { "flip", QImageIOHandler::TransformationFlip },
        { "rotate 180", QImageIOHandler::TransformationRotate180 },
        { "rotate 90", QImageIOHandler::TransformationRotate90 },
        { "mirror and rotate 90", QImageIOHandler::TransformationMirrorAndRotate90 },
        { "flip and rotate 90", QImageIOHandler::TransformationFlipAndRotate90 },
        { "rotate 270", QImageIOHandler::TransformationRotate270 },
    };
    for (const char *suffix : { "avif", "heic", "jxl" }) {
        for (const auto &entry : transformations)
            QTest::addRow("%s %s", suffix, entry.first) << QString::fromLatin1(suffix) << int(entry.second);
    }
}

// An orientation stored in the file is applied exactly once, whether or not the reader's
// automatic transformation is on, and the size the reader reports is the upright one.
void TestImageFormats::orientation()
{
    QFETCH(QString, suffix);
    QFETCH(int, transformation);
    const auto t = QImageIOHandler::Transformations(transformation);
    const QImage stored = TestSupport::makePhotoLike(64, 40);
    const QImage upright = FormatTest::transformedAsQt(stored, t);
    const QString file = path(QStringLiteral("oriented.") + suffix);
    WriteSettings settings;
    settings.quality = 95;
    settings.transformation = t;
    QCOMPARE(FormatTest::write(stored, file, settings), QString());

    for (const bool autoTransform : { true, false }) {
        QImageReader reader(file);
        reader.setAutoTransform(autoTransform);
        QCOMPARE(reader.size(), upright.size());
        const QImage back = reader.read();
        QCOMPARE(back.size(), upright.size());
        QCOMPARE(reader.transformation(), QImageIOHandler::TransformationNone);
        QVERIFY2(TestSupport::psnr(upright, back) >= 30.0,
            qPrintable(QStringLiteral("PSNR %1 dB").arg(TestSupport::psnr(upright, back))));
    }
}

void TestImageFormats::detectedByContent_data()
{
    QTest::addColumn<QString>("realSuffix");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("expectedFormat");
    QTest::newRow("avif named .heic") << "avif"
                                      << "avif-with-heic-extension.heic" << QByteArray("avif");
    QTest::newRow("heic named .avif") << "heic"
                                      << "heic-with-avif-extension.avif" << QByteArray("heic");
    QTest::newRow("jxl named .avif") << "jxl"
                                     << "jxl-with-avif-extension.avif" << QByteArray("jxl");
    QTest::newRow("avif named .png") << "avif"
                                     << "avif-with-png-extension.png" << QByteArray("avif");
    QTest::newRow("heic without extension") << "heic"
                                            << "heic-without-extension" << QByteArray("heic");
    QTest::newRow("jxl without extension") << "jxl"
                                           << "jxl-without-extension" << QByteArray("jxl");
}

// The content decides when the name is wrong or missing; detecting it does not consume the device.
void TestImageFormats::detectedByContent()
{
    QFETCH(QString, realSuffix);
    QFETCH(QString, fileName);
    QFETCH(QByteArray, expectedFormat);
    const QImage original = TestSupport::makePhotoLike(40, 30);
    const QByteArray data = encoded(realSuffix, original);
    QVERIFY(!data.isEmpty());
    QVERIFY(TestSupport::writeFile(path(fileName), data));

    QCOMPARE(QImageReader::imageFormat(path(fileName)), expectedFormat);
    const QImage back = FormatTest::read(path(fileName));
    QVERIFY(!back.isNull());
    QCOMPARE(back.size(), original.size());

    QBuffer buffer;
    buffer.setData(data);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QCOMPARE(QImageReader::imageFormat(&buffer), expectedFormat);
    QCOMPARE(buffer.pos(), 0);
}

void TestImageFormats::headerWithoutDecoding_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<bool>("alpha");
    QTest::addColumn<int>("format");
    QTest::newRow("avif opaque") << "avif" << false << int(QImage::Format_RGB32);
    QTest::newRow("avif transparent") << "avif" << true << int(QImage::Format_ARGB32);
    QTest::newRow("heic opaque") << "heic" << false << int(QImage::Format_RGB32);
    QTest::newRow("heic transparent") << "heic" << true << int(QImage::Format_ARGB32);
    QTest::newRow("jxl opaque") << "jxl" << false << int(QImage::Format_RGBX8888);
    QTest::newRow("jxl transparent") << "jxl" << true << int(QImage::Format_RGBA8888);
}

// Size and pixel format come from the header, without allocating or decoding pixels: they
// are reported even for an image over the reader's allocation limit, which is then refused.
void TestImageFormats::headerWithoutDecoding()
{
    QFETCH(QString, suffix);
    QFETCH(bool, alpha);
    QFETCH(int, format);
    QByteArray data = encoded(suffix, TestSupport::makePhotoLike(1024, 600, alpha));
    QVERIFY(!data.isEmpty());
    QBuffer buffer(&data);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QImageReader reader(&buffer);

    const int previousLimit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(1);
    const QSize headerSize = reader.size();
    const int headerFormat = int(reader.imageFormat());
    const QImage refused = reader.read();
    QImageReader::setAllocationLimit(previousLimit);

    QCOMPARE(headerSize, QSize(1024, 600));
    QCOMPARE(headerFormat, format);
    QVERIFY(refused.isNull());
    const QImage image = FormatTest::readData(data);
    QCOMPARE(image.size(), QSize(1024, 600));
    QCOMPARE(int(image.format()), format);
}

void TestImageFormats::truncated_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<bool>("alpha");
    for (const char *suffix : { "avif", "heic", "jxl" }) {
        QTest::addRow("%s opaque", suffix) << QString::fromLatin1(suffix) << false;
        QTest::addRow("%s transparent", suffix) << QString::fromLatin1(suffix) << true;
    }
}

// Every prefix of a file, from empty through each box or header field boundary to one byte
// short, is refused without a crash.
void TestImageFormats::truncated()
{
    QFETCH(QString, suffix);
    QFETCH(bool, alpha);
    const QByteArray data = encoded(suffix, TestSupport::makePhotoLike(64, 48, alpha));
    QVERIFY(data.size() > 100);
    const QuietPlugins quiet;
    QList<int> lengths;
    for (int length = 0; length < qMin(400, data.size()); ++length)
        lengths.append(length);
    for (int length = 400; length < data.size(); length += 17)
        lengths.append(length);
    lengths.append(data.size() - 1);
    for (const int length : std::as_const(lengths)) {
        const QImage image = FormatTest::readData(data.left(length));
        QVERIFY2(image.isNull(), qPrintable(QStringLiteral("prefix of %1 bytes gave an image").arg(length)));
    }
}

void TestImageFormats::corrupted_data()
{
    QTest::addColumn<QString>("suffix");
    for (const char *suffix : { "avif", "heic", "jxl" })
        QTest::newRow(suffix) << QString::fromLatin1(suffix);
}

// Flipped bits anywhere give a null image or an image of a sane size, never a crash or a hang.
void TestImageFormats::corrupted()
{
    QFETCH(QString, suffix);
    const QImage original = TestSupport::makePhotoLike(64, 48, true);
    const QByteArray data = encoded(suffix, original);
    QVERIFY(!data.isEmpty());
    const QuietPlugins quiet;
    QRandomGenerator random(20240611);
    int refused = 0;
    const int rounds = 300;
    for (int round = 0; round < rounds; ++round) {
        QByteArray damaged = data;
        // The first rounds walk through the header byte by byte; the rest hit anywhere, a few bytes at once.
        const int flips = round < 200 ? 1 : 1 + int(random.bounded(4));
        for (int i = 0; i < flips; ++i) {
            const int at = round < 200 ? round % damaged.size() : int(random.bounded(damaged.size()));
            damaged[at] = char(damaged[at] ^ (1 << random.bounded(8)));
        }
        const QImage image = FormatTest::readData(damaged);
        if (image.isNull())
            ++refused;
        else
            QVERIFY(image.width() <= 4096 && image.height() <= 4096);
    }
    QVERIFY2(refused > 0, "no damaged file was refused");
}

// A deep AV1 picture whose 'av1C' and 'pixi' boxes claim 8 bits: the reader must refuse it
// rather than write 16-bit samples into a buffer sized from the header (found by fuzzing).
void TestImageFormats::avifHeaderContradictsPicture()
{
    QByteArray data = encoded(QStringLiteral("avif"), FormatTest::makeDeepGradient(16, 16, false));
    const int box = data.indexOf("av1C");
    QVERIFY(box > 0);
    const int flags = box + 4 + 2;
    QVERIFY(data[flags] & 0x40);
    data[flags] = char(data[flags] & ~0x40);
    const int pixi = data.indexOf("pixi");
    QVERIFY(pixi > 0);
    const int channels = data[pixi + 8];
    for (int channel = 0; channel < channels; ++channel)
        data[pixi + 9 + channel] = 8;
    const QuietPlugins quiet;
    QVERIFY(FormatTest::readData(data).isNull());
}

// A write the encoder refuses fails cleanly: false, no crash, and the library's reason in the
// log (Qt 6.4's QImageWriter has no way for a plug-in to fill its errorString).
// AV1 frames are at most 65536 pixels wide.
void TestImageFormats::writeFailure()
{
    QImage tooWide = TestSupport::filledImage(QSize(70000, 1), Qt::gray);
    QImageWriter writer(path(QStringLiteral("too-wide.avif")));
    QTest::ignoreMessage(QtWarningMsg,
        QRegularExpression(QStringLiteral("^Cannot write AVIF: 70000 x 1 is beyond the reader.s limits")));
    QVERIFY(!writer.write(tooWide));
}

QTEST_GUILESS_MAIN(TestImageFormats)
#include "tst_imageformats.moc"
