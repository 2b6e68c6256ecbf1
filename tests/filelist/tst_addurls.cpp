// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/pathcompare.h"
#include "convert/conversionoptions.h"
#include "filelist/addfilesdialog.h"
#include "filelist/addurlscontroller.h"
#include "filelist/convertimageaddurlsthread.h"
#include "filelist/filelistmodel.h"
#include "filelist/filepathregistry.h"
#include "filelist/listicon.h"
#include "testsupport.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

QString makeImage(const QString &path, QSize size, const char *format = nullptr)
{
    QDir().mkpath(QFileInfo(path).path());
    QImage image = TestSupport::filledImage(size, QColor(40, 120, 200));
    if (!image.save(path, format))
        qFatal("cannot write fixture %s", qPrintable(path));
    return normalPath(path);
}

void makeTextFile(const QString &path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write("not an image") < 0)
        qFatal("cannot write fixture %s", qPrintable(path));
}

// A JPEG stored `stored` wide and high whose EXIF orientation says "rotate 90 degrees clockwise".
QString makeRotatedJpeg(const QString &path, QSize stored)
{
    QByteArray jpeg;
    {
        QImage image = TestSupport::filledImage(stored, Qt::darkGreen);
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPG");
    }
    // APP1 "Exif", big-endian TIFF header, one IFD entry: Orientation (0x0112), SHORT, 1, value 6.
    const QByteArray exif = QByteArray("\xFF\xE1\x00\x22", 4) + QByteArray("Exif\0\0", 6)
        + QByteArray("MM\x00\x2A\x00\x00\x00\x08", 8) + QByteArray("\x00\x01", 2)
        + QByteArray("\x01\x12\x00\x03\x00\x00\x00\x01\x00\x06\x00\x00", 12) + QByteArray(4, '\0');
    const int app0Length = (uchar(jpeg.at(4)) << 8) | uchar(jpeg.at(5));
    jpeg.insert(4 + app0Length, exif);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(jpeg) != jpeg.size())
        qFatal("cannot write fixture %s", qPrintable(path));
    return normalPath(path);
}

QList<QUrl> urls(const QStringList &paths)
{
    QList<QUrl> list;
    for (const QString &path : paths)
        list.append(QUrl::fromLocalFile(path));
    return list;
}

QStringList fileNames(const FileListModel &model)
{
    QStringList names;
    for (const QString &path : model.filePaths())
        names.append(QFileInfo(path).fileName());
    return names;
}

} // namespace

class TestAddUrls : public QObject {
    Q_OBJECT

private:
    // Adds the URL lists through a controller and waits until the worker is gone.
    bool addAndWait(AddUrlsController &controller, const QList<QUrl> &list)
    {
        QSignalSpy destroyed(&controller, &AddUrlsController::addUrlsThreadDestroy);
        controller.startAddUrls(list);
        return destroyed.wait(60000) && !controller.addUrlsRunning();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        resetOptions();
    }

    void folderRecursionKeepsOnlySupportedVisibleFiles()
    {
        QTemporaryDir dir;
        const QString root = dir.filePath("drop");
        const QStringList wanted = {
            makeImage(root + "/a.png", QSize(8, 8)),
            makeImage(root + "/sub/b.jpg", QSize(8, 8)),
            makeImage(root + "/sub/deeper/c.JPEG", QSize(8, 8), "JPG"),
            makeImage(root + "/image.tar.gif", QSize(8, 8), "PNG"),
            makeImage(root + "/x.jpg/inside.png", QSize(8, 8)),
            makeImage(root + "/2024/d.webp", QSize(8, 8), "WEBP"),
        };
        makeImage(root + "/.hidden.png", QSize(8, 8));
        makeImage(root + "/.hiddenfolder/e.png", QSize(8, 8));
        makeImage(root + "/nodot", QSize(8, 8), "PNG");
        makeTextFile(root + "/image.gif.txt");
        makeTextFile(root + "/notes.txt");

        FileListModel model;
        AddUrlsController controller(&model);
        QSignalSpy finish(&controller, &AddUrlsController::addUrlsFinish);
        QVERIFY(addAndWait(controller, urls({ root })));

        QStringList listed = model.filePaths();
        QStringList expected = wanted;
        listed.sort();
        expected.sort();
        QCOMPARE(listed, expected);
        QCOMPARE(finish.count(), 1);
        QCOMPARE(finish.at(0).at(0).toString(), model.filePath(model.rowCount() - 1));
        QVERIFY(model.findItems("x.jpg").isEmpty());
    }

