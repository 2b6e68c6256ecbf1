// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/conversionoptions.h"
#include "convert/convertimagesthread.h"
#include "convert/encoderthreads.h"
#include "convert/filepool.h"
#include "convert/outputformats.h"
#include "imaging/renderpipeline.h"
#include "jobrun.h"
#include "outputcheck.h"
#include "testsupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace {

constexpr int FileCount = 20;
constexpr int BrokenIndex = 7;
constexpr int ExistingIndex = 12;

// pdfimages' list of the pictures in a document, one "page width height" a line, in page order.
QStringList pagePictures(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdfimages"), { QStringLiteral("-list"), pdf });
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return { QStringLiteral("pdfimages failed") };
    QStringList pictures;
    const QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'));
    // Two heading lines, then: page num type width height ...
    for (const QString &line : lines.mid(2)) {
        const QStringList fields = line.simplified().split(QLatin1Char(' '));
        if (fields.size() > 4 && fields.at(2) == QLatin1String("image"))
            pictures.append(fields.at(0) + QLatin1Char(' ') + fields.at(3) + QLatin1Char(' ') + fields.at(4));
    }
    return pictures;
}

} // namespace

// The job converting several files at once must look, from outside, exactly like the job that
// converts one file after the other: the same signals in the same order, the same files byte
// for byte, and a cancellation that leaves nothing half-written and says nothing afterwards.
class TestParallelJob : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    QStringList sources;

    JobRun runInto(const QString &folder, const QString &ext, int filesAtOnce)
    {
        QDir().mkpath(folder);
        if (ext != QLatin1String(".pdf")) {
            // A file already there under the target name of one source: reported, not touched.
            QFile old(ConvertImagesThread::targetPathFor(folder, sources.at(ExistingIndex), ext));
            if (old.open(QIODevice::WriteOnly))
                old.write("an older file");
        }
        updateOptions([&](ConversionOptions &o) {
            o.outputFolder = folder;
            o.pdfFileName = QStringLiteral("all.pdf");
            o.resizeImageToPaper = false;
        });
        JobRun run(sources, folder, ext);
        run.filesAtOnce = filesAtOnce;
        run.run();
        return run;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
        QVERIFY(dir.isValid());
        const QString in = dir.path() + QStringLiteral("/in");
        QVERIFY(QDir().mkpath(in));
        for (int i = 0; i < FileCount; ++i) {
            sources.append(in + QStringLiteral("/photo%1.png").arg(i, 2, 10, QLatin1Char('0')));
            if (i == BrokenIndex) {
                QVERIFY(TestSupport::writeFile(
                    sources.last(), "\x89PNG\r\n\x1a\n but nothing after the signature"));
                continue;
            }
            // Sizes that differ a lot, so that later files finish before earlier ones.
            const int width = i % 4 == 0 ? 900 + 7 * i : 60 + 13 * i;
            QVERIFY(TestSupport::makePhotoLike(width, 50 + 7 * (i % 5), i % 3 == 0).save(sources.last()));
        }
    }

    void init()
    {
        resetOptions();
        clearLoadCache();
    }

    void sameSignalsAndFilesAsOneAtATime_data()
    {
        QTest::addColumn<QString>("ext");
        for (const TargetFormat &format : targetFormats())
            QTest::newRow(qPrintable(format.text)) << format.extension;
    }

    // Also the failure in the middle of the batch: reported in its place, between its own
    // signal and the next file's.
    void sameSignalsAndFilesAsOneAtATime()
    {
        QFETCH(QString, ext);
        if (!OutputCheck::jobCanWrite(ext))
            QSKIP("no writer for this format");
        const QString one = dir.path() + QStringLiteral("/one") + ext;
        const QString four = dir.path() + QStringLiteral("/four") + ext;
        const JobRun sequential = runInto(one, ext, 1);
        const JobRun parallel = runInto(four, ext, 4);
        QVERIFY(sequential.completed);
        QCOMPARE(sequential.failedSources(), QStringList { sources.at(BrokenIndex) });
        QStringList expected = sequential.signalLog;
        expected.replaceInStrings(one, four);
        QCOMPARE(parallel.signalLog, expected);
        const qsizetype brokenAt
            = parallel.signalLog.indexOf(QStringLiteral("update ") + sources.at(BrokenIndex));
        QVERIFY(parallel.signalLog.value(brokenAt + 1)
                    .startsWith(QStringLiteral("failed ") + sources.at(BrokenIndex)));
        QCOMPARE(
            parallel.signalLog.value(brokenAt + 2), QStringLiteral("update ") + sources.at(BrokenIndex + 1));

        if (ext == QLatin1String(".pdf")) {
            if (QStandardPaths::findExecutable(QStringLiteral("pdfimages")).isEmpty())
                QSKIP("pdfimages (poppler-utils) is not installed");
            // One picture a page, each at its source's size: the pages are in list order.
            const QStringList pictures = pagePictures(four + QStringLiteral("/all.pdf"));
            QCOMPARE(pictures, pagePictures(one + QStringLiteral("/all.pdf")));
            QCOMPARE(pictures.size(), FileCount - 1);
            for (int i = 0, picture = 0; i < FileCount; ++i) {
                if (i == BrokenIndex)
                    continue;
                const QImage source(sources.at(i));
                QCOMPARE(pictures.at(picture++),
                    QStringLiteral("%1 %2 %3").arg(i + 1).arg(source.width()).arg(source.height()));
            }
            return;
        }
        QCOMPARE(sequential.existingSources, QStringList { sources.at(ExistingIndex) });
        const QStringList written = QDir(one).entryList(QDir::Files);
        // Every source but the broken one; the older file stands for the source it blocked.
        QCOMPARE(written.size(), FileCount - 1);
        QCOMPARE(QDir(four).entryList(QDir::Files), written);
        for (const QString &name : written) {
            QVERIFY2(TestSupport::fileDigest(one + QLatin1Char('/') + name)
                    == TestSupport::fileDigest(four + QLatin1Char('/') + name),
                qPrintable(name + " differs"));
        }
    }

    void threadLimitBoundsTheJob_data()
    {
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("cores"); // what the job may keep busy
        const int all = qMax(1, QThread::idealThreadCount());
        QTest::newRow("every core") << 0 << all;
        QTest::newRow("one") << 1 << 1;
        QTest::newRow("two") << 2 << qMin(2, all);
        QTest::newRow("more than the machine has") << 4096 << all;
    }

    // The files at once and each one's encoder threads together stay within the limit, so that
    // jobs started side by side do not fight for the cores.
    void threadLimitBoundsTheJob()
    {
        QFETCH(int, limit);
        QFETCH(int, cores);
        if (qEnvironmentVariableIsSet("PICTOMAT_FILES_AT_ONCE"))
            QSKIP("PICTOMAT_FILES_AT_ONCE decides the files at once");
        const int files = defaultFilesAtOnce(limit);
        QCOMPARE(files, cores);
        for (int running = 1; running <= files; ++running)
            QVERIFY(EncoderThreadShare::forFiles(running, limit) * running <= cores);
        QCOMPARE(EncoderThreadShare::forFiles(1, limit), cores);
    }

    void decodersTakeTheFilesShare_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("filesAtOnce");
        QTest::addColumn<int>("threads"); // what every decoder of the job may start
        const int all = qMin(32, QThread::idealThreadCount());
        for (const char *ext : { ".png", ".pdf" }) {
            QTest::addRow("%s, one core", ext) << QString::fromLatin1(ext) << 1 << 0 << 1;
            QTest::addRow("%s, one file at a time", ext) << QString::fromLatin1(ext) << 0 << 1 << all;
        }
    }

    // Our HEVC, AVIF and JPEG XL decoders start the file's share of the cores, as its encoder does,
    // in a file job and in a PDF job alike.
    void decodersTakeTheFilesShare()
    {
        QFETCH(QString, ext);
        QFETCH(int, limit);
        QFETCH(int, filesAtOnce);
        QFETCH(int, threads);
        if (QThread::idealThreadCount() < 2)
            QSKIP("one core: every share is the whole machine");
        const QString in = dir.path() + QStringLiteral("/coded");
        QVERIFY(QDir().mkpath(in));
        QStringList coded;
        for (const char *format : { "heic", "avif", "jxl" }) {
            coded.append(in + QStringLiteral("/%1.%1").arg(QLatin1String(format)));
            if (!QFileInfo::exists(coded.last()) && !TestSupport::makePhotoLike(120, 80).save(coded.last()))
                QSKIP(qPrintable(QStringLiteral("no %1 writer").arg(QLatin1String(format))));
        }
        const QString out
            = dir.path() + QStringLiteral("/share-%1-%2%3").arg(limit).arg(filesAtOnce).arg(ext);
        QVERIFY(QDir().mkpath(out));
        updateOptions([&](ConversionOptions &o) {
            o.outputFolder = out;
            o.pdfFileName = QStringLiteral("all.pdf");
            o.threadLimit = limit;
        });
        QLoggingCategory::setFilterRules(
            QStringLiteral("default.debug=false\npictomat.imageformats.*.debug=true"));
        TestSupport::DebugLog::Collector log;
        JobRun run(coded, out, ext);
        run.filesAtOnce = filesAtOnce;
        run.run();
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
        QVERIFY(run.completed);
        const QString expected = QStringLiteral(" decoder on %1 threads").arg(threads);
        QStringList decoders;
        for (const QString &line : TestSupport::DebugLog::linesStartingWith(QString())) {
            if (line.contains(QLatin1String(" decoder on ")))
                decoders.append(line.endsWith(expected) ? QStringLiteral("share") : line);
        }
        QCOMPARE(decoders, QStringList(3, QStringLiteral("share")));
    }

    void cancelLeavesNothingHalfWritten_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<int>("stopAt");
        for (const TargetFormat &format : targetFormats()) {
            if (format.extension == QLatin1String(".pdf"))
                continue;
            for (int stopAt : { 0, 6, 19 })
                QTest::newRow(qPrintable(QStringLiteral("%1 at file %2").arg(format.text).arg(stopAt)))
                    << format.extension << stopAt;
        }
    }

    // Cancelled as file `stopAt` is reported: that file finishes whole, files started ahead of it
    // leave nothing behind, and nothing is said after threadTerminated.
    void cancelLeavesNothingHalfWritten()
    {
        QFETCH(QString, ext);
        QFETCH(int, stopAt);
        if (!OutputCheck::jobCanWrite(ext))
            QSKIP("no writer for this format");
        const QString out = dir.path() + QStringLiteral("/cancel%1%2").arg(stopAt).arg(ext);
        QVERIFY(QDir().mkpath(out));
        updateOptions([&](ConversionOptions &o) { o.outputFolder = out; });
        JobRun run(sources, out, ext);
        run.filesAtOnce = 4;
        run.onSource = [stopAt](int index, ConvertImagesThread *job) {
            if (index == stopAt)
                job->stopRequested = true;
        };
        run.run();
        QVERIFY(run.terminated);
        QCOMPARE(run.endSignals, 1);
        QCOMPARE(run.signalLog.last(), QStringLiteral("terminated"));
        QCOMPARE(run.updates, sources.mid(0, stopAt + 1));
        QCOMPARE(OutputCheck::temporaryFiles(out), QStringList());
        // Files that finished ahead of their turn were never put in place.
        QStringList expected;
        for (int i = 0; i <= stopAt; ++i) {
            if (i != BrokenIndex)
                expected.append(
                    QFileInfo(ConvertImagesThread::targetPathFor(out, sources.at(i), ext)).fileName());
        }
        const QStringList written = QDir(out).entryList(QDir::Files, QDir::Name);
        QCOMPARE(written, expected);
        for (const QString &name : written)
            QVERIFY2(!OutputCheck::decode(out + QLatin1Char('/') + name).isNull(), qPrintable(name));
    }

    void cancelStopsFilesAheadOfTheirTurn_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::newRow("PNG") << ".png";
        QTest::newRow("AVIF") << ".avif";
        QTest::newRow("PDF") << ".pdf";
    }

    // Cancelled as file 1 is reported, the first file having finished: file 1 finishes, and the
    // file started ahead of its turn is not encoded to be thrown away, nor anything after it.
    // A PDF keeps the pages drawn up to the stop.
    void cancelStopsFilesAheadOfTheirTurn()
    {
        QFETCH(QString, ext);
        if (!OutputCheck::jobCanWrite(ext))
            QSKIP("no writer for this format");
        const QString in = dir.path() + "/large";
        const QString out = dir.path() + "/stopped" + ext;
        QVERIFY(QDir().mkpath(in) && QDir().mkpath(out));
        QStringList large;
        for (int i = 0; i < 5; ++i) {
            large.append(in + QStringLiteral("/large%1.png").arg(i));
            // The first is smaller, so that it is done first and file 2 starts just before the stop.
            const QSize size = i == 0 ? QSize(600, 400) : QSize(2400, 1600);
            if (!QFileInfo::exists(large.last()))
                QVERIFY(TestSupport::makePhotoLike(size.width(), size.height()).save(large.last()));
        }
        const bool pdf = ext == QLatin1String(".pdf");
        updateOptions([&](ConversionOptions &o) {
            o.outputFolder = out;
            o.pdfFileName = QStringLiteral("all.pdf");
            o.resizeImageToPaper = false;
        });
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false\npictomat.convert.debug=true"));
        TestSupport::DebugLog::Collector log;
        JobRun run(large, out, ext);
        // A PDF job starts pages fewer places ahead: three threads have page 2 under way.
        run.filesAtOnce = pdf ? 3 : 2;
        run.onSource = [](int index, ConvertImagesThread *job) {
            if (index == 1)
                job->stopRequested = true;
        };
        run.run();
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));

        QVERIFY(run.terminated);
        QCOMPARE(run.updates, large.mid(0, 2));
        QStringList thrownAway;
        for (const QString &line : TestSupport::DebugLog::linesStartingWith(QString())) {
            if (line.contains("conversion was cancelled"))
                thrownAway.append(line);
        }
        QCOMPARE(thrownAway, QStringList());
        QCOMPARE(OutputCheck::temporaryFiles(out), QStringList());
        if (pdf) {
            QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden, QDir::Name), QStringList { "all.pdf" });
            if (QStandardPaths::findExecutable(QStringLiteral("pdfimages")).isEmpty())
                QSKIP("pdfimages (poppler-utils) is not installed: the pages were not counted");
            QCOMPARE(pagePictures(out + QStringLiteral("/all.pdf")),
                (QStringList { QStringLiteral("1 600 400"), QStringLiteral("2 2400 1600") }));
            return;
        }
        QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden, QDir::Name),
            (QStringList { "large0" + ext, "large1" + ext }));
    }
};

QTEST_MAIN(TestParallelJob)

#include "tst_paralleljob.moc"
