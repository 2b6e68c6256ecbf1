// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/conversionoptions.h"
#include "convert/convertimagesthread.h"
#include "convert/outputformats.h"
#include "faultfixture.h"
#include "folderstate.h"
#include "imaging/renderpipeline.h"
#include "jobrun.h"
#include "mountnamespace.h"
#include "outputcheck.h"
#include "readonlyfolder.h"
#include "testsupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>

namespace {

// Figures for the closing summary of the run.
int faultsInjected = 0;
int faultsSkipped = 0;
int preexistingChecked = 0;

const QString DocumentName = QStringLiteral("album.pdf");

// Random pixels: no codec can make them small, so a few of them fill a small disk.
QImage noise(int width, int height, quint32 seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator generator(seed);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<quint32 *>(image.scanLine(y));
        generator.fillRange(line, width);
        for (int x = 0; x < width; ++x)
            line[x] |= 0xFF000000u;
    }
    return image;
}

void addTargetFormatRows(const char *fault)
{
    QTest::addColumn<QString>("ext");
    for (const TargetFormat &format : targetFormats())
        QTest::newRow(qPrintable(format.text + QLatin1Char(' ') + QLatin1String(fault))) << format.extension;
}

} // namespace

// Faults that strike while a job runs: the output folder made read-only or taken away, the disk
// filling up, sources deleted or replaced after they were listed, and cancellation at every
// point. After each, what the folder held before is unchanged byte for byte, no partial file is
// left, and every source that did not make it is named in the failure list.
class TestConversionFaults : public FaultFixture {
    Q_OBJECT

public:
    TestConversionFaults()
        : FaultFixture(Mounts::Used)
    {
    }

private:
    QString in, out;
    QStringList sources;
    FolderState before;

    // Four small sources, and an output folder that already holds an unrelated photo, a text
    // file and the target of the fourth source (which the job must report, not touch).
    void makeScene(const QString &ext, const QImage &big = QImage())
    {
        in = dir->path() + QStringLiteral("/in");
        out = dir->path() + QStringLiteral("/out");
        QVERIFY(QDir().mkpath(in));
        QVERIFY(QDir().mkpath(out));
        sources.clear();
        for (int i = 0; i < 4; ++i) {
            const QString path = in + QStringLiteral("/source%1.png").arg(i);
            const QImage image = i == 1 && !big.isNull() ? big : TestSupport::makePhotoLike(40 + 8 * i, 30);
            QVERIFY(image.save(path, "PNG"));
            sources.append(path);
        }
        QVERIFY(TestSupport::makePhotoLike(50, 20).save(out + QStringLiteral("/keep-photo.jpg"), "JPG"));
        QVERIFY(TestSupport::writeFile(
            out + QStringLiteral("/keep-notes.txt"), "written by hand, never by a job\n"));
        const QString existing = isPdf(ext) ? out + QLatin1Char('/') + DocumentName : targetOf(3, ext);
        QVERIFY(
            TestSupport::writeFile(existing, QByteArray(4096, 'x') + "an older file under the target name"));
        before = FolderState::capture(out);
        updateOptions([&](ConversionOptions &o) {
            o.outputFolder = out;
            o.pdfFileName = DocumentName;
        });
    }

    QString targetOf(int index, const QString &ext, const QString &folder = QString()) const
    {
        return ConvertImagesThread::targetPathFor(folder.isEmpty() ? out : folder, sources.at(index), ext);
    }

    JobRun job(const QString &ext)
    {
        JobRun run(sources, isPdf(ext) ? out + QLatin1Char('/') + DocumentName : out, ext);
        return run;
    }

    // The pre-existing entries of `folder` are byte-identical to those of the scene, except
    // `replaced`, a file whose overwrite was confirmed.
    void expectNothingLost(const QString &folder, const QString &replaced = QString())
    {
        const FolderState after = FolderState::capture(folder);
        QStringList changed = after.changedSince(before);
        changed.removeAll(replaced + QStringLiteral(": changed"));
        QVERIFY2(changed.isEmpty(), qPrintable(changed.join(QStringLiteral(", "))));
        preexistingChecked += before.fileCount() - (replaced.isEmpty() ? 0 : 1);
    }

