// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "dialoganswer.h"
#include "filelist/convertimageframe.h"
#include "filelist/convertimagetreeview.h"
#include "filelist/thumbnailcache.h"
#include "form/convertimageform.h"
#include "testsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace {

using TestSupport::DebugLog::linesStartingWith;

const QString GeneratingText = QStringLiteral("Generating preview\u2026");

} // namespace

class TestFormFileList : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::DebugLog::install(); }
    void cleanupTestCase() { TestSupport::DebugLog::uninstall(); }
    void init();
    void cleanup();

    void droppedFolderIsListedAndPreviewed();
    void listButtons_data();
    void listButtons();
    void removingTheOnlyRowDisablesConvertAndClear();
    void clearReturnsToTheDropFrame();
    void abandoningStopsARunningAddWorker();
    void addingNothingKeepsPageAndButtons_data();
    void addingNothingKeepsPageAndButtons();
    void filesNotAddedAreExplained_data();
    void filesNotAddedAreExplained();
    void addFolderScansAsADrop_data();
    void addFolderScansAsADrop();
    void listSaysHowManyFilesItHolds();
    void iconsComeFirstForTheRowsInView();

private:
    template <typename T> T *widget(const char *name) const
    {
        return TestSupport::child<T>(form.get(), name);
    }
    QStringList makeImages(const QString &folder, int count);
    void listFiles(const QStringList &paths);
    QStringList listedFiles() const;
    void dropOn(QWidget *target, const QList<QUrl> &urls);

    QTemporaryDir dir;
    std::unique_ptr<ConvertImageForm> form;
};

void TestFormFileList::init()
{
    QVERIFY(dir.isValid());
    ThumbnailCache::instance().clear();
    TestSupport::DebugLog::clear();
    form = std::make_unique<ConvertImageForm>();
    form->show();
}

void TestFormFileList::cleanup()
{
    form.reset();
}

QStringList TestFormFileList::makeImages(const QString &folder, int count)
{
    QDir().mkpath(folder);
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        QImage image = TestSupport::filledImage(QSize(40 + i, 30), QColor::fromHsv(i * 40 % 360, 200, 200));
        const QString path = QDir::toNativeSeparators(folder + QStringLiteral("/img%1.png").arg(i));
        if (!image.save(path))
            qFatal("cannot write %s", qPrintable(path));
        paths.append(path);
    }
    return paths;
}

void TestFormFileList::listFiles(const QStringList &paths)
{
    QSignalSpy toolbar(form.get(), &ConvertImageForm::showToolbarSignal);
    form->on_ImageFilesSelected(paths);
    QTRY_COMPARE_WITH_TIMEOUT(widget<QTreeView>("sourceTreeView")->model()->rowCount(), paths.size(), 10000);
    QTRY_VERIFY(widget<QToolButton>("convertButton")->isEnabled());
}

QStringList TestFormFileList::listedFiles() const
{
    QAbstractItemModel *model = widget<QTreeView>("sourceTreeView")->model();
    QStringList files;
    for (int row = 0; row < model->rowCount(); ++row)
        files.append(model->index(row, 1).data().toString());
    return files;
}

void TestFormFileList::dropOn(QWidget *target, const QList<QUrl> &urls)
{
    QMimeData mime;
    mime.setUrls(urls);
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::LinkAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction | Qt::LinkAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
}

void TestFormFileList::droppedFolderIsListedAndPreviewed()
{
    const QString folder = dir.filePath(QStringLiteral("drop"));
    makeImages(folder, 3);
    QFile notAnImage(folder + QStringLiteral("/readme.txt"));
    QVERIFY(notAnImage.open(QIODevice::WriteOnly));
    notAnImage.close();

    auto *stack = widget<QStackedWidget>("sourceStackedWidget");
    QCOMPARE(stack->currentWidget(), widget<QWidget>("sourceFrame"));
    QSignalSpy toolbar(form.get(), &ConvertImageForm::showToolbarSignal);
    dropOn(widget<ConvertImageFrame>("sourceFrame"), { QUrl::fromLocalFile(folder) });

    auto *view = widget<ConvertImageTreeView>("sourceTreeView");
    QTRY_COMPARE(view->model()->rowCount(), 3);
    QTRY_COMPARE(stack->currentWidget(), static_cast<QWidget *>(view));
    QVERIFY(!toolbar.isEmpty());
    QCOMPARE(toolbar.constFirst().constFirst().toBool(), false);

    const QStringList files = listedFiles();
    QCOMPARE(view->currentIndex().row(), 2);
    const QStringList requested = linesStartingWith(QStringLiteral("ConvertImageForm::loadImage: "));
    QVERIFY(!requested.isEmpty());
    QCOMPARE(requested.constLast(), files.constLast());
    for (const char *name : { "convertButton", "clearButton", "removeButton", "upButton" })
        QVERIFY2(widget<QToolButton>(name)->isEnabled(), name);

    // The preview of the last file arrives in the label.
    auto *label = widget<QLabel>("previewImage");
    QTRY_VERIFY_WITH_TIMEOUT(!label->pixmap().isNull(), 10000);
    QCOMPARE(label->pixmap().size(), QImage(files.constLast()).size());
}