    // Hidden files and names without a dot are not what a folder drop asks for: not counted.
    void skippedFilesAreCountedByReason()
    {
        QTemporaryDir dir;
        const QString root = dir.filePath("drop");
        const QString listed = makeImage(root + "/a.png", QSize(8, 8));
        makeImage(root + "/sub/b.jpg", QSize(8, 8));
        makeImage(root + "/.hidden.png", QSize(8, 8));
        makeImage(root + "/nodot", QSize(8, 8), "PNG");
        makeImage(root + "/scan.bmp", QSize(8, 8), "BMP");
        makeTextFile(root + "/notes.txt");

        FileListModel model;
        AddUrlsController controller(&model);
        QVERIFY(addAndWait(controller, urls({ listed })));
        QSignalSpy skipped(&controller, &AddUrlsController::filesSkipped);
        QSignalSpy finish(&controller, &AddUrlsController::addUrlsFinish);
        QList<QUrl> dropped = urls({ root, dir.filePath("gone.jpg"), listed });
        dropped.append(QUrl(QStringLiteral("https://example.org/photo.jpg")));
        QVERIFY(addAndWait(controller, dropped));

        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(skipped.count(), 1);
        QCOMPARE(finish.count(), 1);
        SkippedFiles expected;
        expected.unsupported = 2;
        expected.duplicates = 2; // a.png in the folder and on its own
        expected.missing = 1;
        expected.notLocal = 1;
        QCOMPARE(skipped.at(0).at(0).value<SkippedFiles>(), expected);

        // A clean add says nothing.
        const QString fresh = makeImage(dir.filePath("fresh.png"), QSize(8, 8));
        QVERIFY(addAndWait(controller, urls({ fresh })));
        QCOMPARE(skipped.count(), 1);
    }

    void skippedFilesMessage_data()
    {
        QTest::addColumn<int>("unsupported");
        QTest::addColumn<int>("duplicates");
        QTest::addColumn<int>("missing");
        QTest::addColumn<int>("notLocal");
        QTest::addColumn<QString>("message");
        QTest::newRow("none") << 0 << 0 << 0 << 0 << QString();
        QTest::newRow("three unsupported") << 3 << 0 << 0 << 0 << "3 files not added: not a supported image";
        QTest::newRow("one duplicate") << 0 << 1 << 0 << 0 << "1 file not added: already in the list";
        QTest::newRow("mixed") << 3 << 2 << 0 << 0
                               << "5 files not added: 3 not a supported image, 2 already in the list";
        QTest::newRow("every reason") << 1 << 1 << 1 << 1
                                      << "4 files not added: 1 not a supported image, 1 already in the list, "
                                         "1 not found, 1 not a local file";
    }

    void skippedFilesMessage()
    {
        QFETCH(int, unsupported);
        QFETCH(int, duplicates);
        QFETCH(int, missing);
        QFETCH(int, notLocal);
        QFETCH(QString, message);
        SkippedFiles skipped;
        skipped.unsupported = unsupported;
        skipped.duplicates = duplicates;
        skipped.missing = missing;
        skipped.notLocal = notLocal;
        QCOMPARE(::skippedFilesMessage(skipped), message);
    }