    // A file job: `written` sources have complete targets, `failed` ones are in the failure list
    // (in source order) and nothing else appeared in `folder`.
    void expectFileJob(
        const JobRun &run, const QString &folder, const QList<int> &written, const QList<int> &failed)
    {
        expectNothingLost(folder);
        QStringList expectedFailures;
        for (int i : failed)
            expectedFailures.append(sources.at(i));
        QVERIFY2(run.failedSources() == expectedFailures, qPrintable(run.describeFailures()));
        QCOMPARE(run.failuresAsSignalled, expectedFailures);
        QStringList expectedAdded;
        for (int i : written) {
            const QString target = targetOf(i, run.targetExt, folder);
            expectedAdded.append(QFileInfo(target).fileName());
            if (OutputCheck::canRead(run.targetExt))
                QVERIFY2(
                    !OutputCheck::decode(target).isNull(), qPrintable(target + " is not a complete picture"));
        }
        QStringList added = FolderState::capture(folder).addedSince(before);
        added.sort();
        expectedAdded.sort();
        QCOMPARE(added, expectedAdded);
    }

    // A PDF job whose document could not be written: every source it held is reported, and no
    // document took the place of the one that was there.
    void expectLostDocument(const JobRun &run, const QString &folder)
    {
        expectNothingLost(folder);
        QVERIFY2(!run.failures.isEmpty(), "a document that was not written is reported");
        for (const ConversionFailure &failure : run.failures)
            QVERIFY(failure.reason.contains(QLatin1String("PDF"))
                || failure.reason == QLatin1String("cannot read image"));
    }

    void expectDocument(const QString &folder, int pages)
    {
        const QString document = folder + QLatin1Char('/') + DocumentName;
        const int counted = OutputCheck::pdfPages(document);
        if (counted == -2)
            QVERIFY(QFileInfo(document).size() > 0);
        else
            QCOMPARE(counted, pages);
    }

    // What a folder that was taken away mid-job may keep: only files that were already there,
    // the targets written before, and (for a PDF, whose document was open) the writer's own
    // temporary file, which no file list would take as a picture.
    QStringList unexpectedLeftovers(const QString &folder, const QString &ext, const QStringList &allowed)
    {
        QStringList added = FolderState::capture(folder).addedSince(before);
        QStringList unexpected;
        const QStringList temporary = OutputCheck::temporaryFiles(folder);
        for (const QString &name : added) {
            if (allowed.contains(name))
                continue;
            if (isPdf(ext) && temporary.contains(name)
                && !isSupportedImageFile(folder + QLatin1Char('/') + name)) {
                qInfo("the document's temporary file %s stays in a folder that refuses its removal",
                    qPrintable(name));
                continue;
            }
            unexpected.append(name);
        }
        return unexpected;
    }

private Q_SLOTS:
    void outputFolderMadeReadOnly_data() { addTargetFormatRows("read-only"); }

    // The folder turns read-only as the second source is reached: the first target is kept,
    // the rest fail, and the target that already existed is still reported and unchanged.
    void outputFolderMadeReadOnly()
    {
        QFETCH(QString, ext);
        makeScene(ext);
        ReadOnlyFolder readOnly(out);
        QString problem;
        JobRun run = job(ext);
        run.onSource = [&](int index, ConvertImagesThread *) {
            if (index == 1 && !readOnly.apply())
                problem = readOnly.problem();
        };
        run.run();
        readOnly.release();
        if (!problem.isEmpty()) {
            ++faultsSkipped;
            QSKIP(qPrintable("cannot make a folder read-only here: " + problem));
        }
        ++faultsInjected;
        QVERIFY(run.completed);
        if (isPdf(ext)) {
            expectLostDocument(run, out);
            QCOMPARE(unexpectedLeftovers(out, ext, {}), QStringList());
            return;
        }
        QCOMPARE(run.existing, QStringList { targetOf(3, ext) });
        if (OutputCheck::jobCanWrite(ext))
            expectFileJob(run, out, { 0 }, { 1, 2 });
        else
            expectFileJob(run, out, {}, { 0, 1, 2 });
    }

