// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/conversionoptions.h"
#include "convert/convertimagesthread.h"
#include "convert/gifencoder.h"
#include "convert/outputformats.h"
#include "faultfixture.h"
#include "folderstate.h"
#include "imaging/renderpipeline.h"
#include "jobrun.h"
#include "outputcheck.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <functional>
#include <unistd.h>

namespace {

using TestSupport::readFile;
using TestSupport::writeFile;

// Figures for the closing summary of the run.
int kills = 0;
int killsMidWrite = 0;
int keptOld = 0;
int gotNew = 0;
int preexistingChecked = 0;

// The write position of the first file `pid` holds open for writing in `folder`: the file the
// writer fills (an unnamed temporary, or the target itself if it wrote in place). -1 while there
// is none.
qint64 writePosition(qint64 pid, const QString &folder)
{
    const QString fdDir = QStringLiteral("/proc/%1/fd").arg(pid);
    // An unnamed temporary file shows as a dangling link ("folder/#123 (deleted)").
    const QStringList fds = QDir(fdDir).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &fd : fds) {
        char link[4096];
        const ssize_t length
            = readlink(QFile::encodeName(fdDir + QLatin1Char('/') + fd).constData(), link, sizeof link - 1);
        if (length <= 0
            || !QFile::decodeName(QByteArray(link, int(length))).startsWith(folder + QLatin1Char('/')))
            continue;
        QFile info(QStringLiteral("/proc/%1/fdinfo/%2").arg(pid).arg(fd));
        if (!info.open(QIODevice::ReadOnly))
            continue;
        qint64 position = -1;
        int accessMode = 0;
        const QList<QByteArray> lines = info.readAll().split('\n');
        for (const QByteArray &line : lines) {
            if (line.startsWith("pos:"))
                position = line.mid(4).trimmed().toLongLong();
            else if (line.startsWith("flags:"))
                accessMode = int(line.mid(6).trimmed().toLongLong(nullptr, 8) & 3);
        }
        if (accessMode == 1 || accessMode == 2)
            return position;
    }
    return -1;
}

struct KillMoment {
    QString name;
    // Decides, from what the child has said so far, its write position and the time since it
    // started, whether to kill it now.
    std::function<bool(const QByteArray &said, qint64 writePos, qint64 elapsedMs)> now;
    bool midWrite = false;
};

} // namespace

// Existing files in the output folder are never changed unless their overwrite was confirmed,
// and a confirmed overwrite leaves either the old or the complete new file, even when the
// converting process is killed in the middle of writing it.
class TestOverwriteSafety : public FaultFixture {
    Q_OBJECT

public:
    TestOverwriteSafety()
        : FaultFixture(Mounts::Unused)
    {
    }

private:
    struct ChildRun {
        QByteArray said;
        bool killed = false;
        bool sawWrite = false;
        qint64 elapsedMs = 0;
    };

    // Runs the conversion child; with `moment`, kills it with SIGKILL when the moment comes.
    ChildRun runChild(const QStringList &arguments, const QString &folder, const KillMoment *moment = nullptr)
    {
        ChildRun run;
        QProcess child;
        child.setProcessChannelMode(QProcess::SeparateChannels);
        child.start(childProgram(), arguments);
        if (!child.waitForStarted())
            qFatal("cannot start %s", qPrintable(childProgram()));
        QElapsedTimer clock;
        clock.start();
        const qint64 pid = child.processId();
        while (child.state() != QProcess::NotRunning) {
            child.waitForReadyRead(1);
            run.said += child.readAllStandardOutput();
            const qint64 position = writePosition(pid, folder);
            run.sawWrite = run.sawWrite || position >= 0;
            if (moment && moment->now(run.said, position, clock.elapsed())) {
                child.kill();
                run.killed = true;
                break;
            }
            if (clock.elapsed() > 300000)
                qFatal("the conversion child hangs");
        }
        child.waitForFinished();
        run.said += child.readAllStandardOutput();
        run.elapsedMs = clock.elapsed();
        return run;
    }

