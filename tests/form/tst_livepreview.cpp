// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "filelist/convertimagetreeview.h"
#include "filelist/previewdialog.h"
#include "filelist/thumbnailcache.h"
#include "formsupport.h"
#include "testsupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QLabel>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace {

using TestSupport::DebugLog::linesStartingWith;

int arrivals()
{
    return linesStartingWith(QStringLiteral("handleUpdatePreviewImage")).size();
}

QStringList renders()
{
    return linesStartingWith(QStringLiteral("LoadPreviewImageThread::createPreviewImage: "));
}

const QString GeneratingText = QStringLiteral("Generating preview\u2026");

} // namespace

class TestLivePreview : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { TestSupport::DebugLog::uninstall(); }
    void init();
    void cleanup() { form.reset(); }

    void rapidSelectionStartsOneWorker();
    void returningToAFileReadsItsThumbnail();
    void supersededWorkerNeverReachesTheLabel();
    void unreadableFileKeepsTheWaitingText();
    void abandoningDropsTheBusyPreview();
    void doubleClickOpensTheReusedFullPreview();
    void removedFilesLeaveNoPreview_data();
    void removedFilesLeaveNoPreview();
    void staleRequestSurvivesAQuickSelection();
    void previewSizeFollowsTheForm_data();
    void previewSizeFollowsTheForm();
    void largerWindowRendersALargerPreview();

private:
    template <typename T> T *widget(const char *name) const
    {
        return TestSupport::child<T>(form.get(), name);
    }
    QString makeImage(const QString &name, QSize size, QColor color);
    void listFiles(const QStringList &paths);
    void select(int row);
    QColor shownColor() const;
    bool shows(QColor expected) const;

    QTemporaryDir dir;
    std::unique_ptr<ConvertImageForm> form;
};

void TestLivePreview::initTestCase()
{
    QVERIFY(dir.isValid());
    TestSupport::DebugLog::install();
}

void TestLivePreview::init()
{
    ThumbnailCache::instance().clear();
    form = TestSupport::startForm(TestSupport::FirstStartSize);
    TestSupport::DebugLog::clear();
}

