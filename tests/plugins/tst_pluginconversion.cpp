// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A real conversion job (ConvertImagesThread on its own thread) writes AVIF, HEIC, HEIF and
// JPEG XL through our plug-ins, and a second job reads those files back as its sources.
#include "testsupport.h"

#include "convert/conversionoptions.h"
#include "convert/convertimagesthread.h"
#include "imaging/renderpipeline.h"

#include <QImageReader>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <jxl/encode_cxx.h>

namespace {

// A small picture in JPEG XL's own layout, written through libjxl: three colour channels under
// `icc`, and with `black` a black extra channel as a CMYK picture has (the inks half strength,
// the black full). Empty when libjxl refuses it.
QByteArray jxlWithInks(bool black, const QByteArray &icc)
{
    const JxlEncoderPtr encoder = JxlEncoderMake(nullptr);
    JxlBasicInfo info;
    JxlEncoderInitBasicInfo(&info);
    info.xsize = 16;
    info.ysize = 8;
    info.num_extra_channels = black ? 1 : 0;
    info.uses_original_profile = JXL_TRUE;
    JxlExtraChannelInfo channel;
    JxlEncoderInitExtraChannelInfo(JXL_CHANNEL_BLACK, &channel);
    if (JxlEncoderSetBasicInfo(encoder.get(), &info) != JXL_ENC_SUCCESS
        || (black && JxlEncoderSetExtraChannelInfo(encoder.get(), 0, &channel) != JXL_ENC_SUCCESS)
        || JxlEncoderSetICCProfile(
               encoder.get(), reinterpret_cast<const uint8_t *>(icc.constData()), size_t(icc.size()))
            != JXL_ENC_SUCCESS)
        return {};
    JxlEncoderFrameSettings *settings = JxlEncoderFrameSettingsCreate(encoder.get(), nullptr);
    const QByteArray inks(16 * 8 * 3, char(128));
    const QByteArray ink(16 * 8, char(0));
    const JxlPixelFormat three { 3, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0 };
    const JxlPixelFormat one { 1, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0 };
    if (JxlEncoderSetFrameLossless(settings, JXL_TRUE) != JXL_ENC_SUCCESS
        || JxlEncoderAddImageFrame(settings, &three, inks.constData(), size_t(inks.size())) != JXL_ENC_SUCCESS
        || (black
            && JxlEncoderSetExtraChannelBuffer(settings, &one, ink.constData(), size_t(ink.size()), 0)
                != JXL_ENC_SUCCESS))
        return {};
    JxlEncoderCloseInput(encoder.get());
    QByteArray out(1 << 16, '\0');
    auto *next = reinterpret_cast<uint8_t *>(out.data());
    size_t left = size_t(out.size());
    if (JxlEncoderProcessOutput(encoder.get(), &next, &left) != JXL_ENC_SUCCESS)
        return {};
    out.truncate(out.size() - qsizetype(left));
    return out;
}

} // namespace

class TestPluginConversion : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void convertsJpeg_data();
    void convertsJpeg();
    void keepsTransparency_data();
    void keepsTransparency();
    void refusesCmykJpegXl_data();
    void refusesCmykJpegXl();

private:
    // Runs one job to completion; returns its failures' reasons.
    QStringList runJob(const QStringList &sources, const QString &targetFolder, const QString &targetExt);

    QTemporaryDir m_dir;
};

void TestPluginConversion::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
}

void TestPluginConversion::init()
{
    resetOptions();
    clearLoadCache();
}

QStringList TestPluginConversion::runJob(
    const QStringList &sources, const QString &targetFolder, const QString &targetExt)
{
    updateOptions([&](ConversionOptions &o) { o.outputFolder = targetFolder; });
    ConvertImagesThread job;
    job._urls = sources;
    job.targetFolder = targetFolder;
    job.targetExt = targetExt;
    QSignalSpy completed(&job, &ConvertImagesThread::threadCompleted);
    job.start();
    if (!completed.wait(120000))
        return { QStringLiteral("the job did not complete") };
    job.wait();
    QStringList reasons;
    for (const auto &failure : job.failures())
        reasons.append(failure.reason);
    return reasons;
}

void TestPluginConversion::convertsJpeg_data()
{
    QTest::addColumn<QString>("targetExt");
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("AVIF") << ".avif" << QByteArray("avif");
    QTest::newRow("HEIC") << ".heic" << QByteArray("heic");
    QTest::newRow("HEIF") << ".heif" << QByteArray("heic");
    QTest::newRow("JPEG XL") << ".jxl" << QByteArray("jxl");
}