    QList<KillMoment> killMoments(qint64 fullMs, qint64 newSize)
    {
        QList<KillMoment> moments;
        moments.append({ QStringLiteral("job started"),
            [](const QByteArray &said, qint64, qint64) { return said.contains("STARTED"); } });
        moments.append({ QStringLiteral("source reached"),
            [](const QByteArray &said, qint64, qint64) { return said.contains("UPDATE"); } });
        moments.append({ QStringLiteral("target opened"),
            [](const QByteArray &, qint64 pos, qint64) { return pos >= 0; }, true });
        moments.append({ QStringLiteral("first bytes written"),
            [](const QByteArray &, qint64 pos, qint64) { return pos > 0; }, true });
        moments.append({ QStringLiteral("half written"),
            [newSize](const QByteArray &, qint64 pos, qint64) { return pos > newSize / 2; }, true });
        for (int percent : { 40, 80, 105 }) {
            const qint64 at = fullMs * percent / 100;
            moments.append({ QStringLiteral("at %1 % of the run").arg(percent),
                [at](const QByteArray &, qint64, qint64 elapsed) { return elapsed >= at; } });
        }
        return moments;
    }

private Q_SLOTS:
    void existingTargetsNeverTouched_data()
    {
        QTest::addColumn<QString>("ext");
        for (const TargetFormat &format : targetFormats()) {
            if (format.writer != TargetFormat::PdfAssembly)
                QTest::newRow(qPrintable(format.text)) << format.extension;
        }
    }

    // A folder where every target already exists, as a file, a folder or a link that loops.
    // The first job changes nothing and reports them all in source order; the second, over the
    // sources the user ticked, replaces those and no other.
    void existingTargetsNeverTouched()
    {
        QFETCH(QString, ext);
        const QString in = dir->path() + QStringLiteral("/in");
        const QString out = dir->path() + QStringLiteral("/out");
        QVERIFY(QDir().mkpath(in));
        QVERIFY(QDir().mkpath(out));
        QStringList sources;
        QStringList targets;
        const QString elsewhere = dir->path() + QStringLiteral("/elsewhere.png");
        QVERIFY(writeFile(elsewhere, "a file outside the output folder"));
        for (int i = 0; i < 8; ++i) {
            const QString source = in + QStringLiteral("/picture%1.png").arg(i);
            QVERIFY(TestSupport::makePhotoLike(30 + i, 20).save(source, "PNG"));
            sources.append(source);
            targets.append(ConvertImagesThread::targetPathFor(out, source, ext));
            if (i == 5)
                QVERIFY(QDir().mkdir(targets.last()));
            else if (i == 6)
                QVERIFY(QFile::link(targets.last(), targets.last()));
            else if (i == 7)
                QVERIFY(QFile::link(elsewhere, targets.last()));
            else
                QVERIFY(writeFile(targets.last(), "an older file, number " + QByteArray::number(i)));
        }
        const FolderState before = FolderState::capture(out);
        updateOptions([&](ConversionOptions &o) { o.outputFolder = out; });

        JobRun first(sources, out, ext);
        first.run();
        QVERIFY(first.completed);
        QCOMPARE(first.updates, sources);
        QCOMPARE(first.existing, targets);
        QCOMPARE(first.existingSources, sources);
        QCOMPARE(first.failures.size(), 0);
        QCOMPARE(FolderState::capture(out).changedSince(before), QStringList());
        QCOMPARE(FolderState::capture(out).addedSince(before), QStringList());
        preexistingChecked += before.fileCount();

        // Ticked: two ordinary files, the folder, the loop and the link. A folder cannot become a
        // picture: it fails and stays. The loop is a name the user confirmed and becomes a file.
        // The confirmed link is replaced by the new file; the file it named is never written.
        JobRun second(
            { sources.at(1), sources.at(3), sources.at(5), sources.at(6), sources.at(7) }, out, ext);
        second.overwriteExisting = true;
        second.run();
        QVERIFY(second.completed);
        QCOMPARE(second.existing, QStringList());
        const QStringList changed = FolderState::capture(out).changedSince(before);
        QCOMPARE(readFile(elsewhere), QByteArray("a file outside the output folder"));
        if (OutputCheck::jobCanWrite(ext)) {
            QCOMPARE(second.failedSources(), QStringList { sources.at(5) });
            QVERIFY(!QFileInfo(targets.at(7)).isSymLink());
            QStringList replaced;
            for (int i : { 1, 3, 6, 7 })
                replaced.append(QFileInfo(targets.at(i)).fileName() + QStringLiteral(": changed"));
            QCOMPARE(changed, replaced);
            QVERIFY(QFileInfo(targets.at(5)).isDir());
            QVERIFY(!QFileInfo(targets.at(6)).isSymLink());
            if (OutputCheck::canRead(ext)) {
                for (int i : { 1, 3, 6, 7 })
                    QCOMPARE(OutputCheck::decode(targets.at(i)).size(), QSize(30 + i, 20));
            }
        } else {
            QCOMPARE(second.failedSources(), second.sources);
            QCOMPARE(changed, QStringList());
        }
        QCOMPARE(FolderState::capture(out).addedSince(before), QStringList());
        preexistingChecked += before.fileCount() - 2;
    }