QString TestLivePreview::makeImage(const QString &name, QSize size, QColor color)
{
    QImage image = TestSupport::filledImage(size, color);
    const QString path = QDir::toNativeSeparators(dir.filePath(name));
    if (!image.save(path))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// Lists the files and waits until the preview that the add finish asks for has been handled.
void TestLivePreview::listFiles(const QStringList &paths)
{
    form->on_ImageFilesSelected(paths);
    QTRY_COMPARE_WITH_TIMEOUT(widget<QTreeView>("sourceTreeView")->model()->rowCount(), paths.size(), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(arrivals(), 1, 20000);
    TestSupport::DebugLog::clear();
}

void TestLivePreview::select(int row)
{
    auto *view = widget<ConvertImageTreeView>("sourceTreeView");
    view->setCurrentIndex(view->model()->index(row, 0));
}

QColor TestLivePreview::shownColor() const
{
    const QPixmap pixmap = widget<QLabel>("previewImage")->pixmap();
    return pixmap.isNull() ? QColor() : pixmap.toImage().pixelColor(pixmap.width() / 2, pixmap.height() / 2);
}

// Thumbnails are lossy WebP, so colours are compared loosely.
bool TestLivePreview::shows(QColor expected) const
{
    const QColor shown = shownColor();
    if (!shown.isValid())
        return false;
    return qAbs(shown.red() - expected.red()) < 40 && qAbs(shown.green() - expected.green()) < 40
        && qAbs(shown.blue() - expected.blue()) < 40;
}

void TestLivePreview::rapidSelectionStartsOneWorker()
{
    QStringList files;
    for (int i = 0; i < 5; ++i)
        files.append(makeImage(
            QStringLiteral("rapid%1.png").arg(i), QSize(300, 200), QColor::fromHsv(i * 60, 255, 255)));
    listFiles(files);

    // Five changes in a row, ending on a file not previewed yet.
    widget<ConvertImageTreeView>("sourceTreeView")->clearSelection();
    for (int row = 4; row >= 0; --row)
        select(row);
    QCOMPARE(linesStartingWith(QStringLiteral("ConvertImageForm::loadImage: ")).size(), 5);

    QTRY_COMPARE_WITH_TIMEOUT(arrivals(), 1, 20000);
    QCOMPARE(renders(), QStringList { files.constFirst() });
    QCOMPARE(linesStartingWith(QStringLiteral("ConvertImageForm::_loadImage: ")),
        QStringList { files.constFirst() });
    QVERIFY(shows(Qt::red));
}

void TestLivePreview::returningToAFileReadsItsThumbnail()
{
    if (!QImageWriter::supportedImageFormats().contains("webp"))
        QSKIP("no WebP writer: thumbnails are never written");
    const QString a = makeImage(QStringLiteral("a.png"), QSize(800, 600), Qt::red);
    const QString b = makeImage(QStringLiteral("b.png"), QSize(800, 600), Qt::blue);
    listFiles({ a, b });

    select(0);
    QTRY_COMPARE_WITH_TIMEOUT(arrivals(), 1, 20000);
    QVERIFY(shows(Qt::red));
    select(1);
    QTRY_COMPARE_WITH_TIMEOUT(arrivals(), 2, 20000);
    QVERIFY(shows(Qt::blue));
    select(0);
    QTRY_COMPARE_WITH_TIMEOUT(arrivals(), 3, 20000);

    QCOMPARE(renders(), QStringList { a });
    QCOMPARE(linesStartingWith(QStringLiteral("Reload from thumbnail: ")).size(), 2);
    QCOMPARE(widget<QLabel>("previewImage")->pixmap().size(), QSize(308, 231));
    QVERIFY(shows(Qt::red));
}

void TestLivePreview::supersededWorkerNeverReachesTheLabel()
{
    // A 24-megapixel photo: slow enough to render that the second request arrives while it is
    // still running.
    const QString slow = QDir::toNativeSeparators(dir.filePath(QStringLiteral("slow.jpg")));
    QVERIFY(TestSupport::saveImage(TestSupport::makePhotoLike(6000, 4000), slow, 90));
    const QString quick = makeImage(QStringLiteral("quick.png"), QSize(200, 100), Qt::magenta);
    listFiles({ slow, quick });

    select(0);
    QTRY_COMPARE_WITH_TIMEOUT(renders(), QStringList { slow }, 20000);
    const int before = arrivals();
    select(1);
    QTRY_VERIFY_WITH_TIMEOUT(shows(Qt::magenta), 20000);
    // On a loaded machine the slow render may already have ended; when it was still running it
    // was superseded, and then only the quick picture arrived.
    if (linesStartingWith(QStringLiteral("100ms passed!")).size() == 1)
        QCOMPARE(arrivals(), before + 1);

    // Let a cancelled render run out; whatever it makes is not shown.
    const int settled = arrivals();
    QTest::qWait(1500);
    QCOMPARE(arrivals(), settled);
    QVERIFY(shows(Qt::magenta));
}

void TestLivePreview::unreadableFileKeepsTheWaitingText()
{
    const QString broken = QDir::toNativeSeparators(dir.filePath(QStringLiteral("broken.png")));
    QVERIFY(TestSupport::writeFile(broken, "this is not a picture"));

    form->on_ImageFilesSelected({ broken });
    QTRY_COMPARE_WITH_TIMEOUT(arrivals(), 1, 20000);
    QCOMPARE(renders(), QStringList { broken });
    auto *label = widget<QLabel>("previewImage");
    QCOMPARE(label->text(), GeneratingText);
    QVERIFY(label->pixmap().isNull());
}

void TestLivePreview::abandoningDropsTheBusyPreview()
{
    const QString slow = makeImage(QStringLiteral("busy.png"), QSize(6000, 4000), Qt::yellow);
    QSignalSpy closeSpy(form.get(), &ConvertImageForm::closeApp);
    form->loadImage(slow, false);
    QTRY_COMPARE_WITH_TIMEOUT(renders(), QStringList { slow }, 20000);
    QVERIFY(form->hasRunningWork());

    form->abandonWork();
    QVERIFY(!form->hasRunningWork());
    // A request after the close began starts nothing.
    form->loadImage(slow, true);
    QTest::qWait(400);
    QCOMPARE(renders().size(), 1);
    QCOMPARE(arrivals(), 0);
    QCOMPARE(closeSpy.count(), 0);
}

void TestLivePreview::doubleClickOpensTheReusedFullPreview()
{
    const QString a = makeImage(QStringLiteral("full.png"), QSize(640, 480), Qt::cyan);
    listFiles({ a });

    QStringList titles;
    QList<QWidget *> dialogs;
    auto answer = [&] {
        QWidget *modal = QApplication::activeModalWidget();
        QVERIFY(qobject_cast<PreviewDialog *>(modal));
        titles.append(modal->windowTitle());
        dialogs.append(modal);
        modal->close();
    };
    for (int opening = 0; opening < 2; ++opening) {
        QTimer::singleShot(200, this, answer);
        QTest::mouseDClick(widget<QLabel>("previewImage"), Qt::LeftButton);
    }
    QCOMPARE(titles, QStringList(2, QStringLiteral("Preview - full.png")));
    QCOMPARE(dialogs.at(0), dialogs.at(1));
}

void TestLivePreview::removedFilesLeaveNoPreview_data()
{
    QTest::addColumn<bool>("rendering");
    QTest::newRow("while the request waits") << false;
    QTest::newRow("while the preview is made") << true;
}

// Every row removed (Ctrl+A, Delete) while a preview is on its way: the label says "Preview", no
// picture of a removed file arrives, and the full preview does not open on nothing.
void TestLivePreview::removedFilesLeaveNoPreview()
{
    QFETCH(bool, rendering);
    const QString a = makeImage(QStringLiteral("gone-a.png"), QSize(6000, 4000), Qt::red);
    const QString b = makeImage(QStringLiteral("gone-b.png"), QSize(400, 300), Qt::blue);
    listFiles({ a, b });
    select(0);
    if (rendering)
        QTRY_COMPARE_WITH_TIMEOUT(renders(), QStringList { a }, 20000);
    auto *view = widget<ConvertImageTreeView>("sourceTreeView");
    QApplication::setActiveWindow(form.get());
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    view->setFocus();
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_Delete);
    QCOMPARE(view->model()->rowCount(), 0);
    QTest::qWait(rendering ? 3000 : 600);
    QCOMPARE(arrivals(), 0);
    auto *label = widget<QLabel>("previewImage");
    QCOMPARE(label->text(), QStringLiteral("Preview"));
    QVERIFY(label->pixmap().isNull());

    bool opened = false;
    QTimer::singleShot(300, this, [&] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            opened = true;
            modal->close();
        }
    });
    QTest::mouseDClick(label, Qt::LeftButton);
    QTest::qWait(400);
    QVERIFY(!opened);
}