    void rowsKeepTheOrderOfTheDrop()
    {
        QTemporaryDir dir;
        const QString one = makeImage(dir.filePath("3.png"), QSize(4, 4));
        const QString two = makeImage(dir.filePath("1.png"), QSize(4, 4));
        const QString three = makeImage(dir.filePath("2.png"), QSize(4, 4));
        FileListModel model;
        AddUrlsController controller(&model);
        QVERIFY(addAndWait(controller, urls({ one, two, three })));
        QCOMPARE(model.filePaths(), QStringList({ one, two, three }));
        QCOMPARE(model.item(0, FileListModel::PathColumn)->text(), QDir::toNativeSeparators(one));
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("File List"));
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Path"));
    }

    void folderFilesComeInNaturalOrder_data()
    {
        QTest::addColumn<QStringList>("files"); // relative to the dropped folder, in the expected order
        QTest::newRow("numbers in names")
            << QStringList { "IMG_1.png", "img_2.png", "IMG_9.png", "IMG_10.png", "IMG_100.png" };
        QTest::newRow("files before subfolders, subfolders in order") << QStringList { "b.png", "z.png",
            "a/x.png", "a/deeper/y.png", "a2/p.png", "a10/p.png", "B/q.png" };
    }

    // A folder's pages come as a person would number them, whatever order the disk keeps.
    void folderFilesComeInNaturalOrder()
    {
        QFETCH(QStringList, files);
        QTemporaryDir dir;
        const QString root = dir.filePath("drop");
        QStringList expected;
        for (const QString &file : std::as_const(files))
            expected.append(normalPath(root + "/" + file));
        // Written odd places first, so that a walk in (or against) creation order cannot pass.
        for (int start : { 1, 0 }) {
            for (qsizetype i = start; i < files.size(); i += 2)
                makeImage(root + "/" + files[i], QSize(4, 4));
        }
        FileListModel model;
        AddUrlsController controller(&model);
        QVERIFY(addAndWait(controller, urls({ root })));
        QCOMPARE(model.filePaths(), expected);
    }

    void unsupportedAndNonLocalUrlsAddNothing()
    {
        QTemporaryDir dir;
        makeTextFile(dir.filePath("readme.txt"));
        QDir().mkpath(dir.filePath("empty"));
        FileListModel model;
        AddUrlsController controller(&model);
        QSignalSpy finish(&controller, &AddUrlsController::addUrlsFinish);
        QVERIFY(addAndWait(controller,
            { QUrl::fromLocalFile(dir.filePath("readme.txt")), QUrl("https://example.com/a.png"),
                QUrl::fromLocalFile(dir.filePath("empty")),
                QUrl::fromLocalFile(dir.filePath("missing.png")) }));
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(finish.count(), 1);
        QCOMPARE(finish.at(0).at(0).toString(), QString());
    }

    void onePathOneRow()
    {
        QTemporaryDir dir;
        const QString alone = makeImage(dir.filePath("pics/alone.png"), QSize(4, 4));
        makeImage(dir.filePath("pics/other.png"), QSize(4, 4));
        FileListModel model;
        AddUrlsController controller(&model);
        // The same file written three ways, then again through its folder, in one drop and later.
        QVERIFY(addAndWait(controller,
            { QUrl::fromLocalFile(alone), QUrl::fromLocalFile(dir.filePath("pics/./alone.png")),
                QUrl::fromLocalFile(dir.filePath("pics//sub/../alone.png")),
                QUrl::fromLocalFile(dir.filePath("pics")) }));
        QCOMPARE(model.rowCount(), 2);
        QVERIFY(addAndWait(controller, urls({ dir.filePath("pics"), alone })));
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.filePath(0), alone);
    }

    void letterCaseFollowsThePlatform()
    {
        QTemporaryDir dir;
        const QString lower = makeImage(dir.filePath("a.jpg"), QSize(4, 4), "JPG");
        FileListModel model;
        AddUrlsController controller(&model);
        if (pathCaseSensitivity() == Qt::CaseSensitive) {
            // Two files here: both are listed.
            makeImage(dir.filePath("A.JPG"), QSize(4, 4), "JPG");
            QVERIFY(addAndWait(controller, urls({ lower, dir.filePath("A.JPG") })));
            QCOMPARE(model.rowCount(), 2);
        } else {
            QVERIFY(addAndWait(controller, urls({ lower, dir.filePath("A.JPG") })));
            QCOMPARE(model.rowCount(), 1);
        }
    }

    void rowsRemovedOrClearedMayBeAddedAgain()
    {
        QTemporaryDir dir;
        const QString a = makeImage(dir.filePath("a.png"), QSize(4, 4));
        const QString b = makeImage(dir.filePath("b.png"), QSize(4, 4));
        FileListModel model;
        AddUrlsController controller(&model);
        QVERIFY(addAndWait(controller, urls({ a, b })));
        model.removeRow(0);
        QVERIFY(addAndWait(controller, urls({ a, b })));
        QCOMPARE(model.filePaths(), QStringList({ b, a }));
        model.removeRows(0, model.rowCount());
        QVERIFY(!model.registry()->contains(pathKey(a)));
        QVERIFY(addAndWait(controller, urls({ b })));
        QCOMPARE(model.filePaths(), QStringList({ b }));
    }

    void symbolicLinkLoopEnds()
    {
        QTemporaryDir dir;
        const QString root = dir.filePath("tree");
        makeImage(root + "/a.png", QSize(4, 4));
        makeImage(root + "/sub/b.png", QSize(4, 4));
        makeImage(dir.filePath("elsewhere/c.png"), QSize(4, 4));
        if (!QFile::link(root, root + "/sub/loop")
            || !QFile::link(dir.filePath("elsewhere"), root + "/linked"))
            QSKIP("this file system cannot hold symbolic links");

        FileListModel model;
        AddUrlsController controller(&model);
        QVERIFY(addAndWait(controller, urls({ root })));
        QStringList names = fileNames(model);
        names.sort();
        QCOMPARE(names, QStringList({ "a.png", "b.png", "c.png" }));
    }

    void secondDropDuringARunJoinsIt()
    {
        QTemporaryDir dir;
        QStringList first;
        for (int i = 0; i < 100; ++i)
            first.append(
                makeImage(dir.filePath(QString("big/%1.png").arg(i, 3, 10, QLatin1Char('0'))), QSize(4, 4)));
        const QString late = makeImage(dir.filePath("late.png"), QSize(4, 4));

        FileListModel model;
        AddUrlsController controller(&model);
        QSignalSpy started(&controller, &AddUrlsController::addUrlsStarted);
        QSignalSpy destroyed(&controller, &AddUrlsController::addUrlsThreadDestroy);
        controller.startAddUrls(urls({ dir.filePath("big") }));
        controller.startAddUrls(urls({ late }));
        QVERIFY(destroyed.wait(60000));
        QCOMPARE(started.count(), 1);
        QCOMPARE(model.rowCount(), 101);
        QCOMPARE(model.filePath(100), late);
    }

    // A list queued right after the first finish (the worker is making icons) is added by the
    // same worker, which then reports a second finish and still makes every icon.
    void listArrivingDuringIconsGivesSecondFinish()
    {
        QTemporaryDir dir;
        const QString a = makeImage(dir.filePath("a.png"), QSize(30, 20));
        const QString b = makeImage(dir.filePath("b.png"), QSize(20, 30));
        auto registry = std::make_shared<FilePathRegistry>();
        ConvertImageAddUrlsThread worker(registry);
        QStringList finishes;
        QStringList rows;
        QStringList icons;
        connect(
            &worker, &ConvertImageAddUrlsThread::addFileRows, &worker,
            [&](const QStringList &paths) { rows += paths; }, Qt::DirectConnection);
        connect(
            &worker, &ConvertImageAddUrlsThread::addUrlsFinish, &worker,
            [&](const QString &lastPath) {
                finishes.append(lastPath);
                if (finishes.size() == 1)
                    QVERIFY(worker.enqueueUrls(urls({ b })));
            },
            Qt::DirectConnection);
        connect(
            &worker, &ConvertImageAddUrlsThread::processFinish, &worker,
            [&](const QImage &, const QString &, const QString &, const QString &, const QString &filePath) {
                icons.append(filePath);
            },
            Qt::DirectConnection);
        QVERIFY(worker.enqueueUrls(urls({ a })));
        worker.start();
        QVERIFY(worker.wait(60000));
        QCOMPARE(finishes, QStringList({ a, b }));
        QCOMPARE(rows, QStringList({ a, b }));
        QCOMPARE(icons, QStringList({ a, b }));
        QVERIFY(!worker.enqueueUrls(urls({ a })));
    }

    // The worker has left its loop but its end is not handled yet: the list goes to a new worker.
    void listHandedOverAfterTheLastQueueCheckIsNotLost()
    {
        QTemporaryDir dir;
        const QString a = makeImage(dir.filePath("a.png"), QSize(4, 4));
        const QString b = makeImage(dir.filePath("b.png"), QSize(4, 4));
        FileListModel model;
        AddUrlsController controller(&model);
        QSignalSpy started(&controller, &AddUrlsController::addUrlsStarted);
        QSignalSpy destroyed(&controller, &AddUrlsController::addUrlsThreadDestroy);
        controller.startAddUrls(urls({ a }));
        QVERIFY(controller.addUrlsThread()->wait(60000));
        QVERIFY(controller.addUrlsRunning());
        controller.startAddUrls(urls({ b }));
        QTRY_COMPARE_WITH_TIMEOUT(destroyed.count(), 2, 60000);
        QCOMPARE(started.count(), 2);
        QCOMPARE(model.filePaths(), QStringList({ a, b }));
        QVERIFY(!controller.addUrlsRunning());
    }

    // Row creation happens on the GUI thread, and a row still on its way counts for the
    // duplicate test: a second worker started while the first one's rows are queued adds nothing twice.
    void rowsOnTheirWayCountAsListed()
    {
        QTemporaryDir dir;
        const QString a = makeImage(dir.filePath("a.png"), QSize(4, 4));
        FileListModel model;
        auto registry = model.registry();
        ConvertImageAddUrlsThread first(registry);
        QStringList handedOver;
        connect(&first, &ConvertImageAddUrlsThread::addFileRows, this,
            [&](const QStringList &paths) { handedOver += paths; });
        first.enqueueUrls(urls({ a }));
        first.start();
        QVERIFY(first.wait(60000));
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(registry->contains(pathKey(a)));

        ConvertImageAddUrlsThread second(registry);
        QSignalSpy secondRows(&second, &ConvertImageAddUrlsThread::addFileRows);
        second.enqueueUrls(urls({ a, dir.path() }));
        second.start();
        QVERIFY(second.wait(60000));
        QCoreApplication::processEvents();
        QCOMPARE(secondRows.count(), 0);
        QCOMPARE(handedOver, QStringList({ a }));
        QCOMPARE(model.appendFiles(handedOver), 1);
        QVERIFY(registry->isListed(pathKey(a)));
    }

    void stopEndsTheRunBetweenFiles()
    {
        QTemporaryDir dir;
        // More files than one batch holds: the first hand-over comes before the last file.
        const int total = ConvertImageAddUrlsThread::rowBatchSize + 100;
        for (int i = 0; i < total; ++i)
            makeImage(dir.filePath(QString("many/%1.png").arg(i)), QSize(4, 4));
        auto registry = std::make_shared<FilePathRegistry>();
        ConvertImageAddUrlsThread worker(registry);
        int rows = 0;
        connect(
            &worker, &ConvertImageAddUrlsThread::addFileRows, &worker,
            [&](const QStringList &paths) {
                rows += paths.size();
                worker.requestStop();
            },
            Qt::DirectConnection);
        QSignalSpy finish(&worker, &ConvertImageAddUrlsThread::addUrlsFinish);
        QSignalSpy icons(&worker, &ConvertImageAddUrlsThread::processFinish);
        worker.enqueueUrls(urls({ dir.filePath("many") }));
        worker.start();
        QVERIFY(worker.wait(60000));
        QVERIFY(rows > 0);
        QVERIFY(rows <= ConvertImageAddUrlsThread::rowBatchSize);
        QCOMPARE(finish.count(), 0);
        QCOMPARE(icons.count(), 0);
        QVERIFY(!worker.enqueueUrls(urls({ dir.path() })));
    }

    void stopAndWaitAbandonsTheRun()
    {
        QTemporaryDir dir;
        for (int i = 0; i < 100; ++i)
            makeImage(dir.filePath(QString("many/%1.png").arg(i)), QSize(8, 8));
        FileListModel model;
        QPointer<ConvertImageAddUrlsThread> worker;
        {
            AddUrlsController controller(&model);
            QSignalSpy finish(&controller, &AddUrlsController::addUrlsFinish);
            QSignalSpy destroyed(&controller, &AddUrlsController::addUrlsThreadDestroy);
            controller.startAddUrls(urls({ dir.filePath("many") }));
            worker = controller.addUrlsThread();
            controller.stopAndWait();
            QVERIFY(worker->isFinished());
            const int rows = model.rowCount();
            QVERIFY(destroyed.wait(10000));
            QVERIFY(!controller.addUrlsRunning());
            // Nothing the stopped worker had sent reaches the list afterwards.
            QCOMPARE(model.rowCount(), rows);
            QCOMPARE(finish.count(), 0);
            QVERIFY(!model.registry()->contains(pathKey(dir.filePath("many/99.png"))));

            controller.startAddUrls(urls({ dir.filePath("many") }));
            worker = controller.addUrlsThread();
            QVERIFY(worker);
        }
        // The controller went away mid-run: its worker was stopped, joined and deleted.
        QVERIFY(!worker);
    }

    void iconSizes_data()
    {
        QTest::addColumn<QSize>("stored");
        QTest::addColumn<QSize>("icon");
        QTest::addColumn<QString>("sizeStr");
        QTest::newRow("landscape 6000x4000") << QSize(6000, 4000) << QSize(96, 64) << "6000x4000";
        QTest::newRow("portrait 1000x3000") << QSize(1000, 3000) << QSize(64, 192) << "1000x3000";
        QTest::newRow("square") << QSize(500, 500) << QSize(64, 64) << "500x500";
        QTest::newRow("smaller than the icon") << QSize(16, 8) << QSize(128, 64) << "16x8";
    }

    void iconSizes()
    {
        QFETCH(QSize, stored);
        QFETCH(QSize, icon);
        QFETCH(QString, sizeStr);
        QTemporaryDir dir;
        const QString path = makeImage(dir.filePath("photo.jpg"), stored, "JPG");
        const ListIcon made = makeListIcon(path);
        QCOMPARE(made.image.size(), icon);
        QCOMPARE(made.sizeStr, sizeStr);
    }

    void damagedImageIconIsMarked_data()
    {
        QTest::addColumn<int>("keptShare"); // per mille of the JPEG file kept
        QTest::addColumn<bool>("damaged");
        QTest::newRow("whole") << 1000 << false;
        QTest::newRow("second half missing") << 500 << true;
    }

    // The icon of a source the reader had to fill up carries a warning sign in its corner.
    void damagedImageIconIsMarked()
    {
        QFETCH(int, keptShare);
        QFETCH(bool, damaged);
        QTemporaryDir dir;
        const QString whole = dir.filePath("whole.jpg");
        QVERIFY(TestSupport::saveImage(TestSupport::makePhotoLike(600, 400), whole, 90));
        const QByteArray data = TestSupport::readFile(whole);
        QVERIFY(!data.isEmpty());
        QFile cut(dir.filePath("photo.jpg"));
        QVERIFY(cut.open(QIODevice::WriteOnly));
        cut.write(data.left(data.size() * keptShare / 1000));
        cut.close();

        const ListIcon made = makeListIcon(cut.fileName());
        QCOMPARE(made.damaged, damaged);
        QCOMPARE(made.sizeStr, QString("600x400"));
        QCOMPARE(made.image.size(), QSize(96, 64));
        // Inside the sign's triangle, clear of the exclamation mark.
        const int side = 25;
        const QColor corner = made.image.pixelColor(96 - side / 2 - side / 5, 64 - side / 5);
        QCOMPARE(corner == QColor(255, 200, 0), damaged);
    }

    void unreadableImageGetsZeroSize()
    {
        QTemporaryDir dir;
        makeTextFile(dir.filePath("broken.png"));
        FileListModel model;
        AddUrlsController controller(&model);
        QVERIFY(addAndWait(controller, urls({ dir.filePath("broken.png") })));
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(
            model.item(0)->text(), listCaption("broken.png", "0x0", QFileInfo(dir.filePath("x")).path()));
        QVERIFY(model.item(0)->icon().isNull());
    }

    void captionsShowUprightSize()
    {
        QTemporaryDir dir;
        const QString rotated = makeRotatedJpeg(dir.filePath("rotated.jpg"), QSize(400, 300));
        if (TestSupport::haveTool("identify")) {
            QByteArray out;
            QCOMPARE(TestSupport::runTool("identify", { "-format", "%[orientation]", rotated }, &out), 0);
            QCOMPARE(out.trimmed(), QByteArray("RightTop"));
        }
        const QString plain = makeImage(dir.filePath("plain.png"), QSize(40, 30));
        FileListModel model;
        AddUrlsController controller(&model);
        QVERIFY(addAndWait(controller, urls({ rotated, plain })));
        const QString folder = QFileInfo(rotated).path();
        QCOMPARE(model.item(0)->text(), QString("rotated.jpg\n300x400\n") + folder);
        QCOMPARE(model.item(1)->text(), QString("plain.png\n40x30\n") + folder);
        QCOMPARE(model.item(0)->icon().availableSizes().value(0), QSize(64, 85));
        QCOMPARE(model.item(0, FileListModel::PathColumn)->text(), rotated);
        QVERIFY(model.item(0, FileListModel::PathColumn)->icon().isNull());
    }

    // Rows removed and moved after the rows are in but before their icons arrive: every
    // remaining row still gets its own file's caption.
    void iconsFindTheirRowsByPath()
    {
        QTemporaryDir dir;
        for (int i = 0; i < 40; ++i)
            makeImage(dir.filePath(QString("f%1.png").arg(i, 2, 10, QLatin1Char('0'))), QSize(10 + i, 5));
        FileListModel model;
        AddUrlsController controller(&model);
        QStringList removed;
        connect(&controller, &AddUrlsController::addUrlsFinish, this, [&] {
            removed = model.filePaths().mid(0, 10);
            model.removeRows(0, 10);
            model.moveFileRow(model.rowCount() - 1, 0);
        });
        QVERIFY(addAndWait(controller, urls({ dir.path() })));
        QCOMPARE(model.rowCount(), 30);
        for (int row = 0; row < model.rowCount(); ++row) {
            const QFileInfo file(model.filePath(row));
            const int width = 10 + file.baseName().mid(1).toInt();
            QCOMPARE(model.item(row)->text(),
                listCaption(file.fileName(), QString("%1x5").arg(width), file.path()));
        }
        QCOMPARE(removed.size(), 10);
        for (const QString &path : std::as_const(removed))
            QCOMPARE(model.rowOfFile(path), -1);
        QVERIFY(!model.setFileIcon(removed.first(), QImage(), "gone.png", dir.path(), "1x1"));
    }

    void addFilesDialog_data()
    {
        QTest::addColumn<bool>("rememberedExists");
        QTest::addColumn<bool>("choose");
        QTest::addColumn<bool>("picturesExists");
        QTest::newRow("remembered folder, files chosen") << true << true << true;
        QTest::newRow("remembered folder gone, files chosen") << false << true << true;
        QTest::newRow("cancelled") << true << false << true;
        QTest::newRow("no remembered nor pictures folder: home") << false << false << false;
    }

    void addFilesDialog()
    {
        QFETCH(bool, rememberedExists);
        QFETCH(bool, choose);
        QFETCH(bool, picturesExists);
        QTemporaryDir dir;
        const QString remembered = dir.filePath(rememberedExists ? "remembered" : "gone");
        if (rememberedExists)
            QDir().mkpath(remembered);
        const QString pictures = dir.filePath("pictures");
        makeImage(pictures + "/one.png", QSize(4, 4));
        makeImage(pictures + "/two.jpg", QSize(4, 4), "JPG");
        if (rememberedExists)
            makeImage(remembered + "/three.png", QSize(4, 4));
        updateOptions([&](ConversionOptions &o) { o.lastPicturesDir = remembered; });
        const QString folder = rememberedExists ? remembered : picturesExists ? pictures : QDir::homePath();

        QString shownFolder;
        QString title;
        QStringList filters;
        QTimer answer;
        answer.setInterval(10);
        connect(&answer, &QTimer::timeout, this, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            answer.stop();
            title = dialog->windowTitle();
            shownFolder = dialog->directory().absolutePath();
            filters = dialog->nameFilters();
            if (!choose) {
                dialog->reject();
                return;
            }
            TestSupport::answerFileDialog(dialog,
                QString("\"%1\" \"%2\"")
                    .arg(folder + "/" + (rememberedExists ? "three.png" : "two.jpg"), pictures + "/one.png"));
        });
        answer.start();
        const QStringList chosen
            = AddFilesDialog::getImageFiles(nullptr, picturesExists ? pictures : QString());

        QCOMPARE(title, QStringLiteral("Add Image Files"));
        QCOMPARE(shownFolder, QDir(folder).absolutePath());
        // Every format the list takes when dropped (camera RAW among them), and a way out of the filter.
        QCOMPARE(filters,
            QStringList(
                { "Image Files (*.avif *.gif *.heic *.heif *.jpg *.jpeg *.jxl *.png *.tif *.tiff *.webp "
                  "*.dng *.cr2 *.cr3 *.nef *.nrw *.arw *.sr2 *.raf *.orf *.rw2 *.pef *.srw *.3fr *.iiq)",
                    "All files (*)" }));
        if (!choose) {
            QVERIFY(chosen.isEmpty());
            QCOMPARE(conversionOptions().lastPicturesDir, remembered);
            return;
        }
        QCOMPARE(chosen.size(), 2);
        QCOMPARE(conversionOptions().lastPicturesDir, QDir::fromNativeSeparators(folder));
        QVERIFY(!conversionOptions().lastPicturesDir.contains(QLatin1Char('\\')));
    }
};

QTEST_MAIN(TestAddUrls)
#include "tst_addurls.moc"