// JPEG in, our format out (no alpha plane for an opaque photo), and that file back in as a
// source for a PNG job.
void TestPluginConversion::convertsJpeg()
{
    QFETCH(QString, targetExt);
    QFETCH(QByteArray, format);
    const QString folder = m_dir.filePath(format + targetExt);
    QVERIFY(QDir().mkpath(folder));
    const QImage photo = TestSupport::makePhotoLike(320, 240);
    const QString jpeg = folder + QStringLiteral("/photo.jpg");
    QVERIFY(TestSupport::saveImage(photo, jpeg, 95));

    QCOMPARE(runJob({ jpeg }, folder, targetExt), QStringList());
    const QString written = folder + QStringLiteral("/photo") + targetExt;
    QVERIFY(QFileInfo::exists(written));
    QVERIFY(isSupportedImageFile(written));
    QImageReader reader(written);
    QCOMPARE(reader.format(), format);
    QImage back;
    QVERIFY(ImageMagickUtil::loadImage(written, &back));
    QCOMPARE(back.size(), photo.size());
    QVERIFY(!back.hasAlphaChannel());
    // Judged against the decoded JPEG, whose ringing around the hard edges of the test picture
    // costs every lossy format a few dB.
    const QImage source(jpeg);
    QVERIFY2(TestSupport::psnr(source, back) >= 28.0,
        qPrintable(QString::number(TestSupport::psnr(source, back))));

    const QString second = folder + QStringLiteral("/again");
    QVERIFY(QDir().mkpath(second));
    clearLoadCache();
    QCOMPARE(runJob({ written }, second, QStringLiteral(".png")), QStringList());
    const QImage png(second + QStringLiteral("/photo.png"));
    QCOMPARE(png.size(), photo.size());
    QVERIFY(TestSupport::psnr(back, png) >= 45.0);
}

void TestPluginConversion::keepsTransparency_data()
{
    convertsJpeg_data();
}

// A transparent PNG keeps its alpha through the job in every one of our formats.
void TestPluginConversion::keepsTransparency()
{
    QFETCH(QString, targetExt);
    const QString folder = m_dir.filePath(QStringLiteral("alpha") + targetExt);
    QVERIFY(QDir().mkpath(folder));
    const QImage picture = TestSupport::makePhotoLike(120, 90, true);
    const QString source = folder + QStringLiteral("/cutout.png");
    QVERIFY(picture.save(source));

    QCOMPARE(runJob({ source }, folder, targetExt), QStringList());
    QImage back;
    QVERIFY(ImageMagickUtil::loadImage(folder + QStringLiteral("/cutout") + targetExt, &back));
    QVERIFY(back.hasAlphaChannel());
    QVERIFY(qAbs(qAlpha(back.pixel(100, 45)) - 96) <= 6);
    QVERIFY(qAlpha(back.pixel(10, 45)) >= 250);
}

void TestPluginConversion::refusesCmykJpegXl_data()
{
    QTest::addColumn<bool>("black");
    QTest::addColumn<QString>("profile");
    QTest::addColumn<QStringList>("reasons");
    QTest::newRow("CMYK") << true << "/usr/share/color/icc/ghostscript/ps_cmyk.icc"
                          << QStringList { QStringLiteral("CMYK JPEG XL is not supported") };
    QTest::newRow("RGB") << false << "/usr/share/color/icc/ghostscript/srgb.icc" << QStringList();
}

// A CMYK JPEG XL is refused with its reason rather than converted with its black left out; the
// same file without the black channel converts.
void TestPluginConversion::refusesCmykJpegXl()
{
    QFETCH(bool, black);
    QFETCH(QString, profile);
    QFETCH(QStringList, reasons);
    QFile icc(profile);
    if (!icc.open(QIODevice::ReadOnly))
        QSKIP("The ICC profiles of the Debian package libgs-common are not installed");
    const QString folder = m_dir.filePath(QStringLiteral("inks-%1").arg(QTest::currentDataTag()));
    QVERIFY(QDir().mkpath(folder));
    const QString source = folder + QStringLiteral("/inks.jxl");
    const QByteArray data = jxlWithInks(black, icc.readAll());
    QVERIFY(!data.isEmpty());
    QVERIFY(TestSupport::writeFile(source, data));

    QCOMPARE(runJob({ source }, folder, QStringLiteral(".png")), reasons);
    QCOMPARE(QFileInfo::exists(folder + QStringLiteral("/inks.png")), reasons.isEmpty());
}

QTEST_MAIN(TestPluginConversion)
#include "tst_pluginconversion.moc"