void TestLivePreview::staleRequestSurvivesAQuickSelection()
{
    if (!QImageWriter::supportedImageFormats().contains("webp"))
        QSKIP("no WebP writer: thumbnails are never written");
    const QString a = makeImage(QStringLiteral("stale-a.png"), QSize(400, 300), Qt::red);
    const QString b = makeImage(QStringLiteral("stale-b.png"), QSize(400, 300), Qt::blue);
    listFiles({ a, b });
    select(0);
    QTRY_COMPARE_WITH_TIMEOUT(arrivals(), 1, 20000);
    TestSupport::DebugLog::clear();

    // An option change, then another file picked within the debounce: both thumbnails are stale.
    form->loadImage(a, true);
    select(1);
    QTRY_COMPARE_WITH_TIMEOUT(arrivals(), 1, 20000);
    QCOMPARE(renders(), QStringList { b });
    QCOMPARE(linesStartingWith(QStringLiteral("Reload from thumbnail: ")), QStringList());
}

void TestLivePreview::previewSizeFollowsTheForm_data()
{
    QTest::addColumn<QSize>("formSize");
    QTest::addColumn<QSize>("previewSize");
    QTest::newRow("first start") << QSize(986, 513) << QSize(400, 231);
    QTest::newRow("smaller") << QSize(900, 480) << QSize(400, 231);
    QTest::newRow("wider") << QSize(1386, 513) << QSize(600, 231);
    QTest::newRow("larger") << QSize(1600, 900) << QSize(707, 424);
}

void TestLivePreview::previewSizeFollowsTheForm()
{
    QFETCH(QSize, formSize);
    QFETCH(QSize, previewSize);
    QCOMPARE(ConvertImageForm::livePreviewSize(formSize), previewSize);
}

// A larger window renders the same file again, larger, once the resize rests; back at the small
// size the preview is as before. (The window's first-start size itself is checked with the window:
// the form alone, without its stored settings, shows every toolbar control and is wider.)
void TestLivePreview::largerWindowRendersALargerPreview()
{
    const QString photo = makeImage(QStringLiteral("landscape.png"), QSize(4000, 3000), Qt::red);
    listFiles({ photo });
    auto *label = widget<QLabel>("previewImage");
    const QSize small = label->size();
    QCOMPARE(small, ConvertImageForm::livePreviewSize(form->size()));
    QCOMPARE(label->pixmap().size(), QSize(308, 231));

    // 4:3 into a wider box: fitted by height, as before.
    form->resize(1600, 900);
    QTRY_VERIFY_WITH_TIMEOUT(label->height() > 231, 5000);
    // (Within the two pixels the layout moves between the waiting text and the picture.)
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(label->pixmap().height() - label->height()) <= 2, 20000);
    QVERIFY2(label->width() > small.width() && label->height() > 231,
        qPrintable(QStringLiteral("%1x%2").arg(label->width()).arg(label->height())));
    QVERIFY(label->width() <= 707 && label->height() <= 424);
    QVERIFY(shows(Qt::red));
    // Showing the new preview asks for no other.
    const qsizetype requests = linesStartingWith(QStringLiteral("ConvertImageForm::loadImage: ")).size();
    QTest::qWait(500);
    QCOMPARE(linesStartingWith(QStringLiteral("ConvertImageForm::loadImage: ")).size(), requests);

    form->resize(TestSupport::FirstStartSize);
    QTRY_COMPARE_WITH_TIMEOUT(label->pixmap().size(), QSize(308, 231), 20000);
    QCOMPARE(label->size(), small);
}

int main(int argc, char *argv[])
{
    return TestSupport::runWidgetTest<TestLivePreview>(argc, argv);
}

#include "tst_livepreview.moc"