void TestFormFileList::listButtons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("selectedRow");
    QTest::addColumn<QList<int>>("order");
    QTest::addColumn<int>("currentRow");

    QTest::newRow("remove a middle row") << "removeButton" << 1 << QList<int> { 0, 2, 3 } << 1;
    QTest::newRow("remove the last row") << "removeButton" << 3 << QList<int> { 0, 1, 2 } << 2;
    QTest::newRow("up") << "upButton" << 2 << QList<int> { 0, 2, 1, 3 } << 1;
    QTest::newRow("down") << "downButton" << 1 << QList<int> { 0, 2, 1, 3 } << 2;
}

void TestFormFileList::listButtons()
{
    QFETCH(QString, button);
    QFETCH(int, selectedRow);
    QFETCH(QList<int>, order);
    QFETCH(int, currentRow);

    const QStringList files = makeImages(dir.filePath(QStringLiteral("buttons")), 4);
    listFiles(files);
    QCOMPARE(listedFiles(), files);

    auto *view = widget<ConvertImageTreeView>("sourceTreeView");
    view->clearSelection();
    QVERIFY(!widget<QToolButton>("removeButton")->isEnabled());
    view->setCurrentIndex(view->model()->index(selectedRow, 0));
    QVERIFY(widget<QToolButton>("removeButton")->isEnabled());
    QCOMPARE(widget<QToolButton>("upButton")->isEnabled(), selectedRow > 0);
    QCOMPARE(widget<QToolButton>("downButton")->isEnabled(), selectedRow < 3);
    QCOMPARE(
        linesStartingWith(QStringLiteral("on_itemSelection_changed: ")).constLast(), files.at(selectedRow));

    QTest::mouseClick(widget<QToolButton>(button.toLatin1().constData()), Qt::LeftButton);

    QStringList expected;
    for (int row : std::as_const(order))
        expected.append(files.at(row));
    QCOMPARE(listedFiles(), expected);
    QCOMPARE(view->currentIndex().row(), currentRow);
    QVERIFY(widget<QToolButton>("convertButton")->isEnabled());
}

void TestFormFileList::removingTheOnlyRowDisablesConvertAndClear()
{
    listFiles(makeImages(dir.filePath(QStringLiteral("only")), 1));
    auto *view = widget<ConvertImageTreeView>("sourceTreeView");
    QTest::mouseClick(widget<QToolButton>("removeButton"), Qt::LeftButton);

    QCOMPARE(view->model()->rowCount(), 0);
    QVERIFY(!widget<QToolButton>("convertButton")->isEnabled());
    QVERIFY(!widget<QToolButton>("clearButton")->isEnabled());
    QCOMPARE(widget<QStackedWidget>("sourceStackedWidget")->currentWidget(), static_cast<QWidget *>(view));
}

void TestFormFileList::clearReturnsToTheDropFrame()
{
    listFiles(makeImages(dir.filePath(QStringLiteral("clear")), 3));
    auto *label = widget<QLabel>("previewImage");
    QTRY_VERIFY_WITH_TIMEOUT(!label->pixmap().isNull(), 10000);

    QTest::mouseClick(widget<QToolButton>("clearButton"), Qt::LeftButton);

    QCOMPARE(widget<QTreeView>("sourceTreeView")->model()->rowCount(), 0);
    QCOMPARE(widget<QStackedWidget>("sourceStackedWidget")->currentWidget(), widget<QWidget>("sourceFrame"));
    for (const char *name : { "convertButton", "removeButton", "clearButton", "upButton", "downButton" })
        QVERIFY2(!widget<QToolButton>(name)->isEnabled(), name);
    QCOMPARE(label->text(), QStringLiteral("Preview"));
    QVERIFY(label->pixmap().isNull());

    // The list takes the same files again.
    listFiles(makeImages(dir.filePath(QStringLiteral("clear")), 3));
}

