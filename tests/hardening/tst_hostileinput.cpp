// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/pathcompare.h"
#include "convert/conversionoptions.h"
#include "convert/convertimagesthread.h"
#include "convert/outputformats.h"
#include "filelist/convertimageaddurlsthread.h"
#include "filelist/filepathregistry.h"
#include "filelist/loadpreviewimagethread.h"
#include "filelist/thumbnailcache.h"
#include "folderstate.h"
#include "imaging/failurereasons.h"
#include "imaging/renderpipeline.h"
#include "jobrun.h"
#include "outputcheck.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QLoggingCategory>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <memory>
#include <unistd.h>

namespace {

// Figures for the closing summary of the run.
int conversionsTried = 0;
int targetsTried = 0;

} // namespace

// Every file of the hostile corpus (broken, truncated, lying about its size or its type), plus
// the entries only a live file system can hold (a folder named photo.jpg, symbolic-link loops,
// a file its reader has no right to open), rendered, previewed and converted to every target.
// Nothing may crash or hang; each source either gives a complete, readable target or is listed
// as a failure with no file left behind.
class TestHostileInput : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString in;
    QStringList sources;
    QSet<QString> loadable;
    QSet<QString> damaged; // readable, but reported as damaged: written and listed
    QHash<QString, QSize> loadedSize;

    // Every target format takes a picture of this size; beyond it WEBP (16383) and others may refuse.
    bool fitsEveryFormat(const QString &source) const
    {
        const QSize size = loadedSize.value(source);
        return size.width() <= 16383 && size.height() <= 16383;
    }

    void addRuntimeEntries()
    {
        QVERIFY(QDir(in).mkdir(QStringLiteral("photo.jpg")));
        QVERIFY(QFile::link(QStringLiteral("self-loop.jpg"), in + QStringLiteral("/self-loop.jpg")));
        QVERIFY(QFile::link(QStringLiteral("loop-b.png"), in + QStringLiteral("/loop-a.png")));
        QVERIFY(QFile::link(QStringLiteral("loop-a.png"), in + QStringLiteral("/loop-b.png")));
        QVERIFY(QFile::link(QStringLiteral("nowhere.webp"), in + QStringLiteral("/dangling.webp")));
        // A dropped folder that contains itself: a source reached through the loop is still one file.
        QVERIFY(QDir(in).mkdir(QStringLiteral("looping")));
        QVERIFY(QFile::link(QStringLiteral(".."), in + QStringLiteral("/looping/up")));
        QVERIFY(QFile::copy(
            in + QStringLiteral("/valid-png.png"), in + QStringLiteral("/looping/inside-loop.png")));
    }

    QString targetOf(const QString &source, const QString &folder, const QString &ext) const
    {
        return ConvertImagesThread::targetPathFor(folder, source, ext);
    }

    void checkFileJob(const JobRun &job, const QString &ext)
    {
        const bool writable = OutputCheck::canWrite(ext) || ext == QLatin1String(".gif");
        if (!writable)
            qInfo("no writer for %s here: every source must fail and leave nothing", qPrintable(ext));
        QSet<QString> written;
        for (const QString &source : std::as_const(sources)) {
            const QString target = targetOf(source, job.targetFolder, ext);
            const int failed = job.failureCount(source);
            QVERIFY2(failed <= 1, qPrintable(source + " is reported more than once"));
            if (failed && !damaged.contains(source)) {
                QVERIFY2(!QFileInfo::exists(target), qPrintable(target + " left behind for a failed source"));
                continue;
            }
            QVERIFY2(loadable.contains(source), qPrintable(source + " cannot be read yet was not reported"));
            QVERIFY2(QFileInfo(target).isFile() && QFileInfo(target).size() > 0,
                qPrintable(target + " is missing although its source was not reported"));
            if (OutputCheck::canRead(ext))
                QVERIFY2(!OutputCheck::decode(target).isNull(), qPrintable(target + " cannot be read back"));
            written.insert(QFileInfo(target).fileName());
        }
        for (const QString &source : std::as_const(loadable)) {
            if (writable && fitsEveryFormat(source))
                QVERIFY2(job.failureCount(source) == (damaged.contains(source) ? 1 : 0),
                    qPrintable(source + " is readable but failed: " + job.describeFailures()));
        }
        const QStringList left
            = QDir(job.targetFolder)
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        QCOMPARE(QSet<QString>(left.cbegin(), left.cend()), written);
    }

    void checkPdfJob(const JobRun &job, const QString &document)
    {
        for (const QString &source : std::as_const(sources))
            QCOMPARE(
                job.failureCount(source), loadable.contains(source) && !damaged.contains(source) ? 0 : 1);
        QVERIFY2(
            QFileInfo(document).isFile(), "unreadable sources keep their blank pages in a written document");
        const int pages = OutputCheck::pdfPages(document);
        if (pages == -2)
            qInfo("pdfinfo is not installed; the page count is not checked");
        else
            QCOMPARE(pages, int(sources.size()));
        const QStringList left
            = QDir(job.targetFolder)
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        QCOMPARE(left, QStringList { QFileInfo(document).fileName() });
    }

