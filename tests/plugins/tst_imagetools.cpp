// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Our AVIF, HEIC and JPEG XL files judged by the libraries' own command-line tools, and files
// made by those tools read by our plug-ins. Each test skips, saying so, when its tool is missing.
#include "formattesthelpers.h"
#include "testsupport.h"

#include <QColorSpace>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtTest>

using FormatTest::WriteSettings;

class TestImageTools : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void decodedByTool_data();
    void decodedByTool();
    void depthSeenByTool_data();
    void depthSeenByTool();
    void encodedByTool_data();
    void encodedByTool();
    void orientationSeenByTool_data();
    void orientationSeenByTool();
    void avifencOrientation_data();
    void avifencOrientation();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
};

namespace {

struct Tool {
    QString program;
    QStringList arguments; // %1 is the input, %2 the output
};

Tool decoderFor(const QString &suffix)
{
    if (suffix == QLatin1String("avif"))
        return { QStringLiteral("avifdec"), { QStringLiteral("%1"), QStringLiteral("%2") } };
    if (suffix == QLatin1String("jxl"))
        return { QStringLiteral("djxl"), { QStringLiteral("%1"), QStringLiteral("%2") } };
    return { QStringLiteral("heif-convert"), { QStringLiteral("%1"), QStringLiteral("%2") } };
}

Tool encoderFor(const QString &suffix, bool deep)
{
    if (suffix == QLatin1String("avif")) {
        return { QStringLiteral("avifenc"),
            { QStringLiteral("-d"), deep ? QStringLiteral("10") : QStringLiteral("8"),
                QStringLiteral("--min"), QStringLiteral("10"), QStringLiteral("--max"), QStringLiteral("20"),
                QStringLiteral("-s"), QStringLiteral("8"), QStringLiteral("%1"), QStringLiteral("%2") } };
    }
    if (suffix == QLatin1String("jxl"))
        return { QStringLiteral("cjxl"),
            { QStringLiteral("%1"), QStringLiteral("%2"), QStringLiteral("-e"), QStringLiteral("3") } };
    return { QStringLiteral("heif-enc"),
        { QStringLiteral("-q"), QStringLiteral("90"), QStringLiteral("-b"),
            deep ? QStringLiteral("10") : QStringLiteral("8"), QStringLiteral("%1"), QStringLiteral("-o"),
            QStringLiteral("%2") } };
}

// Runs the tool on input and output; the test fails with the tool's own words when it refuses.
bool runTool(const Tool &tool, const QString &input, const QString &output)
{
    QStringList arguments;
    for (const QString &argument : tool.arguments)
        arguments.append(argument == QLatin1String("%1") ? input
                : argument == QLatin1String("%2")        ? output
                                                         : argument);
    QByteArray log;
    const int code = TestSupport::runTool(tool.program, arguments, &log);
    if (code != 0) {
        qWarning("%s failed (%d): %s", qPrintable(tool.program), code, log.constData());
        return false;
    }
    return true;
}

const QList<QPair<const char *, QImageIOHandler::Transformation>> &transformations()
{
    static const QList<QPair<const char *, QImageIOHandler::Transformation>> list {
        { "mirror", QImageIOHandler::TransformationMirror },
        { "flip", QImageIOHandler::TransformationFlip },
        { "rotate 90", QImageIOHandler::TransformationRotate90 },
        { "rotate 180", QImageIOHandler::TransformationRotate180 },
        { "rotate 270", QImageIOHandler::TransformationRotate270 },
        { "mirror and rotate 90", QImageIOHandler::TransformationMirrorAndRotate90 },
        { "flip and rotate 90", QImageIOHandler::TransformationFlipAndRotate90 },
    };
    return list;
}

} // namespace

void TestImageTools::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestImageTools::decodedByTool_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<bool>("alpha");
    QTest::addColumn<bool>("deep");
    for (const char *suffix : { "avif", "heic", "heif", "jxl" }) {
        QTest::addRow("%s opaque", suffix) << QString::fromLatin1(suffix) << false << false;
        QTest::addRow("%s transparent", suffix) << QString::fromLatin1(suffix) << true << false;
        QTest::addRow("%s deep", suffix) << QString::fromLatin1(suffix) << false << true;
    }
}