void TestFormFileList::abandoningStopsARunningAddWorker()
{
    const QString folder = dir.filePath(QStringLiteral("many"));
    QDir().mkpath(folder);
    const int total = 4000;
    for (int i = 0; i < total; ++i) {
        QFile file(folder + QStringLiteral("/f%1.png").arg(i));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    dropOn(widget<ConvertImageFrame>("sourceFrame"), { QUrl::fromLocalFile(folder) });
    QVERIFY(form->hasRunningWork());
    // What the main window does when it is closed.
    form->abandonWork();

    QAbstractItemModel *model = widget<QTreeView>("sourceTreeView")->model();
    const int listed = model->rowCount();
    QTest::qWait(300);
    QCOMPARE(model->rowCount(), listed);
    QVERIFY(listed < total);
    QTRY_VERIFY(!form->hasRunningWork());
}

void TestFormFileList::addingNothingKeepsPageAndButtons_data()
{
    QTest::addColumn<int>("listed");
    QTest::addColumn<QString>("added"); // "empty" folder, "same" files again, or an option "change"

    QTest::newRow("empty folder on an empty list") << 0 << "empty";
    QTest::newRow("empty folder on a list") << 3 << "empty";
    QTest::newRow("only duplicates") << 3 << "same";
    QTest::newRow("option change after Clear") << 0 << "change";
}

void TestFormFileList::addingNothingKeepsPageAndButtons()
{
    QFETCH(int, listed);
    QFETCH(QString, added);

    const QString emptyFolder = dir.filePath(QStringLiteral("nothing"));
    QDir().mkpath(emptyFolder);
    const QStringList files = makeImages(dir.filePath(QStringLiteral("some")), 3);
    auto *view = widget<ConvertImageTreeView>("sourceTreeView");
    auto *label = widget<QLabel>("previewImage");
    if (listed > 0 || added == QLatin1String("change")) {
        listFiles(files);
        view->setCurrentIndex(view->model()->index(1, 0));
        QTRY_VERIFY_WITH_TIMEOUT(!form->hasRunningWork(), 10000);
    }
    if (listed == 0 && added == QLatin1String("change"))
        QTest::mouseClick(widget<QToolButton>("clearButton"), Qt::LeftButton);
    auto *stack = widget<QStackedWidget>("sourceStackedWidget");
    QWidget *page = stack->currentWidget();

    QSignalSpy status(form.get(), &ConvertImageForm::statusMessage);
    if (added == QLatin1String("empty"))
        dropOn(listed > 0 ? view->viewport() : widget<QWidget>("sourceFrame"),
            { QUrl::fromLocalFile(emptyFolder) });
    else if (added == QLatin1String("same"))
        form->on_ImageFilesSelected(files);
    else
        widget<QComboBox>("positionComboBox")->setCurrentIndex(1);
    QTRY_VERIFY_WITH_TIMEOUT(!form->hasRunningWork(), 10000);

    QCOMPARE(view->model()->rowCount(), listed);
    QCOMPARE(stack->currentWidget(), page);
    QCOMPARE(status.count(), added == QLatin1String("change") ? 0 : 1);
    // Files left out are explained; an add that found nothing at all says so.
    if (!status.isEmpty())
        QCOMPARE(status.constFirst().constFirst().toString(),
            added == QLatin1String("same") ? QStringLiteral("3 files not added: already in the list")
                                           : QStringLiteral("No new images found"));
    for (const char *name : { "convertButton", "clearButton", "removeButton" })
        QVERIFY2(widget<QToolButton>(name)->isEnabled() == (listed > 0), name);
    if (listed > 0) {
        // The row selected before the add is previewed again.
        QCOMPARE(view->currentIndex().row(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!label->pixmap().isNull(), 10000);
        QCOMPARE(label->pixmap().size(), QImage(files.at(1)).size());
    } else {
        QCOMPARE(label->text(), QStringLiteral("Preview"));
    }
}

void TestFormFileList::filesNotAddedAreExplained_data()
{
    QTest::addColumn<QStringList>("dropped"); // names under the test folder; "dir/" is a folder
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("message");

    QTest::newRow("bmp, jpe and text among pictures") << QStringList { "p/a.png", "p/b.bmp", "p/c.jpe",
        "p/d.txt", "p/e.jpg" } << 2 << "3 files not added: not a supported image";
    QTest::newRow("one unsupported") << QStringList { "p/a.png", "p/b.bmp" } << 1
                                     << "1 file not added: not a supported image";
    QTest::newRow("folder with strangers and a missing file")
        << QStringList { "f/", "gone.png" } << 2 << "3 files not added: 2 not a supported image, 1 not found";
    QTest::newRow("all fine") << QStringList { "p/a.png", "p/e.jpg" } << 2 << QString();
}

void TestFormFileList::filesNotAddedAreExplained()
{
    QFETCH(QStringList, dropped);
    QFETCH(int, rows);
    QFETCH(QString, message);

    const QString root = dir.filePath(QStringLiteral("explained"));
    QDir(root).removeRecursively();
    const QImage picture = TestSupport::filledImage(QSize(16, 12), Qt::darkCyan);
    // The bitmap and the JPEG with the older suffix are real pictures: only their suffix is refused.
    for (const char *name : { "p/a.png", "p/e.jpg", "f/x.png", "f/sub/y.webp" }) {
        QDir().mkpath(QFileInfo(root + "/" + name).path());
        QVERIFY(TestSupport::saveImage(picture, root + "/" + name));
    }
    QVERIFY(picture.save(root + "/p/b.bmp", "BMP"));
    QVERIFY(picture.save(root + "/p/c.jpe", "JPG"));
    QVERIFY(TestSupport::writeFile(root + "/p/d.txt", "text"));
    QVERIFY(TestSupport::writeFile(root + "/f/notes.txt", "text"));
    QVERIFY(picture.save(root + "/f/sub/scan.bmp", "BMP"));

    QList<QUrl> urls;
    for (const QString &name : dropped)
        urls.append(QUrl::fromLocalFile(root + "/" + name));
    QSignalSpy status(form.get(), &ConvertImageForm::statusMessage);
    dropOn(widget<QWidget>("sourceFrame"), urls);
    QTRY_VERIFY_WITH_TIMEOUT(!form->hasRunningWork(), 10000);
    QCOMPARE(widget<QTreeView>("sourceTreeView")->model()->rowCount(), rows);
    QStringList said;
    for (const QList<QVariant> &signal : std::as_const(status))
        said.append(signal.constFirst().toString());
    QCOMPARE(said, message.isEmpty() ? QStringList() : QStringList { message });
}

void TestFormFileList::addFolderScansAsADrop_data()
{
    QTest::addColumn<bool>("byShortcut");
    QTest::newRow("button") << false;
    QTest::newRow("Ctrl+Shift+O") << true;
}

void TestFormFileList::addFolderScansAsADrop()
{
    QFETCH(bool, byShortcut);
    const QString folder = dir.filePath(QStringLiteral("chosen"));
    QDir(folder).removeRecursively();
    const QStringList top = makeImages(folder, 2);
    const QStringList nested = makeImages(folder + QStringLiteral("/2024/june"), 1);
    auto *button = widget<QToolButton>("addFolderButton");
    QVERIFY(button->isEnabled());
    QCOMPARE(button->accessibleName(), QStringLiteral("Add Folder"));
    QVERIFY(!button->icon().isNull());

    TestSupport::chooseInFileDialog(folder);
    if (byShortcut) {
        QApplication::setActiveWindow(form.get());
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClick(form.get(), Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
    } else {
        QTest::mouseClick(button, Qt::LeftButton);
    }
    QTRY_COMPARE_WITH_TIMEOUT(listedFiles().size(), 3, 10000);
    QStringList expected;
    for (const QString &path : top + nested)
        expected.append(QDir::fromNativeSeparators(path));
    QStringList listed;
    for (const QString &path : listedFiles())
        listed.append(QDir::fromNativeSeparators(path));
    QCOMPARE(listed, expected);
    QCOMPARE(TestSupport::storedValue(QStringLiteral("lastPicturesDir")).toString(), folder);
}

void TestFormFileList::listSaysHowManyFilesItHolds()
{
    auto *count = widget<QLabel>("fileCountLabel");
    QVERIFY(!count->isVisible());
    const QStringList files = makeImages(dir.filePath(QStringLiteral("counted")), 3);
    listFiles(files.mid(0, 1));
    QTRY_VERIFY(count->isVisible());
    QCOMPARE(count->text(), QStringLiteral("1 file"));
    listFiles(files);
    QCOMPARE(count->text(), QStringLiteral("3 files"));
    auto *view = widget<ConvertImageTreeView>("sourceTreeView");
    QTRY_VERIFY_WITH_TIMEOUT(!form->hasRunningWork(), 10000);
    view->setCurrentIndex(view->model()->index(0, 0));
    QTest::mouseClick(widget<QToolButton>("removeButton"), Qt::LeftButton);
    QCOMPARE(count->text(), QStringLiteral("2 files"));
    QTest::mouseClick(widget<QToolButton>("clearButton"), Qt::LeftButton);
    QVERIFY(!count->isVisible());
}

// After a drop the list shows its end: those rows get their icons first, then the rest from the
// top; after a scroll, the rows then in view come next.
void TestFormFileList::iconsComeFirstForTheRowsInView()
{
    const QString folder = dir.filePath(QStringLiteral("many"));
    QDir().mkpath(folder);
    QStringList paths;
    const QImage photo = TestSupport::makePhotoLike(900, 600);
    for (int i = 0; i < 160; ++i) {
        paths.append(
            QDir::toNativeSeparators(folder + QStringLiteral("/p%1.png").arg(i, 3, 10, QLatin1Char('0'))));
        QVERIFY(photo.save(paths.last()));
    }
    auto *view = widget<ConvertImageTreeView>("sourceTreeView");
    QAbstractItemModel *model = view->model();
    QList<int> arrivals;
    connect(
        model, &QAbstractItemModel::dataChanged, this, [&](const QModelIndex &from, const QModelIndex &to) {
            for (int row = from.row(); row <= to.row(); ++row) {
                if (!model->index(row, 0).data(Qt::DecorationRole).isNull() && !arrivals.contains(row))
                    arrivals.append(row);
            }
        });
    const auto rowsInView = [view] {
        const QRect area = view->viewport()->rect();
        const int top = view->indexAt(area.topLeft()).row();
        const QModelIndex bottom = view->indexAt(area.bottomLeft());
        const int last = bottom.isValid() ? bottom.row() : view->model()->rowCount() - 1;
        QList<int> rows;
        for (int row = top; top >= 0 && row <= last; ++row)
            rows.append(row);
        return rows;
    };
    // Icons started before the view was known, and those on their way when it changed.
    constexpr int Slack = 12;
    const auto cameEarly = [&](const QList<int> &rows, int from) {
        for (const int row : rows) {
            const qsizetype at = arrivals.indexOf(row);
            if (at < 0 || at >= from + rows.size() + Slack)
                return QStringLiteral("row %1 came %2th of %3").arg(row).arg(at + 1).arg(rows.size());
        }
        return QString();
    };

    form->on_ImageFilesSelected(paths);
    QTRY_COMPARE_WITH_TIMEOUT(model->rowCount(), 160, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(view->verticalScrollBar()->value() > 0, 10000);
    const QList<int> end = rowsInView();
    QVERIFY(!end.isEmpty() && end.last() == 159);
    QTRY_VERIFY_WITH_TIMEOUT(arrivals.size() >= end.size() + Slack, 60000);
    QVERIFY2(cameEarly(end, 0).isEmpty(), qPrintable(cameEarly(end, 0)));

    view->scrollTo(model->index(100, 0), QAbstractItemView::PositionAtTop);
    const QList<int> middle = rowsInView();
    QVERIFY(middle.contains(100));
    const int before = int(arrivals.size());
    QVERIFY2(before + middle.size() + Slack < 160, "the icons were made too fast to see their order");
    QTRY_COMPARE_WITH_TIMEOUT(int(arrivals.size()), 160, 120000);
    QVERIFY2(cameEarly(middle, before).isEmpty(), qPrintable(cameEarly(middle, before)));
}

int main(int argc, char *argv[])
{
    return TestSupport::runWidgetTest<TestFormFileList>(argc, argv);
}

#include "tst_formfilelist.moc"
