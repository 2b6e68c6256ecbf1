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

class TestPluginConversion : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void convertsJpeg_data();
    void convertsJpeg();
    void keepsTransparency_data();
    void keepsTransparency();

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

QTEST_MAIN(TestPluginConversion)
#include "tst_pluginconversion.moc"