// The independent decoder accepts what we write and sees the same picture, alpha and depth.
void TestImageTools::decodedByTool()
{
    QFETCH(QString, suffix);
    QFETCH(bool, alpha);
    QFETCH(bool, deep);
    const Tool tool = decoderFor(suffix);
    if (!TestSupport::haveTool(tool.program))
        QSKIP(qPrintable(tool.program + QStringLiteral(" is not installed")));
    const QImage original
        = deep ? FormatTest::makeDeepGradient(80, 60, false) : TestSupport::makePhotoLike(80, 60, alpha);
    const QString file = path(QStringLiteral("ours.") + suffix);
    WriteSettings settings;
    settings.quality = 90;
    QCOMPARE(FormatTest::write(original, file, settings), QString());

    const QString png = path(QStringLiteral("decoded.png"));
    QFile::remove(png);
    QVERIFY(runTool(tool, file, png));
    QImage decoded(png);
    QVERIFY(!decoded.isNull());
    // heif-convert writes a separate "-alpha" file only for auxiliary images it cannot merge.
    QCOMPARE(decoded.size(), original.size());
    QCOMPARE(decoded.hasAlphaChannel(), alpha);
    if (deep)
        QVERIFY2(decoded.depth() == 64, "the tool decoded 8 bits from a deep file");
    const double fidelity
        = deep ? FormatTest::psnr16(original, decoded) : TestSupport::psnr(original, decoded);
    QVERIFY2(fidelity >= 35.0, qPrintable(QStringLiteral("PSNR %1 dB").arg(fidelity)));
}

void TestImageTools::depthSeenByTool_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QByteArray>("subType");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("expected");
    const QStringList avifInfo { QStringLiteral("--info") };
    const QStringList heifDump { QStringLiteral("-d") };
    QTest::newRow("avif 8-bit") << "avif" << QByteArray("8bit") << "avifdec" << avifInfo
                                << "Bit Depth      : 8";
    QTest::newRow("avif 10-bit") << "avif" << QByteArray("10bit") << "avifdec" << avifInfo
                                 << "Bit Depth      : 10";
    QTest::newRow("avif 12-bit") << "avif" << QByteArray("12bit") << "avifdec" << avifInfo
                                 << "Bit Depth      : 12";
    QTest::newRow("heic 10-bit") << "heic" << QByteArray("10bit") << "heif-info" << heifDump
                                 << "bit_depth_luma: 10";
    QTest::newRow("heic 12-bit") << "heic" << QByteArray("12bit") << "heif-info" << heifDump
                                 << "bit_depth_luma: 12";
}

// The depth the writer was asked for is what the file's own headers say.
void TestImageTools::depthSeenByTool()
{
    QFETCH(QString, suffix);
    QFETCH(QByteArray, subType);
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(QString, expected);
    if (!TestSupport::haveTool(program))
        QSKIP(qPrintable(program + QStringLiteral(" is not installed")));
    const QString file = path(QStringLiteral("depth.") + suffix);
    WriteSettings settings;
    settings.subType = subType;
    QCOMPARE(FormatTest::write(FormatTest::makeDeepGradient(32, 24, false), file, settings), QString());
    QByteArray output;
    QCOMPARE(TestSupport::runTool(program, arguments + QStringList { file }, &output), 0);
    QVERIFY2(output.contains(expected.toLatin1()), output.constData());
}

void TestImageTools::encodedByTool_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("kind");
    for (const char *suffix : { "avif", "heic", "jxl" }) {
        for (const char *kind : { "opaque", "transparent", "deep", "Display P3", "grayscale" })
            QTest::addRow("%s %s", suffix, kind) << QString::fromLatin1(suffix) << QString::fromLatin1(kind);
    }
}

// Files made by the independent encoder from a PNG are read by our plug-in: picture, alpha,
// depth, colour profile, and grayscale coding (a single plane) turned into RGB.
void TestImageTools::encodedByTool()
{
    QFETCH(QString, suffix);
    QFETCH(QString, kind);
    const bool alpha = kind == QLatin1String("transparent");
    const bool deep = kind == QLatin1String("deep");
    const Tool tool = encoderFor(suffix, deep);
    if (!TestSupport::haveTool(tool.program))
        QSKIP(qPrintable(tool.program + QStringLiteral(" is not installed")));
    QImage original
        = deep ? FormatTest::makeDeepGradient(80, 60, false) : TestSupport::makePhotoLike(80, 60, alpha);
    if (kind == QLatin1String("Display P3"))
        original.setColorSpace(QColorSpace(QColorSpace::DisplayP3));
    if (kind == QLatin1String("grayscale"))
        original = original.convertToFormat(QImage::Format_Grayscale8);
    const QString png = path(QStringLiteral("source.png"));
    QVERIFY(original.save(png));
    const QString file = path(QStringLiteral("theirs.") + suffix);
    QFile::remove(file);
    QVERIFY(runTool(tool, png, file));

    QImageReader reader(file);
    QCOMPARE(reader.format(), suffix.toLatin1());
    const QImage back = reader.read();
    QVERIFY2(!back.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(back.size(), original.size());
    QCOMPARE(back.hasAlphaChannel(), alpha);
    QCOMPARE(back.depth(), deep ? 64 : 32);
    if (kind == QLatin1String("Display P3"))
        QCOMPARE(back.colorSpace(), QColorSpace(QColorSpace::DisplayP3));
    if (kind == QLatin1String("grayscale")) {
        const QRgb sample = back.pixel(40, 30);
        QVERIFY(qAbs(qRed(sample) - qGreen(sample)) <= 2 && qAbs(qGreen(sample) - qBlue(sample)) <= 2);
    }
    const double fidelity = deep ? FormatTest::psnr16(original, back) : TestSupport::psnr(original, back);
    QVERIFY2(fidelity >= 30.0, qPrintable(QStringLiteral("PSNR %1 dB").arg(fidelity)));
}

void TestImageTools::orientationSeenByTool_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<int>("transformation");
    for (const char *suffix : { "heic", "jxl" }) {
        for (const auto &entry : transformations())
            QTest::addRow("%s %s", suffix, entry.first) << QString::fromLatin1(suffix) << int(entry.second);
    }
}

