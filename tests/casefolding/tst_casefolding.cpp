// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/filesystemnames.h"
#include "convert/conversionoptions.h"
#include "convert/convertimagesthread.h"
#include "convert/overwritefiledialog.h"
#include "convert/targetnaming.h"
#include "filelist/addurlscontroller.h"
#include "filelist/filelistmodel.h"
#include "imaging/failurereasons.h"
#include "mountedfolder.h"
#include "testsupport.h"

#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>
#include <memory>

using TestSupport::MountedFolder;

// Folders that ignore case, on the real file systems photographers use (a memory card's exFAT or
// FAT32, an ext4 folder with case folding), beside an ordinary case-sensitive folder.
// The row's kind of folder, mounted, and whether it ignores case; the row skips with the mount's
// reason where that kind cannot be mounted here.
#define FETCH_FOLDER_OR_SKIP(folder, ignoresCase)                                                            \
    QFETCH(QString, kind);                                                                                   \
    QFETCH(bool, ignoresCase);                                                                               \
    QString mountSkip;                                                                                       \
    const QString folder = folderOf(kind, &mountSkip);                                                       \
    if (folder.isEmpty())                                                                                    \
    QSKIP(qPrintable(mountSkip))

class TestCaseFolding : public QObject {
    Q_OBJECT

private:
    QTemporaryDir plain;
    std::unique_ptr<MountedFolder> exfat;
    std::unique_ptr<MountedFolder> fat;
    std::unique_ptr<MountedFolder> ext4;

    // The folder of a data row's kind, or a skip reason.
    QString folderOf(const QString &kind, QString *skip)
    {
        if (kind == QLatin1String("ext4"))
            return QDir(plain.path()).filePath(QStringLiteral("ext4-%1").arg(++counter));
        MountedFolder *mount = kind == QLatin1String("exfat") ? exfat.get()
            : kind == QLatin1String("fat")                    ? fat.get()
                                                              : ext4.get();
        if (mount->folder().isEmpty()) {
            *skip = mount->skipReason();
            return QString();
        }
        return QDir(mount->folder()).filePath(QStringLiteral("t%1").arg(++counter));
    }

    static void kinds()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("ignoresCase");
        QTest::newRow("exFAT card") << "exfat" << true;
        QTest::newRow("FAT32 card") << "fat" << true;
        QTest::newRow("ext4 case-folding folder") << "ext4-casefold" << true;
        QTest::newRow("ext4") << "ext4" << false;
    }

    static QString jpeg(const QString &path, QRgb colour)
    {
        if (!TestSupport::filledImage(QSize(16, 12), colour).save(path, "JPG"))
            qFatal("cannot write fixture");
        return path;
    }

    static QList<QStringList> runJob(ConvertImagesThread *job)
    {
        QList<QStringList> completed;
        QObject::connect(
            job, &ConvertImagesThread::threadCompleted, job, [&](const QStringList &e, const QStringList &s) {
                completed = { e, s };
            });
        job->start();
        if (!job->wait(60000))
            qFatal("job did not finish");
        QCoreApplication::processEvents();
        return completed;
    }

    int counter = 0;

