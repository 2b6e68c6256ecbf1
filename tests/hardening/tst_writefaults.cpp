// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/conversionoptions.h"
#include "convert/convertimagesthread.h"
#include "convert/outputformats.h"
#include "faultfixture.h"
#include "folderstate.h"
#include "imaging/failurereasons.h"
#include "imaging/renderpipeline.h"
#include "jobrun.h"
#include "mountnamespace.h"
#include "outputcheck.h"
#include "testsupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>

namespace {

// Half random, half smooth: large enough in every format to span several write buffers.
QImage busyPicture()
{
    QImage image = TestSupport::makePhotoLike(320, 240);
    QRandomGenerator generator(7);
    for (int y = 0; y < image.height() / 2; ++y) {
        auto *line = reinterpret_cast<quint32 *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = 0xFF000000u | (generator.generate() & 0xFFFFFFu);
    }
    return image;
}

} // namespace

// Faults of the file system under the writers: a disk that is full or runs out near the end of
// a write, targets that are symbolic links, and sources of one job that share a target name.
class TestWriteFaults : public FaultFixture {
    Q_OBJECT

public:
    TestWriteFaults()
        : FaultFixture(Mounts::Used)
    {
    }

private:
    JobRun jobFor(const QStringList &sources, const QString &folder, const QString &ext, bool overwrite)
    {
        JobRun run(sources, isPdf(ext) ? folder + QStringLiteral("/album.pdf") : folder, ext);
        run.overwriteExisting = overwrite;
        updateOptions([&](ConversionOptions &o) {
            o.outputFolder = folder;
            o.pdfFileName = QStringLiteral("album.pdf");
        });
        return run;
    }