    // photo.jpg converted to JPG into its own folder: found as its own existing target, kept
    // byte for byte; once the overwrite is confirmed, replaced by its complete re-encoding.
    void photoIntoItsOwnFolder()
    {
        const QString folder = dir->path() + QStringLiteral("/pics");
        QVERIFY(QDir().mkpath(folder));
        const QString photo = folder + QStringLiteral("/photo.jpg");
        QVERIFY(TestSupport::saveImage(TestSupport::makePhotoLike(300, 200), photo, 70));
        const QByteArray old = TestSupport::fileDigest(photo);
        updateOptions([&](ConversionOptions &o) {
            o.outputFolder = folder;
            o.targeFileQuality = 95;
        });

        JobRun first({ photo }, folder, QStringLiteral(".jpg"));
        first.run();
        QCOMPARE(first.existing, QStringList { folder + QStringLiteral("/photo.jpg") });
        QCOMPARE(TestSupport::fileDigest(photo), old);
        ++preexistingChecked;

        JobRun confirmed({ photo }, folder, QStringLiteral(".jpg"));
        confirmed.overwriteExisting = true;
        confirmed.run();
        QVERIFY(confirmed.completed);
        QCOMPARE(confirmed.failures.size(), 0);
        QVERIFY(TestSupport::fileDigest(photo) != old);
        QCOMPARE(OutputCheck::decode(photo).size(), QSize(300, 200));
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList { QStringLiteral("photo.jpg") });
    }

    void killedMidWrite_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::newRow("JPG") << QStringLiteral(".jpg");
        QTest::newRow("PNG") << QStringLiteral(".png");
        QTest::newRow("GIF") << QStringLiteral(".gif");
        QTest::newRow("PDF") << QStringLiteral(".pdf");
    }

    // The converting process is killed with SIGKILL at moments spread over the job, the write
    // included. Each time the file afterwards is the old one or the complete new one, and
    // nothing the writer left behind would be taken for a picture.
    void killedMidWrite()
    {
        QFETCH(QString, ext);
        const bool pdf = ext == QLatin1String(".pdf");
        if (!OutputCheck::jobCanWrite(ext) && !pdf)
            QSKIP(qPrintable("no writer for " + ext + " here"));
        const QString folder = dir->path() + QStringLiteral("/pics");
        const QString referenceFolder = dir->path() + QStringLiteral("/reference");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QDir().mkpath(referenceFolder));

        // A picture converted into its own folder; a PDF replaces the confirmed document.
        const QString sourceName = pdf ? QStringLiteral("photo.jpg") : QStringLiteral("photo") + ext;
        const QString targetName = pdf ? QStringLiteral("album.pdf") : sourceName;
        const QString pristine = dir->path() + QLatin1Char('/') + sourceName;
        const QImage picture = TestSupport::makePhotoLike(2400, 1600);
        QVERIFY(ext == QLatin1String(".gif") ? writeGifFile(picture, pristine)
                                             : TestSupport::saveImage(picture, pristine, 80));
        const QByteArray sourceBytes = readFile(pristine);
        const QByteArray oldBytes
            = pdf ? QByteArray("%PDF-1.4 an older album that was confirmed for overwriting") : sourceBytes;
        const QString target = folder + QLatin1Char('/') + targetName;
        auto arguments = [&](const QString &into) {
            QStringList args = { QStringLiteral("--overwrite") };
            if (pdf)
                args << QStringLiteral("--pdf") << targetName;
            return args << into << ext << into + QLatin1Char('/') + sourceName;
        };
        auto restore = [&](const QString &into) {
            QDir(into).removeRecursively();
            QDir().mkpath(into);
            writeFile(into + QLatin1Char('/') + sourceName, sourceBytes);
            if (pdf)
                writeFile(into + QLatin1Char('/') + targetName, oldBytes);
        };

        restore(referenceFolder);
        const ChildRun reference = runChild(arguments(referenceFolder), referenceFolder);
        QVERIFY2(reference.said.contains("COMPLETED") && !reference.said.contains("FAILED"),
            reference.said.constData());
        const QByteArray newBytes = readFile(referenceFolder + QLatin1Char('/') + targetName);
        QVERIFY(!newBytes.isEmpty() && newBytes != oldBytes);

        int midWrite = 0;
        for (const KillMoment &moment : killMoments(reference.elapsedMs, newBytes.size())) {
            restore(folder);
            const ChildRun run = runChild(arguments(folder), folder, &moment);
            ++kills;
            const QByteArray now = readFile(target);
            const bool isOld = now == oldBytes;
            // A PDF carries its creation time, so a new one is judged by its reader.
            const bool isNew = pdf ? (!isOld && OutputCheck::pdfPages(target) != -1 && now.contains("%%EOF"))
                                   : now == newBytes;
            QVERIFY2(
                isOld || isNew, qPrintable(moment.name + ": the target is neither the old nor the new file"));
            if (!pdf)
                QCOMPARE(OutputCheck::decode(target).size(), QSize(2400, 1600));
            (isOld ? keptOld : gotNew) += 1;
            if (run.killed && moment.midWrite && isOld) {
                ++midWrite;
                ++killsMidWrite;
            }
            const QStringList entries
                = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
            for (const QString &name : entries) {
                if (name == sourceName || name == targetName)
                    continue;
                QVERIFY2(!isSupportedImageFile(folder + QLatin1Char('/') + name)
                        && !name.endsWith(QLatin1String(".pdf")),
                    qPrintable(moment.name + ": " + name + " was left and looks like a target"));
                qInfo("%s: the writer's temporary %s stays after the kill", qPrintable(moment.name),
                    qPrintable(name));
            }
            qInfo("%s %s: %s", qPrintable(ext), qPrintable(moment.name),
                run.killed ? (isOld ? "killed, old file kept" : "killed, new file complete")
                           : "finished before the kill");
        }
        QVERIFY2(midWrite > 0, "no kill landed while the target was being written");
    }

    void cleanupTestCase()
    {
        qInfo("overwrite safety: %d kills (%d while the target was being written): %d left the old file, %d "
              "the "
              "complete new one, none a broken one; %d pre-existing files checked byte for byte",
            kills, killsMidWrite, keptOld, gotNew, preexistingChecked);
    }
};

QTEST_MAIN(TestOverwriteSafety)
#include "tst_overwritesafety.moc"