    void outputFolderTakenAway_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<bool>("deleted");
        for (const TargetFormat &format : targetFormats()) {
            QTest::newRow(qPrintable(format.text + QStringLiteral(" moved"))) << format.extension << false;
            QTest::newRow(qPrintable(format.text + QStringLiteral(" deleted"))) << format.extension << true;
        }
    }

    // The output folder is moved elsewhere (or deleted) as the second source is reached. The
    // job must not make the folder again, must report every later source, and the moved folder
    // keeps what it held.
    void outputFolderTakenAway()
    {
        QFETCH(QString, ext);
        QFETCH(bool, deleted);
        makeScene(ext);
        const QString moved = dir->path() + QStringLiteral("/moved");
        JobRun run = job(ext);
        run.onSource = [&](int index, ConvertImagesThread *) {
            if (index != 1)
                return;
            if (deleted)
                QDir(out).removeRecursively();
            else
                QDir().rename(out, moved);
        };
        run.run();
        ++faultsInjected;
        QVERIFY(run.completed);
        QVERIFY2(!QFileInfo::exists(out), "the job made the output folder again");
        if (isPdf(ext)) {
            QVERIFY(!run.failures.isEmpty());
            if (!deleted) {
                expectNothingLost(moved);
                QCOMPARE(unexpectedLeftovers(moved, ext, {}), QStringList());
            }
            return;
        }
        // The target that existed before went with its folder: the job cannot see it any more.
        const QList<int> later
            = OutputCheck::jobCanWrite(ext) ? QList<int> { 1, 2, 3 } : QList<int> { 0, 1, 2, 3 };
        QStringList expectedFailures;
        for (int i : later)
            expectedFailures.append(sources.at(i));
        QVERIFY2(run.failedSources() == expectedFailures, qPrintable(run.describeFailures()));
        if (!deleted) {
            expectNothingLost(moved);
            const QStringList allowed = OutputCheck::jobCanWrite(ext)
                ? QStringList { QFileInfo(targetOf(0, ext)).fileName() }
                : QStringList();
            QCOMPARE(unexpectedLeftovers(moved, ext, allowed), QStringList());
            for (const QString &name : allowed)
                QVERIFY(!OutputCheck::decode(moved + QLatin1Char('/') + name).isNull()
                    || !OutputCheck::canRead(ext));
        }
    }

    void diskFillsUp_data() { addTargetFormatRows("on a full disk"); }

    // The output folder is a 256 KiB disk. The second source is 1200 x 1200 random pixels, which
    // no format can store in what is left; the small ones around it still fit.
    void diskFillsUp()
    {
        QFETCH(QString, ext);
        const auto disk = smallDisk(QStringLiteral("out"), 256 << 10);
        if (!disk)
            return;
        makeScene(ext, noise(1200, 1200, 11));
        JobRun run = job(ext);
        run.run();
        ++faultsInjected;
        QVERIFY(run.completed);
        if (isPdf(ext)) {
            expectLostDocument(run, out);
            QCOMPARE(FolderState::capture(out).addedSince(before), QStringList());
            return;
        }
        QCOMPARE(run.existing, QStringList { targetOf(3, ext) });
        if (OutputCheck::jobCanWrite(ext))
            expectFileJob(run, out, { 0, 2 }, { 1 });
        else
            expectFileJob(run, out, {}, { 0, 1, 2 });
        for (const ConversionFailure &failure : std::as_const(run.failures)) {
            QVERIFY(!failure.reason.isEmpty());
            qInfo("%s on a full disk: %s", qPrintable(ext), qPrintable(failure.reason));
        }
    }

    void fullDiskKeepsTheTargetItWouldReplace_data() { addTargetFormatRows("overwrite on a full disk"); }

    // A confirmed overwrite that does not fit must leave the old file whole.
    void fullDiskKeepsTheTargetItWouldReplace()
    {
        QFETCH(QString, ext);
        const auto disk = smallDisk(QStringLiteral("out"), 256 << 10);
        if (!disk)
            return;
        makeScene(ext);
        QVERIFY(noise(1200, 1200, 12).save(sources.at(3), "PNG"));
        JobRun run = job(ext);
        run.sources = { sources.at(3) };
        run.overwriteExisting = true;
        run.run();
        ++faultsInjected;
        QVERIFY(run.completed);
        QCOMPARE(run.failedSources(), QStringList { sources.at(3) });
        expectNothingLost(out);
        QCOMPARE(FolderState::capture(out).addedSince(before), QStringList());
    }

    void sourceChangesAfterListing_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<QString>("change");
        for (const char *ext : { ".png", ".gif", ".jpg", ".pdf" }) {
            for (const char *change :
                { "deleted before its turn", "deleted at its turn", "replaced by a picture",
                    "replaced by garbage", "replaced by a folder", "replaced by a link loop" })
                QTest::newRow(qPrintable(QLatin1String(ext) + QLatin1Char(' ') + QLatin1String(change)))
                    << QString::fromLatin1(ext) << QString::fromLatin1(change);
        }
    }

    // The second source changes between the moment it was listed and its conversion. Its last
    // picture was rendered before (by the preview, say), so a stale cache would still have it.
    void sourceChangesAfterListing()
    {
        QFETCH(QString, ext);
        QFETCH(QString, change);
        makeScene(ext);
        const QString victim = sources.at(1);
        QCOMPARE(renderImage(victim, false).size(), QSize(48, 30));
        const QImage replacement = TestSupport::makePhotoLike(70, 45);
        JobRun run = job(ext);
        run.onSource = [&](int index, ConvertImagesThread *) {
            const bool now = change == QLatin1String("deleted at its turn") ? index == 1 : index == 0;
            if (!now)
                return;
            QFile::remove(victim);
            if (change == QLatin1String("replaced by a picture")) {
                replacement.save(victim, "PNG");
            } else if (change == QLatin1String("replaced by garbage")) {
                QFile file(victim);
                if (file.open(QIODevice::WriteOnly))
                    file.write(QByteArray("\x89PNG\r\n\x1a\n") + QByteArray(300, '\x07'));
            } else if (change == QLatin1String("replaced by a folder")) {
                QDir().mkdir(victim);
            } else if (change == QLatin1String("replaced by a link loop")) {
                QFile::link(victim, victim);
            }
        };
        run.run();
        ++faultsInjected;
        QVERIFY(run.completed);
        const bool stillAPicture = change == QLatin1String("replaced by a picture");
        if (isPdf(ext)) {
            QCOMPARE(run.failedSources(), stillAPicture ? QStringList() : QStringList { victim });
            expectNothingLost(out, DocumentName);
            QCOMPARE(FolderState::capture(out).addedSince(before), QStringList());
            expectDocument(out, 4);
            return;
        }
        QCOMPARE(run.existing, QStringList { targetOf(3, ext) });
        if (stillAPicture) {
            expectFileJob(run, out, { 0, 1, 2 }, {});
            QCOMPARE(OutputCheck::decode(targetOf(1, ext)).size(), replacement.size());
        } else {
            expectFileJob(run, out, { 0, 2 }, { 1 });
        }
    }

    void cancelAtEveryPoint_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<int>("stopAt"); // -1: before the job starts
        for (const TargetFormat &format : targetFormats()) {
            for (int stopAt = -1; stopAt < 4; ++stopAt)
                QTest::newRow(qPrintable(format.text + QStringLiteral(" stop at %1").arg(stopAt)))
                    << format.extension << stopAt;
        }
    }

    // Cancelling while source k is being converted lets k finish and touches nothing after it.
    void cancelAtEveryPoint()
    {
        QFETCH(QString, ext);
        QFETCH(int, stopAt);
        makeScene(ext);
        JobRun run = job(ext);
        run.stopBeforeStart = stopAt < 0;
        run.onSource = [&](int index, ConvertImagesThread *thread) {
            if (index == stopAt)
                thread->stopRequested = true;
        };
        run.run();
        ++faultsInjected;
        QVERIFY(run.terminated);
        QCOMPARE(run.endSignals, 1);
        QCOMPARE(run.updates, sources.mid(0, stopAt + 1));
        if (isPdf(ext)) {
            QCOMPARE(run.failures.size(), 0);
            if (stopAt < 0) {
                expectNothingLost(out);
                QCOMPARE(FolderState::capture(out).addedSince(before), QStringList());
            } else {
                // The confirmed document is replaced by one holding the pages drawn so far, and
                // the blank page opened after the last of them unless it was the last source.
                expectNothingLost(out, DocumentName);
                QCOMPARE(FolderState::capture(out).addedSince(before), QStringList());
                expectDocument(out, qMin(stopAt + 2, 4));
            }
            return;
        }
        QList<int> written;
        QList<int> failed;
        for (int i = 0; i <= qMin(stopAt, 2); ++i)
            (OutputCheck::jobCanWrite(ext) ? written : failed).append(i);
        expectFileJob(run, out, written, failed);
    }

    void cleanupTestCase()
    {
        qInfo("conversion faults: %d injected, %d skipped here; %d pre-existing files checked byte for byte, "
              "none lost",
            faultsInjected, faultsSkipped + disksMissing, preexistingChecked);
    }
};

int main(int argc, char *argv[])
{
    // Before any thread exists: the mounts of these tests must stay inside this process.
    enterPrivateMountNamespace();
    QApplication app(argc, argv);
    TestConversionFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_conversionfaults.moc"