    QString targetOf(const QString &source, const QString &folder, const QString &ext) const
    {
        return isPdf(ext) ? folder + QStringLiteral("/album.pdf")
                          : ConvertImagesThread::targetPathFor(folder, source, ext);
    }

private Q_SLOTS:
    void diskRunsOutDuringConfirmedOverwrite_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<int>("missingKiB");
        for (const TargetFormat &format : targetFormats()) {
            for (int missing : { -1, 1, 4, 16 }) {
                const QString when = missing < 0 ? QStringLiteral("0 bytes free")
                                                 : QStringLiteral("%1 KiB short").arg(missing);
                QTest::newRow(qPrintable(format.text + QLatin1Char(' ') + when))
                    << format.extension << missing;
            }
        }
    }

    // The target exists and its overwrite was confirmed. The disk holds it and either nothing
    // more, or all of the new file but its last KiB. The old file must stay as it was, no
    // temporary file may be left, and the failure must say "disk full".
    void diskRunsOutDuringConfirmedOverwrite()
    {
        QFETCH(QString, ext);
        QFETCH(int, missingKiB);
        if (!OutputCheck::jobCanWrite(ext))
            QSKIP("no writer for this format");
        const QString source = dir->path() + QStringLiteral("/photo.png");
        QVERIFY(busyPicture().save(source, "PNG"));

        // The size of the new file, from the same job on a roomy disk.
        const QString roomy = dir->path() + QStringLiteral("/roomy");
        QVERIFY(QDir().mkpath(roomy));
        JobRun sizing = jobFor({ source }, roomy, ext, false);
        sizing.run();
        QVERIFY2(sizing.failures.isEmpty(), qPrintable(sizing.describeFailures()));
        const qint64 newSize = QFileInfo(targetOf(source, roomy, ext)).size();
        QVERIFY(newSize > 16 << 10);

        const auto disk = smallDisk(QStringLiteral("out"), 4 << 20);
        if (!disk)
            return;
        const QString out = disk->folder();
        const QString target = targetOf(source, out, ext);
        QVERIFY(TestSupport::writeFile(target, QByteArray(20000, 'o') + "the user's own file"));
        const qint64 room = missingKiB < 0 ? 0 : ((newSize - (missingKiB << 10)) / 4096) * 4096;
        QVERIFY(TestSupport::writeFile(
            out + QStringLiteral("/filler"), QByteArray(disk->freeBytes() - room, 'f')));
        QCOMPARE(disk->freeBytes(), room);
        const FolderState before = FolderState::capture(out);

        JobRun run = jobFor({ source }, out, ext, true);
        run.run();
        QVERIFY(run.completed);
        QCOMPARE(run.failedSources(), QStringList { source });
        QVERIFY2(run.failures.first().reason.contains(FailureReason::diskFull()),
            qPrintable(run.describeFailures()));
        const FolderState after = FolderState::capture(out);
        QCOMPARE(after.changedSince(before), QStringList());
        QCOMPARE(after.addedSince(before), QStringList());
    }

    void linkTargetIsReplacedNotFollowed_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<bool>("dangling");
        for (const char *ext : { ".jpg", ".png", ".gif", ".pdf" }) {
            QTest::newRow(qPrintable(QLatin1String(ext) + QStringLiteral(" link to a file")))
                << QString::fromLatin1(ext) << false;
            QTest::newRow(qPrintable(QLatin1String(ext) + QStringLiteral(" dangling link")))
                << QString::fromLatin1(ext) << true;
        }
    }

    // A confirmed overwrite of a link puts the new file where the link was; the file it
    // pointed to (outside the output folder) is untouched, and a dangling link's destination is
    // not created.
    void linkTargetIsReplacedNotFollowed()
    {
        QFETCH(QString, ext);
        QFETCH(bool, dangling);
        const QString source = dir->path() + QStringLiteral("/photo.png");
        QVERIFY(TestSupport::makePhotoLike(60, 40).save(source, "PNG"));
        const QString elsewhere = dir->path() + QStringLiteral("/elsewhere");
        const QString out = dir->path() + QStringLiteral("/out");
        QVERIFY(QDir().mkpath(elsewhere));
        QVERIFY(QDir().mkpath(out));
        const QString pointee = elsewhere + QStringLiteral("/precious") + ext;
        if (!dangling)
            QVERIFY(TestSupport::writeFile(pointee, "not a picture, and never to be written"));
        const QString target = targetOf(source, out, ext);
        QVERIFY(QFile::link(pointee, target));
        const FolderState elsewhereBefore = FolderState::capture(elsewhere);

        JobRun run = jobFor({ source }, out, ext, true);
        run.run();
        QVERIFY2(run.failures.isEmpty(), qPrintable(run.describeFailures()));
        QCOMPARE(FolderState::capture(elsewhere).changedSince(elsewhereBefore), QStringList());
        QCOMPARE(FolderState::capture(elsewhere).addedSince(elsewhereBefore), QStringList());
        const QFileInfo written(target);
        QVERIFY(!written.isSymLink());
        QVERIFY(written.isFile() && written.size() > 0);
        QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden | QDir::System),
            QStringList { written.fileName() });
    }

    void sameTargetNameInOneJob_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<bool>("ownFolder");
        QTest::newRow("JPG into the sources' folder") << QStringLiteral(".jpg") << true;
        QTest::newRow("WEBP into another folder") << QStringLiteral(".webp") << false;
        QTest::newRow("PNG into another folder") << QStringLiteral(".png") << false;
    }

    // The first source that names a target owns it; later ones are failures in their place in
    // the list, never written and never offered as existing files.
    void sameTargetNameInOneJob()
    {
        QFETCH(QString, ext);
        QFETCH(bool, ownFolder);
        if (!OutputCheck::jobCanWrite(ext))
            QSKIP("no writer for this format");
        const QString in = dir->path() + QStringLiteral("/in");
        const QString out = ownFolder ? in : dir->path() + QStringLiteral("/out");
        QVERIFY(QDir().mkpath(in));
        QVERIFY(QDir().mkpath(out));
        const QStringList names { QStringLiteral("x.jpg"), QStringLiteral("x.edited.jpg"),
            QStringLiteral("IMG_1.jpg"), QStringLiteral("IMG_1.png"), QStringLiteral("other.png") };
        QStringList sources;
        for (int i = 0; i < names.size(); ++i) {
            sources.append(in + QLatin1Char('/') + names.at(i));
            QVERIFY(TestSupport::makePhotoLike(40 + 10 * i, 30).save(sources.last()));
        }
        const FolderState before = FolderState::capture(out);

        JobRun run = jobFor(sources, out, ext, false);
        run.run();
        QVERIFY(run.completed);
        QCOMPARE(run.failedSources(), (QStringList { sources.at(1), sources.at(3) }));
        QCOMPARE(run.failures.at(0).reason, FailureReason::sameNameInJob(QStringLiteral("x") + ext));
        QCOMPARE(run.failures.at(1).reason, FailureReason::sameNameInJob(QStringLiteral("IMG_1") + ext));
        const QStringList existing = ownFolder
            ? QStringList { targetOf(sources.at(0), out, ext), targetOf(sources.at(2), out, ext) }
            : QStringList();
        QCOMPARE(run.existing, existing);
        QCOMPARE(FolderState::capture(out).changedSince(before), QStringList());
        if (!ownFolder) {
            // Each target holds the first source's picture.
            QCOMPARE(OutputCheck::decode(targetOf(sources.at(0), out, ext)).width(), 40);
            QCOMPARE(OutputCheck::decode(targetOf(sources.at(2), out, ext)).width(), 60);
        }
    }
};

int main(int argc, char *argv[])
{
    // Before any thread exists: the mounts of these tests must stay inside this process.
    enterPrivateMountNamespace();
    QApplication app(argc, argv);
    TestWriteFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_writefaults.moc"