private Q_SLOTS:
    void initTestCase()
    {
        exfat = std::make_unique<MountedFolder>(MountedFolder::ExfatFuse);
        fat = std::make_unique<MountedFolder>(MountedFolder::FatFuse, 40);
        ext4 = std::make_unique<MountedFolder>(MountedFolder::Ext4CaseFolding);
        if (qEnvironmentVariableIsSet("CI") && exfat->folder().isEmpty())
            QFAIL(qPrintable("CI runs the memory-card case: " + exfat->skipReason()));
    }
    void cleanupTestCase()
    {
        exfat.reset();
        fat.reset();
        ext4.reset();
    }
    void init() { resetOptions(); }

    void folderRuleComesFromTheFileSystem_data() { kinds(); }
    void folderRuleComesFromTheFileSystem()
    {
        FETCH_FOLDER_OR_SKIP(folder, ignoresCase);
        const QString empty = folder + QStringLiteral("/Empty");
        QVERIFY(QDir().mkpath(empty));
        // An empty folder is asked with a probe file, which it does not keep.
        QCOMPARE(FileSystemNames().ignoresCase(empty), ignoresCase);
        QCOMPARE(TestSupport::folderEntries(empty), QStringList());

        const QString camera = jpeg(folder + QStringLiteral("/IMG_0001.JPG"), 0xff2040a0);
        const QString typed = folder + QStringLiteral("/empty/img_0001.jpg");
        FileSystemNames names;
        QCOMPARE(names.ignoresCase(folder), ignoresCase);
        QCOMPARE(names.sameFile(camera, folder + QStringLiteral("/img_0001.jpg")), ignoresCase);
        QCOMPARE(names.storedSpelling(folder + QStringLiteral("/img_0001.JPG")),
            QDir::toNativeSeparators(folder + (ignoresCase ? "/IMG_0001.JPG" : "/img_0001.JPG")));
        // Not written yet: the names of one folder differing in case are one file where it ignores case.
        QCOMPARE(names.key(typed) == names.key(folder + QStringLiteral("/Empty/IMG_0001.JPG")), ignoresCase);
        QVERIFY(names.key(typed) != names.key(folder + QStringLiteral("/Empty/img_0002.jpg")));
    }

    // The photographer's memory card: converting the camera's JPG next to itself lists the
    // original unticked as "replaces the original", so the default button leaves it alone.
    void originalOnTheCardIsNeverTicked_data() { kinds(); }
    void originalOnTheCardIsNeverTicked()
    {
        FETCH_FOLDER_OR_SKIP(folder, ignoresCase);
        const QString dcim = folder + QStringLiteral("/DCIM/100CANON");
        QVERIFY(QDir().mkpath(dcim));
        const QString original = jpeg(dcim + QStringLiteral("/IMG_0001.JPG"), 0xffc02020);
        const QByteArray before = TestSupport::fileDigest(original);
        updateOptions([](ConversionOptions &o) { o.saveNextToOriginal = true; });

        auto *job = new ConvertImagesThread(this);
        job->_urls = { QDir::toNativeSeparators(original) };
        job->targetFolder = dcim;
        job->targetExt = QStringLiteral(".jpg");
        const QList<QStringList> completed = runJob(job);
        QCOMPARE(completed.size(), 2);
        if (!ignoresCase) {
            // Two files on ext4: the new one is written beside the camera's.
            QCOMPARE(completed.at(0), QStringList());
            QVERIFY(QFileInfo::exists(dcim + QStringLiteral("/IMG_0001.jpg")));
            QCOMPARE(TestSupport::fileDigest(original), before);
            return;
        }
        QCOMPARE(completed.at(0).size(), 1);

        auto *dialog = new OverwriteFileDialog;
        dialog->setFiles(completed.at(0), completed.at(1));
        auto *tree = dialog->findChild<QTreeWidget *>();
        QVERIFY(tree);
        QCOMPARE(tree->topLevelItem(0)->checkState(0), Qt::Unchecked);
        QCOMPARE(tree->topLevelItem(0)->text(2), QStringLiteral("replaces the original"));
        // The whole path tells two IMG_0001.JPG apart; every row may be ticked and unticked at once.
        QCOMPARE(tree->topLevelItem(0)->toolTip(1), QDir::toNativeSeparators(original));
        QVERIFY(dialog->isSizeGripEnabled());
        dialog->findChild<QPushButton *>(QStringLiteral("selectAllButton"))->click();
        QCOMPARE(tree->topLevelItem(0)->checkState(0), Qt::Checked);
        dialog->findChild<QPushButton *>(QStringLiteral("selectNoneButton"))->click();
        QCOMPARE(tree->topLevelItem(0)->checkState(0), Qt::Unchecked);
        QSignalSpy overwrite(dialog, &OverwriteFileDialog::overwriteFiles);
        QSignalSpy finished(dialog, &OverwriteFileDialog::convertFinish);
        dialog->on_overwriteButton_clicked();
        QCOMPARE(overwrite.size(), 0);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(TestSupport::fileDigest(original), before);
        QCOMPARE(TestSupport::folderEntries(dcim), QStringList { QStringLiteral("IMG_0001.JPG") });
    }

    // One camera file dropped under two spellings (and again inside its folder) is listed once,
    // under the name the card stores.
    void listHoldsEachFileOnce_data() { kinds(); }
    void listHoldsEachFileOnce()
    {
        FETCH_FOLDER_OR_SKIP(folder, ignoresCase);
        QVERIFY(QDir().mkpath(folder + "/DCIM"));
        const QString camera = jpeg(folder + QStringLiteral("/DCIM/IMG_0002.JPG"), 0xff108030);
        if (!ignoresCase)
            jpeg(folder + QStringLiteral("/DCIM/img_0002.jpg"), 0xff108030);
        FileListModel model;
        AddUrlsController controller(&model);
        QSignalSpy destroyed(&controller, &AddUrlsController::addUrlsThreadDestroy);
        controller.startAddUrls({ QUrl::fromLocalFile(folder + "/dcim/img_0002.jpg"),
            QUrl::fromLocalFile(camera), QUrl::fromLocalFile(folder + "/DCIM") });
        QVERIFY(destroyed.wait(60000));
        const QStringList expected = ignoresCase
            ? QStringList { QDir::toNativeSeparators(camera) }
            : QStringList { QDir::toNativeSeparators(camera),
                  QDir::toNativeSeparators(folder + "/DCIM/img_0002.jpg") };
        QStringList listed = model.filePaths();
        if (!ignoresCase) // the mis-spelled drop is refused on ext4: no such file
            QCOMPARE(listed.size(), 2);
        listed.sort();
        QStringList sorted = expected;
        sorted.sort();
        QCOMPARE(listed, sorted);
    }

    // a.PNG and A.png into one folder that ignores case: the job writes the first and reports the
    // second as a same-name clash; nothing it wrote is offered as existing or written over.
    void namesDifferingInCaseClashInOneJob_data()
    {
        kinds();
        QTest::addColumn<int>("existsAction");
    }
    void namesDifferingInCaseClashInOneJob()
    {
        QFETCH(QString, kind);
        QFETCH(bool, ignoresCase);
        QString skip;
        const QString out = folderOf(kind, &skip);
        if (out.isEmpty())
            QSKIP(qPrintable(skip));
        QVERIFY(QDir().mkpath(out));
        // Two sources in a case-sensitive folder, as a computer holds them.
        const QString in = QDir(plain.path()).filePath(QStringLiteral("in%1").arg(++counter));
        QVERIFY(QDir().mkpath(in));
        const QString first = in + QStringLiteral("/a.PNG"), second = in + QStringLiteral("/A.png");
        QVERIFY(TestSupport::filledImage(QSize(8, 8), QColor(Qt::red)).save(first, "PNG"));
        QVERIFY(TestSupport::filledImage(QSize(8, 8), QColor(Qt::blue)).save(second, "PNG"));

        for (const int action : { TargetNaming::Ask, TargetNaming::AddNumber }) {
            const QString folder = out + QStringLiteral("/action%1").arg(action);
            QVERIFY(QDir().mkpath(folder));
            updateOptions([action](ConversionOptions &o) { o.targetExistsAction = action; });
            auto *job = new ConvertImagesThread(this);
            job->_urls = { first, second };
            job->targetFolder = folder;
            job->targetExt = QStringLiteral(".png");
            const QList<QStringList> completed = runJob(job);
            QCOMPARE(completed.value(0), QStringList());
            QStringList written = TestSupport::folderEntries(folder);
            written.sort();
            if (!ignoresCase) {
                QCOMPARE(written, (QStringList { "A.png", "a.png" }));
                QVERIFY(job->failures().isEmpty());
            } else if (action == TargetNaming::AddNumber) {
                QCOMPARE(written, (QStringList { "A (2).png", "a.png" }));
                QVERIFY(job->failures().isEmpty());
            } else {
                QCOMPARE(written, QStringList { "a.png" });
                QCOMPARE(job->failures().size(), 1);
                QCOMPARE(job->failures().first().source, second);
                QCOMPARE(job->failures().first().reason, FailureReason::sameNameInJob("A.png"));
            }
            // The first source's picture, never the second's over it.
            QCOMPARE(QImage(folder + "/a.png").pixel(0, 0), QColor(Qt::red).rgb());
        }
    }

    // pictomat-cli keeps the same rules: two sources differing only in case never write over each
    // other, and the camera's file next to its own target is kept without --overwrite.
    void commandLineKeepsTheRules_data() { kinds(); }
    void commandLineKeepsTheRules()
    {
        FETCH_FOLDER_OR_SKIP(folder, ignoresCase);
        const QString in = QDir(plain.path()).filePath(QStringLiteral("in%1").arg(++counter));
        const QString out = folder + QStringLiteral("/out"), dcim = folder + QStringLiteral("/DCIM");
        QVERIFY(QDir().mkpath(in) && QDir().mkpath(out) && QDir().mkpath(dcim));
        QVERIFY(TestSupport::filledImage(QSize(8, 8), QColor(Qt::red)).save(in + "/a.PNG", "PNG"));
        QVERIFY(TestSupport::filledImage(QSize(8, 8), QColor(Qt::blue)).save(in + "/A.png", "PNG"));
        const QString original = jpeg(dcim + QStringLiteral("/IMG_0001.JPG"), 0xffc02020);
        const QByteArray before = TestSupport::fileDigest(original);

        const auto cli = [](const QStringList &arguments) {
            QProcess process;
            process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/pictomat-cli"),
                QStringList { QStringLiteral("--quiet") } + arguments);
            return process.waitForFinished(120000) ? process.exitCode() : -1;
        };
        QCOMPARE(cli({ "--format", "PNG", in + "/a.PNG", in + "/A.png", "-o", out }), ignoresCase ? 1 : 0);
        QStringList written = TestSupport::folderEntries(out);
        written.sort();
        QCOMPARE(written, ignoresCase ? QStringList { "a.png" } : (QStringList { "A.png", "a.png" }));
        QCOMPARE(QImage(out + "/a.png").pixel(0, 0), QColor(Qt::red).rgb());

        QCOMPARE(cli({ "--format", "JPG", "--save-next-to-original", "on", original }), ignoresCase ? 1 : 0);
        QCOMPARE(TestSupport::fileDigest(original), before);
        QCOMPARE(TestSupport::folderEntries(dcim).size(), ignoresCase ? 1 : 2);
    }
};

QTEST_MAIN(TestCaseFolding)
#include "tst_casefolding.moc"
