// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/checkedsavefile.h"
#include "convert/conversionoptions.h"
#include "convert/convertimagesthread.h"
#include "imaging/failurereasons.h"
#include "imaging/renderpipeline.h"
#include "testsupport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct JobResult {
    QStringList updates;
    QList<QStringList> completed; // fileExistsList, fileSourceList; empty when terminated
    bool terminated = false;
    QStringList order; // signal names in arrival order
    ConversionFailureList failures;
    QString outputLocation;
};

} // namespace

class TestConvertImagesThread : public QObject, private TestSupport::JobFolders {
    Q_OBJECT

private:
    QString source(const QString &name, QSize size = QSize(32, 24))
    {
        const QString path = QDir::toNativeSeparators(in + "/" + name);
        if (!TestSupport::makePhotoLike(size.width(), size.height()).save(path, "PNG"))
            qFatal("cannot write fixture");
        return path;
    }

    JobResult run(ConvertImagesThread *job,
        const std::function<void(ConvertImagesThread *, const QString &)> &onUpdate = {})
    {
        JobResult result;
        connect(
            job, &ConvertImagesThread::updateFileName, job,
            [&, job](const QString &name) {
                result.updates.append(name);
                result.order.append("updateFileName");
                if (onUpdate)
                    onUpdate(job, name);
            },
            Qt::DirectConnection);
        connect(job, &ConvertImagesThread::threadTerminated, this, [&] {
            result.terminated = true;
            result.order.append("threadTerminated");
        });
        connect(job, &ConvertImagesThread::threadCompleted, this,
            [&](const QList<QString> &e, const QList<QString> &s) {
                result.completed = { e, s };
                result.order.append("threadCompleted");
            });
        job->start(QThread::InheritPriority);
        if (!job->wait(60000))
            qFatal("job did not finish");
        QCoreApplication::processEvents();
        result.failures = job->failures();
        result.outputLocation = job->outputLocation();
        return result;
    }

    ConvertImagesThread *job(const QStringList &urls, const QString &ext, bool overwrite = false)
    {
        auto *thread = new ConvertImagesThread(this);
        thread->_urls = urls;
        thread->targetFolder = out;
        thread->targetExt = ext;
        thread->overwriteExisting = overwrite;
        return thread;
    }

private Q_SLOTS:
    void initTestCase() { TestSupport::DebugLog::install(); }
    void cleanupTestCase() { TestSupport::DebugLog::uninstall(); }

    void init() { resetJobFolders(); }

    void gifFlattensOntoTheBackground_data()
    {
        QTest::addColumn<QColor>("background");
        QTest::newRow("white, the default") << QColor(Qt::white);
        QTest::newRow("chosen colour") << QColor(0, 128, 255);
    }

    // GIF has no partial transparency: a transparent area comes out in the background colour and
    // a half-transparent one mixed with it, in the file and in the preview alike.
    void gifFlattensOntoTheBackground()
    {
        QFETCH(QColor, background);
        QImage picture(20, 10, QImage::Format_ARGB32);
        picture.fill(Qt::transparent);
        for (int y = 0; y < 10; ++y) {
            for (int x = 10; x < 20; ++x)
                picture.setPixelColor(x, y, QColor(255, 0, 0, 128));
        }
        const QString path = in + "/alpha.png";
        QVERIFY(picture.save(path));
        updateOptions([&](ConversionOptions &o) {
            o.targeFileType = 1; // GIF
            o.backgroundColor = background;
        });
        const JobResult result = run(job({ path }, ".gif"));
        QVERIFY(result.failures.isEmpty());
        const QImage gif(out + "/alpha.gif");
        QVERIFY(!gif.isNull());
        const QImage preview = renderFullPreview(path, optionsSnapshot());
        QVERIFY(!preview.hasAlphaChannel());
        const auto near = [](QColor a, QColor b) {
            return qAbs(a.red() - b.red()) <= 2 && qAbs(a.green() - b.green()) <= 2
                && qAbs(a.blue() - b.blue()) <= 2 && a.alpha() == 255 && b.alpha() == 255;
        };
        const QColor half((255 + background.red()) / 2, background.green() / 2, background.blue() / 2);
        for (const QImage &image : { gif, preview }) {
            QVERIFY2(near(image.pixelColor(2, 5), background), qPrintable(image.pixelColor(2, 5).name()));
            QVERIFY2(near(image.pixelColor(15, 5), half), qPrintable(image.pixelColor(15, 5).name()));
        }
    }