private Q_SLOTS:
    void initTestCase()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
        QVERIFY(dir.isValid());
        in = dir.path() + QStringLiteral("/in");
        QVERIFY(QDir().mkpath(in));
        const QDir corpus(QStringLiteral(PICTOMAT_HOSTILE_DIR));
        const QStringList names = corpus.entryList(QDir::Files);
        QVERIFY2(
            names.size() >= 150, "the hostile corpus is missing; run tests/hardening/make-hostile-corpus.py");
        for (const QString &name : names)
            QVERIFY(QFile::copy(corpus.filePath(name), in + QLatin1Char('/') + name));
        addRuntimeEntries();

        const QStringList entries
            = QDir(in).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
        for (const QString &name : entries) {
            if (name != QLatin1String("looping"))
                sources.append(in + QLatin1Char('/') + name);
        }
        sources.append(in + QStringLiteral("/looping/up/looping/up/looping/inside-loop.png"));
        for (const QString &source : std::as_const(sources)) {
            QImage image;
            QString reason;
            if (ImageMagickUtil::loadImage(source, &image, &reason) && !image.isNull()) {
                loadable.insert(source);
                if (reason == FailureReason::damaged())
                    damaged.insert(source);
                loadedSize.insert(source, image.size());
            }
        }
        qInfo("%d hostile sources, %d of them readable, %d of these damaged", int(sources.size()),
            int(loadable.size()), int(damaged.size()));
        resetOptions();
    }

    void init()
    {
        resetOptions();
        clearLoadCache();
    }

    void controlsAreReadable_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *format : { "png", "jpg", "gif", "tiff", "webp", "avif", "heic", "jxl" })
            QTest::newRow(format) << QStringLiteral("valid-%1.%1").arg(QLatin1String(format));
    }

    // The untouched files the corpus was made from read as pictures: the harness does convert
    // what can be converted, so the failures seen elsewhere are the hostile files' own.
    void controlsAreReadable()
    {
        QFETCH(QString, name);
        if (!OutputCheck::canRead(name))
            QSKIP(qPrintable("no reader for " + name + " here"));
        const QString path = in + QLatin1Char('/') + name;
        QVERIFY(loadable.contains(path));
        QCOMPARE(renderImage(path, false).size(), QSize(48, 32));
    }

    // Each file through the pipeline, both qualities, and the live preview worker. A file that
    // cannot be read gives a null image, and never the picture of the file rendered before it.
    void renderAndPreviewEveryFile()
    {
        const QString control = in + QStringLiteral("/valid-png.png");
        for (const QString &source : std::as_const(sources)) {
            QVERIFY(!renderImage(control, false).isNull());
            const QImage full = renderImage(source, false);
            QCOMPARE(full.isNull(), !loadable.contains(source));
            QCOMPARE(renderImage(source, true).size(), full.size());
            if (!isSupportedImageFile(source))
                QVERIFY2(
                    full.isNull(), qPrintable(source + " is not a file the list would take, yet it renders"));

            QList<QImage> previews;
            auto *worker = new LoadPreviewImageThread(source, QSize(400, 231), true);
            connect(worker, &LoadPreviewImageThread::updatePreviewImage, this,
                [&](const QImage &image) { previews.append(image); });
            worker->start();
            if (!worker->wait(60000))
                qFatal("the preview of %s hangs", qPrintable(source));
            QCoreApplication::processEvents();
            delete worker;
            QCOMPARE(previews.size(), 1);
            QCOMPARE(previews.first().isNull(), full.isNull());
        }
    }

    // A corrupt GIF header declares a 48 x 65312 picture, which reads; its preview, fitted to
    // the label with truncated quotients, must not shrink to no width at all.
    void previewOfASliverIsNotBlank_data()
    {
        QTest::addColumn<QSize>("image");
        QTest::addColumn<QSize>("fitted");
        QTest::newRow("tall sliver") << QSize(48, 65312) << QSize(1, 231);
        QTest::newRow("wide sliver") << QSize(65312, 48) << QSize(400, 1);
        QTest::newRow("ordinary") << QSize(4000, 3000) << QSize(308, 231);
    }

    void previewOfASliverIsNotBlank()
    {
        QFETCH(QSize, image);
        QFETCH(QSize, fitted);
        const QSize size = fitPreviewSize(image, QSize(400, 231));
        QCOMPARE(size.width(), fitted.width());
        QVERIFY(qAbs(size.height() - fitted.height()) <= 1);
    }

    void writtenFilesOpenAgain_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<QSize>("size");
        for (const char *ext :
            { ".avif", ".heic", ".heif", ".jxl", ".webp", ".jpg", ".png", ".tiff", ".gif" }) {
            for (const QSize size :
                { QSize(48, 16383), QSize(48, 16384), QSize(40000, 24), QSize(48, 65312) })
                QTest::newRow(qPrintable(
                    QStringLiteral("%1 %2x%3").arg(QLatin1String(ext)).arg(size.width()).arg(size.height())))
                    << QString::fromLatin1(ext) << size;
        }
    }

    // A sliver that a corrupt header can produce is either written so that it reads back, or
    // refused and reported; a target the program cannot open again is a lost picture.
    void writtenFilesOpenAgain()
    {
        QFETCH(QString, ext);
        QFETCH(QSize, size);
        if (!OutputCheck::canRead(ext))
            QSKIP(qPrintable("no reader for " + ext + " here"));
        const QString folder
            = dir.path() + QStringLiteral("/sliver-%1x%2").arg(size.width()).arg(size.height()) + ext;
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/in")));
        const QString source = folder + QStringLiteral("/in/sliver.png");
        QVERIFY(TestSupport::makePhotoLike(size.width(), size.height()).save(source, "PNG"));
        JobRun job({ source }, folder, ext);
        job.run();
        QCOMPARE(job.existing, QStringList());
        const QString target = folder + QStringLiteral("/sliver") + ext;
        if (job.failureCount(source) == 1) {
            QVERIFY(!QFileInfo::exists(target));
            return;
        }
        QCOMPARE(OutputCheck::decode(target).size(), size);
    }

    // The whole folder dropped on the list, and every entry of it dropped again by itself: the
    // walk ends in spite of the looping link, each file the list takes is listed once, and each
    // row gets its icon, readable or not.
    void droppedIntoTheList()
    {
        QList<QUrl> dropped = { QUrl::fromLocalFile(in) };
        QStringList expected;
        for (const QString &source : std::as_const(sources)) {
            if (!source.contains(QLatin1String("/looping/")))
                dropped.append(QUrl::fromLocalFile(source));
        }
        const QStringList entries
            = QDir(in).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
        for (const QString &name : entries) {
            if (isSupportedImageFile(in + QLatin1Char('/') + name))
                expected.append(normalPath(in + QLatin1Char('/') + name));
        }
        expected.append(normalPath(in + QStringLiteral("/looping/inside-loop.png")));

        auto registry = std::make_shared<FilePathRegistry>();
        ConvertImageAddUrlsThread worker(registry);
        QStringList rows;
        QStringList icons;
        connect(
            &worker, &ConvertImageAddUrlsThread::addFileRows, &worker,
            [&](const QStringList &paths) { rows += paths; }, Qt::DirectConnection);
        connect(
            &worker, &ConvertImageAddUrlsThread::processFinish, &worker,
            [&](const QImage &, const QString &, const QString &, const QString &, const QString &path) {
                icons.append(path);
            },
            Qt::DirectConnection);
        QVERIFY(worker.enqueueUrls(dropped));
        worker.start();
        if (!worker.wait(120000))
            qFatal("adding the hostile folder to the list hangs");
        QStringList sortedRows = rows;
        sortedRows.sort();
        expected.sort();
        QCOMPARE(sortedRows, expected);
        QCOMPARE(icons, rows);
    }

    void convertEveryFile_data()
    {
        QTest::addColumn<QString>("ext");
        for (const TargetFormat &format : targetFormats())
            QTest::newRow(qPrintable(format.text)) << format.extension;
    }

    void convertEveryFile()
    {
        QFETCH(QString, ext);
        const QString out = dir.path() + QStringLiteral("/out") + ext;
        QVERIFY(QDir().mkpath(out));
        const bool pdf = ext == QLatin1String(".pdf");
        updateOptions([&](ConversionOptions &o) {
            o.outputFolder = out;
            o.pdfFileName = QStringLiteral("hostile.pdf");
        });

        JobRun job(sources, pdf ? out + QStringLiteral("/hostile.pdf") : out, ext);
        job.run();
        ++targetsTried;
        conversionsTried += int(sources.size());

        QVERIFY(job.completed);
        QCOMPARE(job.endSignals, 1);
        QCOMPARE(job.updates, sources);
        QCOMPARE(job.existing, QStringList());
        QCOMPARE(job.failuresAsSignalled, job.failedSources());
        for (const ConversionFailure &failure : std::as_const(job.failures))
            QVERIFY2(!failure.reason.isEmpty(), qPrintable(failure.source + " failed without a reason"));
        if (pdf) {
            job.targetFolder = out;
            checkPdfJob(job, out + QStringLiteral("/hostile.pdf"));
        } else {
            checkFileJob(job, ext);
        }
    }

    // A file its reader may not open. Root reads it all the same, so as root the job runs in a
    // child process that first becomes the user "nobody".
    void unreadableFile()
    {
        const QString folder = dir.path() + QStringLiteral("/permission");
        const QString out = folder + QStringLiteral("/out");
        QVERIFY(QDir().mkpath(out));
        const QString locked = folder + QStringLiteral("/locked.png");
        const QString open = folder + QStringLiteral("/open.png");
        QVERIFY(QFile::copy(in + QStringLiteral("/valid-png.png"), locked));
        QVERIFY(QFile::copy(in + QStringLiteral("/valid-png.png"), open));
        QVERIFY(QFile::setPermissions(locked, QFileDevice::Permissions()));
        QVERIFY(QFile::setPermissions(out, QFileDevice::Permissions(0x7777)));
        QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7755)));
        QVERIFY(QFile::setPermissions(folder, QFileDevice::Permissions(0x7755)));

        QStringList failed;
        if (geteuid() != 0) {
            QVERIFY(renderImage(locked, false).isNull());
            JobRun job({ locked, open }, out, QStringLiteral(".png"));
            job.run();
            QVERIFY(job.completed);
            failed = job.failedSources();
        } else {
            QProcess child;
            child.start(childProgram(),
                { QStringLiteral("--drop-privileges"), out, QStringLiteral(".png"), locked, open });
            QVERIFY2(child.waitForFinished(120000), "the conversion child hangs");
            if (child.exitCode() == 3)
                QSKIP(
                    "running as root, and the child cannot become the user nobody to lose the right to read");
            QCOMPARE(child.exitCode(), 0);
            const QStringList lines
                = QString::fromUtf8(child.readAllStandardOutput()).split(QLatin1Char('\n'));
            QVERIFY2(lines.contains(QStringLiteral("COMPLETED")), qPrintable(lines.join(QLatin1Char('\n'))));
            for (const QString &line : lines) {
                if (line.startsWith(QLatin1String("FAILED\t")))
                    failed.append(line.section(QLatin1Char('\t'), 1, 1));
            }
        }
        QCOMPARE(failed, QStringList { locked });
        QVERIFY(!QFileInfo::exists(out + QStringLiteral("/locked.png")));
        QVERIFY(!OutputCheck::decode(out + QStringLiteral("/open.png")).isNull());
        QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden), QStringList { QStringLiteral("open.png") });
    }

    void cleanupTestCase()
    {
        qInfo("hostile input: %d sources x %d targets, %d conversions tried", int(sources.size()),
            targetsTried, conversionsTried);
    }
};

QTEST_MAIN(TestHostileInput)
#include "tst_hostileinput.moc"
