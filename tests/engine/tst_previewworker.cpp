// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/conversionoptions.h"
#include "filelist/loadfullpreviewimagethread.h"
#include "filelist/loadpreviewimagethread.h"
#include "filelist/thumbnailcache.h"
#include "imaging/renderpipeline.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList capturedLines;

void captureDebug(QtMsgType, const QMessageLogContext &, const QString &message)
{
    capturedLines.append(message);
}

int linesStartingWith(const QString &prefix)
{
    int count = 0;
    for (const QString &line : std::as_const(capturedLines))
        count += line.startsWith(prefix) ? 1 : 0;
    return count;
}

} // namespace

class TestPreviewWorker : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;

    QString photo(const QString &name, QSize size)
    {
        const QString path = dir.filePath(name);
        if (!TestSupport::makePhotoLike(size.width(), size.height()).save(path))
            qFatal("cannot write fixture");
        return path;
    }

    // Runs one worker to its end; returns the images it emitted.
    QList<QImage> preview(const QString &path, bool reload, bool stopFirst = false)
    {
        auto *worker = new LoadPreviewImageThread(path, QSize(400, 231), reload);
        worker->stopRequested = stopFirst;
        QList<QImage> images;
        connect(worker, &LoadPreviewImageThread::updatePreviewImage, this,
            [&](const QImage &image) { images.append(image); });
        worker->start();
        if (!worker->wait(30000))
            qFatal("preview worker hangs");
        QCoreApplication::processEvents();
        delete worker;
        return images;
    }