// heif-convert and djxl apply the stored orientation: they see our file upright exactly as
// our reader does, so both agree on what the stored orientation means.
void TestImageTools::orientationSeenByTool()
{
    QFETCH(QString, suffix);
    QFETCH(int, transformation);
    const Tool tool = decoderFor(suffix);
    if (!TestSupport::haveTool(tool.program))
        QSKIP(qPrintable(tool.program + QStringLiteral(" is not installed")));
    const QImage stored = TestSupport::makePhotoLike(48, 32);
    const QString file = path(QStringLiteral("oriented.") + suffix);
    WriteSettings settings;
    settings.quality = 95;
    settings.transformation = QImageIOHandler::Transformations(transformation);
    QCOMPARE(FormatTest::write(stored, file, settings), QString());

    const QString png = path(QStringLiteral("oriented.png"));
    QFile::remove(png);
    QVERIFY(runTool(tool, file, png));
    const QImage theirs(png);
    const QImage ours = FormatTest::read(file);
    QCOMPARE(theirs.size(), ours.size());
    QVERIFY2(TestSupport::psnr(theirs, ours) >= 40.0,
        qPrintable(QStringLiteral("PSNR %1 dB").arg(TestSupport::psnr(theirs, ours))));
    QVERIFY(TestSupport::psnr(FormatTest::transformedAsQt(stored, settings.transformation), ours) >= 30.0);
}

void TestImageTools::avifencOrientation_data()
{
    QTest::addColumn<int>("angle");
    QTest::addColumn<int>("mirror");
    for (int angle = 0; angle < 4; ++angle) {
        for (int mirror = -1; mirror <= 1; ++mirror)
            QTest::addRow("irot %d imir %d", angle, mirror) << angle << mirror;
    }
}

// avifenc stores 'irot' and 'imir' exactly as asked; our reader turns the picture upright by
// HEIF's definition of the two boxes.
void TestImageTools::avifencOrientation()
{
    QFETCH(int, angle);
    QFETCH(int, mirror);
    if (!TestSupport::haveTool(QStringLiteral("avifenc")))
        QSKIP("avifenc is not installed");
    const QImage stored = TestSupport::makePhotoLike(48, 32);
    const QString png = path(QStringLiteral("stored.png"));
    QVERIFY(stored.save(png));
    const QString file = path(QStringLiteral("avifenc-oriented.avif"));
    QFile::remove(file);
    QStringList arguments { QStringLiteral("-y"), QStringLiteral("444"), QStringLiteral("--min"),
        QStringLiteral("0"), QStringLiteral("--max"), QStringLiteral("10"), QStringLiteral("-s"),
        QStringLiteral("8") };
    if (angle > 0)
        arguments << QStringLiteral("--irot") << QString::number(angle);
    if (mirror >= 0)
        arguments << QStringLiteral("--imir") << QString::number(mirror);
    QVERIFY(runTool(
        { QStringLiteral("avifenc"), arguments + QStringList { QStringLiteral("%1"), QStringLiteral("%2") } },
        png, file));

    const QImage expected = FormatTest::transformedAsHeif(stored, angle, mirror);
    QImageReader reader(file);
    QCOMPARE(reader.size(), expected.size());
    const QImage back = reader.read();
    QCOMPARE(back.size(), expected.size());
    QVERIFY2(TestSupport::psnr(expected, back) >= 35.0,
        qPrintable(QStringLiteral("PSNR %1 dB").arg(TestSupport::psnr(expected, back))));
}

QTEST_GUILESS_MAIN(TestImageTools)
#include "tst_imagetools.moc"