    void namingRule_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
#ifdef Q_OS_WIN
        QTest::newRow("plain") << "D:\\Out"
                               << "E:\\Pics\\photo.png"
                               << "D:\\Out/photo.jpg";
        QTest::newRow("dots") << "D:\\Out"
                              << "E:\\Pics\\holiday.2024.tiff"
                              << "D:\\Out/holiday.jpg";
#endif
        QTest::newRow("plain") << "/data/Out"
                               << "/pics/photo.png"
                               << "/data/Out/photo.jpg";
        QTest::newRow("dots") << "/data/Out"
                              << "/pics/holiday.2024.tiff"
                              << "/data/Out/holiday.jpg";
        QTest::newRow("folder with backslash") << "C:\\Out"
                                               << "/pics/a.png"
                                               << "C:\\Out/a.jpg";
        QTest::newRow("unix") << "/out"
                              << "/pics/a.b.c.webp"
                              << "/out/a.jpg";
        QTest::newRow("dotted folder") << "/out"
                                       << "/pics.d/x.png"
                                       << "/out/x.jpg";
    }

    void namingRule()
    {
        QFETCH(QString, folder);
        QFETCH(QString, source);
        QFETCH(QString, target);
        QCOMPARE(ConvertImagesThread::targetPathFor(folder, source, ".jpg"), target);
    }

    void convertsEverySourceInOrder()
    {
        const QStringList urls = { source("one.png"), source("two.png", QSize(10, 7)) };
        const JobResult r = run(job(urls, ".jpg"));
        QCOMPARE(r.updates, urls);
        QCOMPARE(r.order.last(), QString("threadCompleted"));
        QCOMPARE(r.completed, (QList<QStringList> { {}, {} }));
        QVERIFY(r.failures.isEmpty());
        QCOMPARE(QImage(out + "/one.jpg").size(), QSize(32, 24));
        QCOMPARE(QImage(out + "/two.jpg").size(), QSize(10, 7));
        QCOMPARE(r.outputLocation, QDir::toNativeSeparators(out));
    }

    // Each file is rendered once, so the job keeps none of them in the previews' one-entry cache
    // (that would hold a second full image while the next one decodes).
    void jobLeavesNoDecodedImageInTheCache()
    {
        const QString shown = source("shown.png");
        const QStringList urls = { source("one.png"), source("two.png") };
        QVERIFY(!renderImage(shown, true).isNull());
        // One file at a time, so that the loads are logged in list order.
        ConvertImagesThread *thread = job(urls, ".png");
        thread->filesAtOnce = 1;
        run(thread);
        QVERIFY(!renderImage(urls.last(), true).isNull());
        QVERIFY(!renderImage(shown, true).isNull());
        // The files the loader decoded, from its debug lines.
        const QStringList loadedPaths
            = TestSupport::DebugLog::linesStartingWith(QStringLiteral("ImageMagickUtil::loadImage: "));
        QCOMPARE(loadedPaths.mid(loadedPaths.size() - 5),
            (QStringList { shown, urls[0], urls[1], urls[1], shown }));
    }

    void emptyJobNamesNoLocation()
    {
        const JobResult r = run(job({}, ".png"));
        QCOMPARE(r.order, QStringList { "threadCompleted" });
        QCOMPARE(r.completed, (QList<QStringList> { {}, {} }));
        QCOMPARE(r.outputLocation, QString());
        QVERIFY(QDir(out).isEmpty());
    }

    void existingTargetsAreSkippedAndReportedInSourceOrder()
    {
        const QStringList urls = { source("a.png"), source("b.png"), source("c.png"), source("a.x.png") };
        QFile existing(out + "/c.webp");
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.write("old content");
        existing.close();
        QVERIFY(QDir(out).mkdir("b.webp")); // a folder named like a target counts

        const JobResult r = run(job(urls, ".webp"));
        QCOMPARE(r.updates, urls);
        // a.x.png names the target a.png writes in this job: a failure, not an existing file.
        QCOMPARE(r.completed.value(0), (QStringList { out + "/b.webp", out + "/c.webp" }));
        QCOMPARE(r.completed.value(1), (QStringList { urls[1], urls[2] }));
        QCOMPARE(r.failures.size(), 1);
        QVERIFY(existing.open(QIODevice::ReadOnly));
        QCOMPARE(existing.readAll(), QByteArray("old content"));
        existing.close();

        // The second job writes over what the user confirmed.
        const JobResult second = run(job({ urls[2] }, ".webp", true));
        QCOMPARE(second.order.last(), QString("threadCompleted"));
        QCOMPARE(QImage(out + "/c.webp").size(), QSize(32, 24));
    }

    void convertingIntoTheSourceFolderNeedsConfirmation()
    {
        const QString photo = source("photo.png");
        const QByteArray before = TestSupport::fileDigest(photo);
        auto *first = job({ photo }, ".png");
        first->targetFolder = in;
        const JobResult r = run(first);
        QCOMPARE(r.completed.value(0), QStringList { in + "/photo.png" });
        QCOMPARE(TestSupport::fileDigest(photo), before);

        auto *second = job({ photo }, ".png", true);
        second->targetFolder = in;
        const JobResult confirmed = run(second);
        QVERIFY(confirmed.failures.isEmpty());
        QCOMPARE(QImage(photo).size(), QSize(32, 24));
        QCOMPARE(QDir(in).entryList(QDir::Files), QStringList { "photo.png" });
    }

    void cancellationLetsTheCurrentFileFinish()
    {
        QStringList urls;
        for (int i = 0; i < 5; ++i)
            urls.append(source(QString("f%1.png").arg(i)));
        const JobResult r = run(job(urls, ".png"), [](ConvertImagesThread *thread, const QString &name) {
            if (name.endsWith("f1.png"))
                thread->stopRequested = true;
        });
        QCOMPARE(r.updates, (QStringList { urls[0], urls[1] }));
        QCOMPARE(r.order.last(), QString("threadTerminated"));
        QVERIFY(r.completed.isEmpty());
        QVERIFY(QFile::exists(out + "/f0.png"));
        QVERIFY(QFile::exists(out + "/f1.png"));
        QVERIFY(!QFile::exists(out + "/f2.png"));
    }

    void cancellationBeforeStart()
    {
        auto *thread = job({ source("a.png") }, ".png");
        thread->stopRequested = true;
        const JobResult r = run(thread);
        QCOMPARE(r.order, QStringList { "threadTerminated" });
        QVERIFY(QDir(out).isEmpty());
    }

    void unreadableSourceIsReportedAndLeavesNoFile()
    {
        const QString good = source("good.png");
        const QString bad = QDir::toNativeSeparators(in + "/bad.png");
        QVERIFY(TestSupport::writeFile(bad, "not an image at all"));
        const QString gone = QDir::toNativeSeparators(in + "/gone.png");

        auto *thread = job({ bad, good, gone }, ".jpg");
        QSignalSpy failed(thread, &ConvertImagesThread::conversionFailed);
        const JobResult r = run(thread);
        QCOMPARE(r.order.last(), QString("threadCompleted"));
        QCOMPARE(r.failures.size(), 2);
        QCOMPARE(r.failures[0].source, bad);
        QCOMPARE(r.failures[0].target, out + "/bad.jpg");
        QVERIFY(!r.failures[0].reason.isEmpty());
        QCOMPARE(r.failures[1].source, gone);
        QCOMPARE(failed.size(), 2);
        QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden), QStringList { "good.jpg" });
    }

    void damagedSourcesAreReported_data()
    {
        QTest::addColumn<int>("keptShare"); // per mille of the JPEG file kept
        QTest::addColumn<bool>("written");
        QTest::addColumn<bool>("reported");
        QTest::addColumn<bool>("overExisting"); // over a good target, the overwrite confirmed
        QTest::newRow("whole") << 1000 << true << false << false;
        QTest::newRow("second half missing") << 500 << true << true << false;
        QTest::newRow("header and a scrap of data") << 0 << false << true << false;
        QTest::newRow("whole over a good file") << 1000 << true << false << true;
        QTest::newRow("second half missing over a good file") << 500 << false << true << true;
    }

    // A JPEG the reader fills up with grey is written from what it holds and reported; one that
    // holds almost nothing of the picture its header promises is not written at all. A damaged
    // source never replaces a file, even one the user confirmed to overwrite.
    void damagedSourcesAreReported()
    {
        QFETCH(int, keptShare);
        QFETCH(bool, written);
        QFETCH(bool, reported);
        QFETCH(bool, overExisting);
        const QByteArray good = "a good file the user keeps";
        if (overExisting)
            QVERIFY(TestSupport::writeFile(out + "/photo.png", good));
        const QString whole = in + "/whole.jpg";
        QVERIFY(TestSupport::saveImage(TestSupport::makePhotoLike(1600, 1200), whole, 90));
        const QByteArray data = TestSupport::readFile(whole);
        QVERIFY(!data.isEmpty());
        const QString cut = QDir::toNativeSeparators(in + "/photo.jpg");
        QFile damaged(cut);
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(keptShare == 0 ? data.left(2048) : data.left(data.size() * keptShare / 1000));
        damaged.close();

        const JobResult r = run(job({ cut }, ".png", overExisting));
        QCOMPARE(r.order.last(), QString("threadCompleted"));
        if (overExisting)
            QCOMPARE(TestSupport::readFile(out + "/photo.png") == good, !written);
        else
            QCOMPARE(QFile::exists(out + "/photo.png"), written);
        QCOMPARE(r.failures.size(), reported ? 1 : 0);
        if (reported) {
            QCOMPARE(r.failures[0].source, cut);
            QCOMPARE(r.failures[0].reason,
                overExisting ? FailureReason::damagedNotOverExisting(FailureReason::damaged())
                             : FailureReason::damaged());
        }
        QCOMPARE(TestSupport::folderEntries(out).size(), overExisting || written ? 1 : 0);
    }

    // A killed job leaves its temporary file beside the photos (on exFAT sticks and cards a kill
    // comes before the system can clean up); the next job into that folder removes it: our name,
    // last changed before the job, and open in no running job. Anything else stays.
    void staleTemporaryFilesAreRemoved_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("ageSeconds"); // negative: changed after the job started
        QTest::addColumn<bool>("heldOpen");
        QTest::addColumn<bool>("removed");
        QTest::newRow("left by a killed job") << ".a.jpg.pictomat-a1B2c3" << 3600 << false << true;
        QTest::newRow("open in a running job") << "" << 3600 << true << false;
        QTest::newRow("changed after the job started") << ".a.jpg.pictomat-d4E5f6" << -3600 << false << false;
        QTest::newRow("a like name not ours") << ".a.jpg.pictomat-abc" << 3600 << false << false;
        QTest::newRow("the user's file") << "a.jpg.a1B2c3" << 3600 << false << false;
    }

    void staleTemporaryFilesAreRemoved()
    {
        QFETCH(QString, name);
        QFETCH(int, ageSeconds);
        QFETCH(bool, heldOpen);
        QFETCH(bool, removed);
        CheckedSaveFile running(out + "/running.jpg");
        QString error;
        if (heldOpen) {
            QVERIFY2(running.open(&error), qPrintable(error));
            QCOMPARE(running.device()->write("half a file"), 11);
            const QStringList entries = TestSupport::folderEntries(out);
            QCOMPARE(entries.size(), 1);
            name = entries.first();
            QVERIFY(CheckedSaveFile::isTemporaryName(name));
        } else {
            QVERIFY(TestSupport::writeFile(out + "/" + name, "half a file"));
        }
        QFile file(out + "/" + name);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(
            QDateTime::currentDateTimeUtc().addSecs(-ageSeconds), QFileDevice::FileModificationTime));
        file.close();

        const JobResult r = run(job({ source("photo.png") }, ".jpg"));
        QVERIFY(r.failures.isEmpty());
        QVERIFY(QFile::exists(out + "/photo.jpg"));
        QCOMPARE(QFile::exists(out + "/" + name), !removed);
    }

    void unwritableFolderIsReported()
    {
        const QString a = source("a.png");
        auto *thread = job({ a }, ".png");
        thread->targetFolder = dir.path() + "/missing-folder";
        const JobResult r = run(thread);
        QCOMPARE(r.order.last(), QString("threadCompleted"));
        QCOMPARE(r.failures.size(), 1);
        QCOMPARE(r.failures[0].source, a);
        QVERIFY(!QFileInfo::exists(dir.path() + "/missing-folder"));
    }
};

QTEST_MAIN(TestConvertImagesThread)
#include "tst_convertimagesthread.moc"