private Q_SLOTS:
    void initTestCase() { qInstallMessageHandler(captureDebug); }
    void cleanupTestCase() { qInstallMessageHandler(nullptr); }

    void init()
    {
        resetOptions();
        clearLoadCache();
        ThumbnailCache::instance().clear();
        capturedLines.clear();
    }

    void fitSizes_data()
    {
        QTest::addColumn<QSize>("image");
        QTest::addColumn<QSize>("fitted");
        QTest::newRow("4000x3000") << QSize(4000, 3000) << QSize(308, 231);
        QTest::newRow("1920x1080") << QSize(1920, 1080) << QSize(399, 224);
        QTest::newRow("small stays") << QSize(120, 80) << QSize(120, 80);
        QTest::newRow("exact") << QSize(400, 231) << QSize(400, 231);
        QTest::newRow("tall") << QSize(1000, 4000) << QSize(57, 231);
    }

    void fitSizes()
    {
        QFETCH(QSize, image);
        QFETCH(QSize, fitted);
        QCOMPARE(fitPreviewSize(image, QSize(400, 231)), fitted);
    }

    void thumbnailFolderEndsWithSlashAndExists()
    {
        const QString folder = ThumbnailCache::thumbnailsDir();
        QVERIFY(folder.endsWith('/'));
        QVERIFY(QFileInfo(folder).isDir());
        QVERIFY(QFileInfo(folder).isWritable());
    }

    void returningToAFileReadsItsThumbnail()
    {
        const QString a = photo("a.png", QSize(800, 600));
        const QString b = photo("b.png", QSize(640, 480));
        QCOMPARE(preview(a, false).value(0).size(), QSize(308, 231));
        QCOMPARE(preview(b, false).value(0).size(), QSize(308, 231));
        const QList<QImage> third = preview(a, false);
        QCOMPARE(third.size(), 1);
        QCOMPARE(third[0].size(), QSize(308, 231));
        QCOMPARE(linesStartingWith("LoadPreviewImageThread::createPreviewImage: " + a), 1);
        QCOMPARE(linesStartingWith("Reload from thumbnail: "), 1);
        const auto records = ThumbnailCache::instance().records();
        QCOMPARE(records.size(), 2);
        QCOMPARE(records[0].filePath, a);
        QCOMPARE(records[1].thumbnailNumber, 1);
        QVERIFY(QFile::exists(ThumbnailCache::thumbnailsDir() + "0.webp"));
    }

    void optionChangeRewritesTheSameNumberedFile()
    {
        const QString a = photo("stale.png", QSize(300, 200));
        const QString b = photo("other.png", QSize(300, 200));
        preview(a, false);
        preview(b, false);
        const QString file = ThumbnailCache::thumbnailsDir() + "0.webp";
        const QByteArray before = TestSupport::fileDigest(file);

        // What an option change means for the picture; a new picture on disk is the plainest one.
        QImage changed = TestSupport::filledImage(QSize(300, 200), Qt::magenta);
        QVERIFY(changed.save(a));
        capturedLines.clear();
        preview(a, true);
        QCOMPARE(linesStartingWith("LoadPreviewImageThread::createPreviewImage: "), 1);
        QCOMPARE(ThumbnailCache::instance().records().size(), 2);
        QVERIFY(TestSupport::fileDigest(file) != before);
        QVERIFY(ThumbnailCache::instance().records()[1].needsReload);

        // b is stale too: it renders again instead of showing its old thumbnail.
        capturedLines.clear();
        preview(b, false);
        QCOMPARE(linesStartingWith("LoadPreviewImageThread::createPreviewImage: " + b), 1);
    }

    void unreadableFileEmitsNullAndWritesNoThumbnail()
    {
        const QString broken = dir.filePath("broken.png");
        QVERIFY(TestSupport::writeFile(broken, "garbage"));
        const QList<QImage> images = preview(broken, false);
        QCOMPARE(images.size(), 1);
        QVERIFY(images[0].isNull());
        QCOMPARE(ThumbnailCache::instance().records().size(), 1);
        QVERIFY(!QFile::exists(ThumbnailCache::thumbnailsDir() + "0.webp")
            || ThumbnailCache::instance().records()[0].needsReload);
        capturedLines.clear();
        preview(broken, false);
        QCOMPARE(linesStartingWith("LoadPreviewImageThread::createPreviewImage: "), 1);
    }

    void stoppedWorkerEmitsNothing()
    {
        const QString a = photo("stopped.png", QSize(50, 50));
        QVERIFY(preview(a, false, true).isEmpty());
    }

    void fullPreviewRendersAtFullSize()
    {
        const QString a = photo("full.png", QSize(900, 700));
        updateOptions([](ConversionOptions &o) {
            o.scaleImage = true;
            o.scaleType = 0;
            o.scalePercentage = 50;
        });
        auto *worker = new LoadFullPreviewImageThread(a);
        QSignalSpy ready(worker, &LoadFullPreviewImageThread::previewImageReady);
        worker->start();
        QVERIFY(worker->wait(30000));
        delete worker;
        const QImage image = ready.at(0).at(0).value<QImage>();
        QVERIFY(!image.isNull());
        // Before the scaling step lands this is the full size; after it, half of it.
        QVERIFY(image.size() == QSize(900, 700) || image.size() == QSize(450, 350));
    }

    void secondCopyGetsAPrivateFolderRemovedAtExit()
    {
        const QString mine = ThumbnailCache::thumbnailsDir();
        // Tests running side by side share the program folder's Thumbnails: when another one held
        // it as this one started, this test holds its lock now, so that the probe is a second copy
        // even if that other test ends meanwhile.
        const QString shared = QCoreApplication::applicationDirPath() + QStringLiteral("/Thumbnails/");
        QLockFile sharedLock(shared + QStringLiteral(".pictomat.lock"));
        sharedLock.setStaleLockTime(0);
        if (mine != shared)
            sharedLock.tryLock(0);
        QByteArray output;
        const QString probe = QCoreApplication::applicationDirPath() + "/thumbnailfolderprobe";
        QCOMPARE(TestSupport::runTool(probe, {}, &output), 0);
        const QString theirs = QString::fromLocal8Bit(output).trimmed().split('\n').last();
        QVERIFY2(!theirs.isEmpty(), output.constData());
        QVERIFY(theirs != mine);
        QVERIFY2(!QFileInfo::exists(theirs), qPrintable(theirs + " still exists"));
    }

    // An installed copy never writes beside its executable (/usr/bin): its thumbnails live in the
    // user's cache folder.
    void installedCopyKeepsThumbnailsInTheUserCache()
    {
        QTemporaryDir cache;
        QProcess probe;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CACHE_HOME"), cache.path());
        probe.setProcessEnvironment(env);
        probe.start(QCoreApplication::applicationDirPath() + "/thumbnailfolderprobe", { "--installed" });
        QVERIFY(probe.waitForFinished(20000));
        QCOMPARE(probe.exitCode(), 0);
        const QString theirs = QString::fromLocal8Bit(probe.readAllStandardOutput()).trimmed();
        QVERIFY2(theirs.startsWith(cache.path() + QLatin1Char('/')), qPrintable(theirs));
        QVERIFY2(theirs.endsWith(QStringLiteral("/Thumbnails/")), qPrintable(theirs));
        QVERIFY(!theirs.startsWith(QCoreApplication::applicationDirPath()));
    }
};

QTEST_MAIN(TestPreviewWorker)
#include "tst_previewworker.moc"
