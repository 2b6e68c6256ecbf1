// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "filelist/folderscan.h"
#include "filelist/listicon.h"
#include "imaging/failurereasons.h"
#include "imaging/jpegscans.h"
#include "imaging/memorybudget.h"
#include "imaging/renderpipeline.h"
#include "imaging/sourcecheck.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// What a source must pass before it is decoded, what a file name must be for the list to take
// it, and what memory a picture may ask of the machine.
class TestInputSafety : public QObject {
    Q_OBJECT

private:
    QString hostile(const QString &name) const
    {
        return QString::fromLocal8Bit(qgetenv("PICTOMAT_TEST_DATA")) + QStringLiteral("/hostile/") + name;
    }

private Q_SLOTS:
    void refusedBeforeDecoding_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        const QString notSupported = FailureReason::notSupported();
        QTest::newRow("bmp") << "bmp-with-jpeg-extension.jpg" << notSupported;
        QTest::newRow("tga") << "tga-with-tiff-extension.tiff" << notSupported;
        QTest::newRow("ico") << "ico-with-webp-extension.webp" << notSupported;
        QTest::newRow("xpm") << "xpm-with-png-extension.png" << notSupported;
        // Without Qt's SVG plug-in nothing recognises the content at all.
        QTest::newRow("svg") << "svg-with-png-extension.png"
                             << (QImageReader::supportedImageFormats().contains("svg")
                                        ? notSupported
                                        : FailureReason::cannotRead());
        QTest::newRow("501 scans") << "progressive-jpeg-501-scans.jpg" << FailureReason::tooManyScans(500);
        QTest::newRow("2000 scans") << "progressive-jpeg-2000-scans.jpg" << FailureReason::tooManyScans(500);
        QTest::newRow("500 scans") << "progressive-jpeg-500-scans.jpg" << QString();
        QTest::newRow("HEIF grid of 1,056 tiles")
            << "heic-grid-1056-tiles.heic"
            << QCoreApplication::translate(
                   "FailureReason", "HEIF of %1 pictures (grid tiles), more than the %2 any camera writes")
                   .arg(1057)
                   .arg(1024);
        QTest::newRow("jpeg named png") << "jpeg-with-png-extension.png" << QString();
        QTest::newRow("valid tiff") << "valid-tiff.tiff" << QString();
    }

    // The job's loader, the list icon and the picture watermark agree, and a refused file is
    // refused before any decoder sees its pixels.
    void refusedBeforeDecoding()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        const QString path = hostile(name);
        QVERIFY(QFileInfo::exists(path));
        QImage image;
        QString why;
        QCOMPARE(ImageMagickUtil::loadImage(path, &image, &why), reason.isEmpty());
        QCOMPARE(why, reason);
        QCOMPARE(image.isNull(), !reason.isEmpty());
        QCOMPARE(makeListIcon(path).image.isNull(), !reason.isEmpty());
        QCOMPARE(SourceCheck::read(path).isNull(), !reason.isEmpty());
        if (reason.isEmpty())
            QCOMPARE(image.size(), QSize(48, 32));
    }

    // A file far larger than any picture within the decoding budget needs (a sparse 30 GB file:
    // the picture's own bytes without their end, then nothing) is refused before a reader that
    // would take it whole (WebP, GIF), or read it to its end (JPEG, TIFF), sees it.
    void hugeFilesRefusedBeforeReading_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : { "valid-webp.webp", "valid-gif.gif", "valid-tiff.tiff",
                 "progressive-jpeg-500-scans.jpg", "valid-png.png" })
            QTest::newRow(name) << name;
    }

    void hugeFilesRefusedBeforeReading()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        const QString path = dir.filePath("sparse-" + name);
        QByteArray bytes = TestSupport::readFile(hostile(name));
        QVERIFY(!bytes.isEmpty());
        bytes.chop(2);
        QVERIFY(TestSupport::writeFile(path, bytes));
        const qint64 size = 30LL << 30;
        if (!QFile::resize(path, size))
            QSKIP("this file system holds no sparse 30 GB file");
        const QString reason = FailureReason::fileTooLarge(size, SourceCheck::maxFileBytes());
        QImage image;
        QString why;
        QVERIFY(!ImageMagickUtil::loadImage(path, &image, &why));
        QCOMPARE(why, reason);
        QVERIFY(makeListIcon(path).image.isNull());
        QVERIFY(SourceCheck::read(path).isNull());
    }

    void scanCount_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("scans");
        QTest::newRow("baseline stops at its one scan") << "valid-jpg.jpg" << 1;
        QTest::newRow("500") << "progressive-jpeg-500-scans.jpg" << 500;
        QTest::newRow("counting stops past the limit") << "progressive-jpeg-2000-scans.jpg" << 501;
        QTest::newRow("not a jpeg") << "valid-png.png" << 0;
    }

    void scanCount()
    {
        QFETCH(QString, name);
        QFETCH(int, scans);
        QFile file(hostile(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.seek(0));
        QCOMPARE(JpegScans::count(&file), scans);
        QCOMPARE(file.pos(), 0);
    }

    void namesNotValidUtf8_data()
    {
        QTest::addColumn<QByteArray>("rawName");
        QTest::addColumn<bool>("folder");
        QTest::newRow("latin-1 file") << QByteArray("caf\xe9.png") << false;
        QTest::newRow("cut sequence") << QByteArray("x\xc3.jpg") << false;
        QTest::newRow("latin-1 folder") << QByteArray("\xe9t\xe9") << true;
    }

    // A name the file system holds but Qt cannot decode is reported, never dropped in silence,
    // and the files beside it are still found.
    void namesNotValidUtf8()
    {
        QFETCH(QByteArray, rawName);
        QFETCH(bool, folder);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QByteArray raw = QFile::encodeName(dir.path()) + '/' + rawName;
        if (folder)
            QVERIFY(::mkdir(raw.constData(), 0755) == 0);
        else
            QVERIFY(::close(::open(raw.constData(), O_CREAT | O_WRONLY, 0644)) == 0);
        QFile good(dir.filePath(QStringLiteral("good.png")));
        QVERIFY(good.open(QIODevice::WriteOnly));
        good.close();

        FolderScan scan(dir.path());
        QStringList found;
        QString path;
        while (scan.next(&path))
            found.append(QFileInfo(path).fileName());
        QCOMPARE(found, QStringList { QStringLiteral("good.png") });
        const QStringList unreachable = scan.unreachableNames();
        // Qt cannot remove the entry either.
        QVERIFY(folder ? ::rmdir(raw.constData()) == 0 : ::unlink(raw.constData()) == 0);
        QCOMPARE(unreachable.size(), 1);
        QVERIFY(unreachable.first().contains(QChar::ReplacementCharacter));
    }

    // The memory the control groups leave, from a tree of control-group files made here: cgroup
    // v1 (this machine's kind), v2 with the limit on the process's own group (a systemd-run
    // scope) or on one above it, v2 beside v1 under "unified", and no limit at all.
    void controlGroupLimits_data()
    {
        QTest::addColumn<QStringList>("files"); // path=content under the mount point
        QTest::addColumn<QByteArray>("procSelfCgroup");
        QTest::addColumn<qint64>("left");
        const QByteArray v1 = "5:memory:/docker/abc\n4:cpu,cpuacct:/docker/abc\n0::/\n";
        QTest::newRow("v1 container") << QStringList { "memory/docker/abc/memory.limit_in_bytes=4000",
            "memory/docker/abc/memory.usage_in_bytes=1000",
            "memory/memory.limit_in_bytes=9223372036854771712", "memory/memory.usage_in_bytes=99999" }
                                      << v1 << qint64(3000);
        QTest::newRow("v1 without a limit")
            << QStringList { "memory/docker/abc/memory.limit_in_bytes=9223372036854771712",
                   "memory/docker/abc/memory.usage_in_bytes=1000" }
            << v1 << qint64(-1);
        const QByteArray scope = "0::/user.slice/run-u7.scope\n";
        QTest::newRow("v2 scope's own limit") << QStringList { "cgroup.controllers=memory",
            "user.slice/run-u7.scope/memory.max=2000", "user.slice/run-u7.scope/memory.current=500",
            "user.slice/memory.max=max", "user.slice/memory.current=800", "memory.max=max" }
                                              << scope << qint64(1500);
        QTest::newRow("v2 tighter above") << QStringList { "cgroup.controllers=memory",
            "user.slice/run-u7.scope/memory.max=2000", "user.slice/run-u7.scope/memory.current=500",
            "user.slice/memory.max=1000", "user.slice/memory.current=800" }
                                          << scope << qint64(200);
        QTest::newRow("v2 beside v1") << QStringList { "unified/user.slice/run-u7.scope/memory.max=2000",
            "unified/user.slice/run-u7.scope/memory.current=1500" }
                                      << scope << qint64(500);
        QTest::newRow("no limit") << QStringList { "cgroup.controllers=memory",
            "user.slice/run-u7.scope/memory.max=max", "user.slice/run-u7.scope/memory.current=500" }
                                  << scope << qint64(-1);
    }

    void controlGroupLimits()
    {
        QFETCH(QStringList, files);
        QFETCH(QByteArray, procSelfCgroup);
        QFETCH(qint64, left);
        QTemporaryDir root;
        for (const QString &file : std::as_const(files)) {
            const QString path = root.path() + "/" + file.section('=', 0, 0);
            QVERIFY(QDir().mkpath(QFileInfo(path).path()));
            QVERIFY(TestSupport::writeFile(path, file.section('=', 1).toLatin1() + "\n"));
        }
        QCOMPARE(MemoryBudget::controlGroupLeft(root.path(), procSelfCgroup), left);
    }

    // Under an address-space limit (ulimit -v) a JPEG XL whose encoder would need more is
    // refused with a reason before libjxl starts, instead of ending the job; the limit is set on
    // a conversion child by prlimit.
    void addressSpaceLimitRefusesBeforeEncoding()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("AddressSanitizer reserves terabytes of address space: a child under an address-space "
              "limit cannot start in this build");
#endif
        if (!TestSupport::haveTool("prlimit"))
            QSKIP("prlimit (util-linux) is not installed");
        QTemporaryDir dir;
        const QString source = dir.filePath("photo.png");
        QVERIFY(TestSupport::makePhotoLike(8000, 6000).save(source));
        const QString child = QCoreApplication::applicationDirPath() + "/conversionchild";
        QByteArray said;
        const int exitCode = TestSupport::runTool("prlimit",
            { "--as=" + QString::number(qint64(2) << 30), child, dir.path(), ".jxl", source }, &said);
        QCOMPARE(exitCode, 0);
        QVERIFY2(said.contains("COMPLETED"), said.constData());
        QVERIFY2(
            said.contains(FailureReason::pictureTooLarge(QSize(8000, 6000), 0).section('(', 0, 0).toUtf8()),
            said.constData());
        QVERIFY(!QFile::exists(dir.filePath("photo.jxl")));
    }

    void outputFolderIsSkipped_data()
    {
        QTest::addColumn<QString>("output"); // relative to the scanned folder
        QTest::addColumn<QStringList>("found");
        QTest::newRow("inside") << "web" << QStringList { "a.png", "trip/b.png", "trip/web/t.png" };
        QTest::newRow("deeper") << "trip/web" << QStringList { "a.png", "trip/b.png", "web/w.png" };
        QTest::newRow("the folder itself")
            << "." << QStringList { "a.png", "trip/b.png", "trip/web/t.png", "web/w.png" };
        QTest::newRow("elsewhere") << "../other"
                                   << QStringList { "a.png", "trip/b.png", "trip/web/t.png", "web/w.png" };
    }

    // A conversion's output folder inside a dropped folder holds its results, not sources; the
    // dropped folder itself is always walked.
    void outputFolderIsSkipped()
    {
        QFETCH(QString, output);
        QFETCH(QStringList, found);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString root = dir.filePath(QStringLiteral("photos"));
        QDir().mkpath(root + QStringLiteral("/trip/web"));
        QDir().mkpath(root + QStringLiteral("/web"));
        QDir().mkpath(dir.filePath(QStringLiteral("other")));
        for (const char *name : { "a.png", "trip/b.png", "trip/web/t.png", "web/w.png" }) {
            QFile file(root + QLatin1Char('/') + QLatin1String(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        FolderScan scan(root);
        scan.skipFolder(root + QLatin1Char('/') + output);
        QStringList files;
        QString path;
        while (scan.next(&path))
            files.append(QDir(root).relativeFilePath(path));
        files.sort();
        QCOMPARE(files, found);
    }

    void memoryBudget_data()
    {
        QTest::addColumn<QString>("ext");
        for (const char *ext :
            { ".png", ".jpg", ".tiff", ".gif", ".webp", ".avif", ".heic", ".heif", ".jxl", ".pdf" })
            QTest::newRow(ext) << QString::fromLatin1(ext);
    }

    // A picture whose writer would need more than the machine has is refused with the size and
    // the megapixels that would fit; one that needs less passes.
    void memoryBudget()
    {
        QFETCH(QString, ext);
        const QSize photo(8000, 6000);
        const qint64 need = MemoryBudget::encoderBytes(photo, ext);
        QVERIFY(need >= qint64(photo.width()) * photo.height());
        QCOMPARE(
            MemoryBudget::conversionBytes(photo, ext), need + qint64(photo.width()) * photo.height() * 4);
        QString reason;
        QVERIFY(MemoryBudget::fitsEncoder(photo, ext, &reason, need));
        QVERIFY(reason.isEmpty());
        QVERIFY(!MemoryBudget::fitsEncoder(photo, ext, &reason, need / 2));
        const qint64 megapixels = qint64(double(need / 2) / MemoryBudget::encoderBytesPerPixel(ext) / 1e6);
        QCOMPARE(reason, FailureReason::pictureTooLarge(photo, megapixels));
        QVERIFY(megapixels >= 23 && megapixels <= 24);
        QVERIFY(MemoryBudget::availableBytes() > 0);
    }

    void rawDecoderBudget_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QString>("ext");
        QTest::addColumn<qint64>("availableMB");
        QTest::addColumn<bool>("fits");
        // A 24-megapixel camera's RAW develops with LibRaw's buffers beside the picture.
        QTest::newRow("DNG to JPG, 300 MB free") << QByteArray("dng") << ".jpg" << qint64(300) << false;
        QTest::newRow("CR2 to PNG, 300 MB free") << QByteArray("cr2") << ".png" << qint64(300) << false;
        QTest::newRow("NEF to AVIF, 1 GB free") << QByteArray("nef") << ".avif" << qint64(1024) << true;
        QTest::newRow("JPEG to JPG, 300 MB free") << QByteArray("jpeg") << ".jpg" << qint64(300) << true;
        QTest::newRow("PNG to AVIF, 300 MB free") << QByteArray("png") << ".avif" << qint64(300) << true;
    }

    // The budget knows a RAW development's peak: a RAW that would not fit is refused before it is
    // decoded, and the job counts its peak when it decides what runs beside it.
    void rawDecoderBudget()
    {
        QFETCH(QByteArray, format);
        QFETCH(QString, ext);
        QFETCH(qint64, availableMB);
        QFETCH(bool, fits);
        const QSize photo(6000, 4000);
        const qint64 pixels = qint64(photo.width()) * photo.height();
        const bool raw = format != "jpeg" && format != "png";
        QString reason;
        QCOMPARE(MemoryBudget::fitsDecoder(photo, format, &reason, availableMB << 20), fits);
        if (!fits) {
            const qint64 megapixels
                = qint64(double(availableMB << 20) / MemoryBudget::decoderBytesPerPixel(format) / 1e6);
            QCOMPARE(reason, FailureReason::pictureTooLarge(photo, megapixels));
        }
        const qint64 bytes = MemoryBudget::conversionBytes(photo, ext, format);
        // At least the development's peak, and the 16-bit picture with the writer's peak.
        QVERIFY(bytes >= qint64(MemoryBudget::decoderBytesPerPixel(format) * pixels));
        QVERIFY(bytes >= (raw ? 8 : 4) * pixels + MemoryBudget::encoderBytes(photo, ext));
        if (raw)
            QVERIFY(bytes > MemoryBudget::conversionBytes(photo, ext, "jpeg"));
        else
            QCOMPARE(bytes, MemoryBudget::conversionBytes(photo, ext));
    }
};

QTEST_MAIN(TestInputSafety)
#include "tst_inputsafety.moc"
