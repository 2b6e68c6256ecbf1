// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/pathcompare.h"
#include "filelist/convertimageframe.h"
#include "filelist/convertimagetreeview.h"
#include "filelist/filelistmodel.h"
#include "filelist/filepathregistry.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

Q_DECLARE_METATYPE(QList<int>)

namespace {

enum class Spot { Above, Below, On, ViewportBelowRows };

} // namespace

Q_DECLARE_METATYPE(Spot)

class TestFileListView : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    FileListModel *model = nullptr;
    ConvertImageTreeView *view = nullptr;

    QString file(const QString &name) const { return normalPath(dir.filePath(name)); }

    void fill(int rows)
    {
        QStringList paths;
        for (int i = 0; i < rows; ++i) {
            const QString path = file(QString("r%1.png").arg(i));
            if (!QFile::exists(path)) {
                QImage image(8, 8, QImage::Format_RGB32);
                image.fill(Qt::red);
                QVERIFY(image.save(path));
            }
            paths.append(path);
        }
        QCOMPARE(model->appendFiles(paths), rows);
    }

    QStringList order() const
    {
        QStringList names;
        for (int row = 0; row < model->rowCount(); ++row)
            names.append(QFileInfo(model->filePath(row)).baseName());
        return names;
    }

    QStringList selectedNames() const
    {
        QList<int> rows;
        const QModelIndexList indexes = view->selectionModel()->selectedRows();
        for (const QModelIndex &index : indexes)
            rows.append(index.row());
        std::sort(rows.begin(), rows.end());
        QStringList names;
        for (int row : rows)
            names.append(QFileInfo(model->filePath(row)).baseName());
        return names;
    }

    QString currentName() const { return QFileInfo(model->filePath(view->currentIndex().row())).baseName(); }

    void selectRows(const QList<int> &rows)
    {
        view->selectionModel()->clearSelection();
        for (int row : rows)
            view->selectionModel()->select(
                model->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    QPoint spotPoint(int row, Spot spot) const
    {
        const QRect rect = view->visualRect(model->index(row, 0));
        switch (spot) {
        case Spot::Above:
            return QPoint(rect.center().x(), rect.top() + 1);
        case Spot::Below:
            return QPoint(rect.center().x(), rect.bottom() - 1);
        case Spot::On:
            return rect.center();
        case Spot::ViewportBelowRows:
            break;
        }
        const QRect last = view->visualRect(model->index(model->rowCount() - 1, 0));
        return QPoint(last.center().x(), last.bottom() + 40);
    }

    // A real drag with the mouse: press on `fromRow`, move until the view starts its drag, then,
    // inside the drag loop, move to `at` and release there.
    bool dragWithMouse(int fromRow, QPoint at)
    {
        const QPoint start = view->visualRect(model->index(fromRow, 0)).center();
        bool released = false;
        QTimer drop;
        drop.setSingleShot(true);
        connect(&drop, &QTimer::timeout, this, [&] {
            QWindow *window = view->window()->windowHandle();
            const QPoint point = view->viewport()->mapTo(view->window(), at);
            QTest::mouseMove(window, point);
            QTest::mouseMove(window, point);
            QTest::mouseRelease(window, Qt::LeftButton, {}, point);
            released = true;
        });
        drop.start(0);
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, start);
        // The first move makes the view ready to drag, the second, far enough away, starts it.
        QTest::mouseMove(view->viewport(), start + QPoint(0, 1));
        QTest::mouseMove(view->viewport(), start + QPoint(0, QApplication::startDragDistance() + 4));
        drop.stop();
        if (!released)
            QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, start);
        return released;
    }

    void checkIndexMatchesRows()
    {
        for (int row = 0; row < model->rowCount(); ++row) {
            QCOMPARE(model->rowOfFile(model->filePath(row)), row);
            QVERIFY(model->registry()->isListed(pathKey(model->filePath(row))));
        }
    }

    static void dropCases()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("folder without images") << QStringList { "empty" } << true;
        QTest::newRow("supported image") << QStringList { "pic.png" } << true;
        QTest::newRow("image first, text after") << QStringList { "pic.png", "notes.txt" } << true;
        QTest::newRow("folder named x.jpg") << QStringList { "x.jpg" } << true;
        QTest::newRow("text first") << QStringList { "notes.txt", "pic.png" } << false;
        QTest::newRow("missing file") << QStringList { "missing.png" } << false;
        QTest::newRow("no URLs") << QStringList {} << false;
    }

    void externalDrop(QWidget *target, QObject *sender)
    {
        QFETCH(QStringList, names);
        QFETCH(bool, accepted);
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString &name : names)
            urls.append(QUrl::fromLocalFile(dir.filePath(name)));
        if (urls.isEmpty())
            mime.setText("just text");
        else
            mime.setUrls(urls);

        QSignalSpy added(sender, SIGNAL(addURLs(QList<QUrl>)));
        const QPoint point(20, 20);
        const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
        QDragEnterEvent enter(point, actions, &mime, Qt::LeftButton, Qt::NoModifier);
        enter.setAccepted(false);
        QApplication::sendEvent(target, &enter);
        QCOMPARE(enter.isAccepted(), accepted);
        if (!accepted)
            return;
        QDragMoveEvent move(point, actions, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &move);
        QVERIFY(move.isAccepted());
        QDropEvent drop(point, actions, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        QCOMPARE(added.count(), 1);
        QCOMPARE(added.at(0).at(0).value<QList<QUrl>>(), urls);
        QCOMPARE(model->rowCount(), 0);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QVERIFY(image.save(dir.filePath("pic.png")));
        QVERIFY(QDir(dir.path()).mkpath("empty"));
        QVERIFY(QDir(dir.path()).mkpath("x.jpg"));
        QFile notes(dir.filePath("notes.txt"));
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("text");
    }

    void init()
    {
        model = new FileListModel(this);
        view = new ConvertImageTreeView;
        view->setModel(model);
        view->resize(300, 700);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view));
    }

    void cleanup()
    {
        delete view;
        delete model;
    }

    void pathColumnIsHidden()
    {
        fill(2);
        QVERIFY(view->isColumnHidden(FileListModel::PathColumn));
        QVERIFY(!view->isColumnHidden(FileListModel::NameColumn));
        QCOMPARE(model->item(1, FileListModel::NameColumn)->text(), QStringLiteral("r1.png"));
        QCOMPARE(model->item(1, FileListModel::PathColumn)->text(), file("r1.png"));
        QVERIFY(model->item(1, FileListModel::NameColumn)->icon().isNull());
    }

    void rowsAreAsHighAsTheIcon_data()
    {
        QTest::addColumn<QList<QSize>>("icons"); // per row; an empty size: no icon yet
        QTest::newRow("first row without icon") << QList<QSize> { QSize(), QSize(64, 85), QSize(85, 64) };
        QTest::newRow("landscape first") << QList<QSize> { QSize(85, 64), QSize(64, 85), QSize() };
    }

    void rowsAreAsHighAsTheIcon()
    {
        QFETCH(QList<QSize>, icons);
        fill(int(icons.size()));
        for (int row = 0; row < icons.size(); ++row) {
            if (icons[row].isEmpty())
                continue;
            QImage icon(icons[row], QImage::Format_RGB32);
            icon.fill(Qt::green);
            QVERIFY(model->setFileIcon(model->filePath(row), icon, "r.png", dir.path(), "8x8"));
        }
        for (int row = 0; row < icons.size(); ++row)
            QVERIFY2(view->visualRect(model->index(row, 0)).height() >= 64, qPrintable(QString::number(row)));
    }

    void selectionState_data()
    {
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QString>("first");
        QTest::addColumn<bool>("canMoveUp");
        QTest::addColumn<bool>("canMoveDown");
        QTest::newRow("first row") << QList<int> { 0 } << "r0" << false << true;
        QTest::newRow("last row") << QList<int> { 4 } << "r4" << true << false;
        QTest::newRow("middle row") << QList<int> { 2 } << "r2" << true << true;
        QTest::newRow("middle, then the first row") << QList<int> { 3, 0 } << "r3" << false << true;
        QTest::newRow("the last row among others") << QList<int> { 1, 4, 2 } << "r1" << true << false;
    }

    void selectionState()
    {
        QFETCH(QList<int>, rows);
        QFETCH(QString, first);
        QFETCH(bool, canMoveUp);
        QFETCH(bool, canMoveDown);
        fill(5);
        QSignalSpy changed(view->selectionModel(), &QItemSelectionModel::selectionChanged);
        selectRows(rows);
        const auto state = view->selectionState(changed.last().at(0).value<QItemSelection>());
        QVERIFY(state.hasSelection);
        QCOMPARE(state.filePath, file(first + ".png"));
        QCOMPARE(state.canMoveUp, canMoveUp);
        QCOMPARE(state.canMoveDown, canMoveDown);
        QCOMPARE(view->selectedFilePath, file(first + ".png"));
    }

    void ctrlClickThatOnlyDeselects()
    {
        fill(5);
        selectRows({ 1, 3 });
        QSignalSpy changed(view->selectionModel(), &QItemSelectionModel::selectionChanged);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier,
            view->visualRect(model->index(3, 0)).center());
        QCOMPARE(changed.count(), 1);
        QVERIFY(changed.at(0).at(0).value<QItemSelection>().isEmpty());
        const auto state = view->selectionState(changed.at(0).at(0).value<QItemSelection>());
        QVERIFY(!state.hasSelection);
        QVERIFY(!state.canMoveUp);
        QVERIFY(!state.canMoveDown);
        QCOMPARE(selectedNames(), QStringList { "r1" });
    }

    void removeRows_data()
    {
        QTest::addColumn<int>("total");
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QStringList>("remaining");
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QString>("current");
        // The view's current file is that of the first index in the selection's own order.
        QTest::addColumn<QString>("previewed");
        QTest::newRow("row 4 of 10") << 10 << QList<int> { 4 }
                                     << QStringList { "r0", "r1", "r2", "r3", "r5", "r6", "r7", "r8", "r9" }
                                     << QStringList { "r5" } << "r5"
                                     << "r5";
        QTest::newRow("last of 10") << 10 << QList<int> { 9 }
                                    << QStringList { "r0", "r1", "r2", "r3", "r4", "r5", "r6", "r7", "r8" }
                                    << QStringList { "r8" } << "r8"
                                    << "r8";
        QTest::newRow("rows 2 and 5 of 10")
            << 10 << QList<int> { 5, 2 } << QStringList { "r0", "r1", "r3", "r4", "r6", "r7", "r8", "r9" }
            << QStringList { "r3", "r6" } << "r3"
            << "r6";
        QTest::newRow("the only row") << 1 << QList<int> { 0 } << QStringList {} << QStringList {} << ""
                                      << "";
    }

    void removeRows()
    {
        QFETCH(int, total);
        QFETCH(QList<int>, rows);
        QFETCH(QStringList, remaining);
        QFETCH(QStringList, selected);
        QFETCH(QString, current);
        QFETCH(QString, previewed);
        fill(total);
        selectRows(rows);
        view->removeSelectedRows();
        QCOMPARE(order(), remaining);
        QCOMPARE(selectedNames(), selected);
        if (current.isEmpty()) {
            QVERIFY(!view->currentIndex().isValid());
            QVERIFY(view->selectedFilePath.isEmpty());
        } else {
            QCOMPARE(currentName(), current);
            QCOMPARE(QFileInfo(view->selectedFilePath).baseName(), previewed);
        }
        checkIndexMatchesRows();
        for (int row : std::as_const(rows))
            QVERIFY(!model->registry()->contains(pathKey(file(QString("r%1.png").arg(row)))));
    }

    void upAndDown_data()
    {
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<bool>("up");
        QTest::addColumn<QStringList>("result");
        QTest::addColumn<QString>("current");
        QTest::newRow("up at the top")
            << QList<int> { 0 } << true << QStringList { "r0", "r1", "r2", "r3", "r4" } << "r0";
        QTest::newRow("down at the bottom")
            << QList<int> { 4 } << false << QStringList { "r0", "r1", "r2", "r3", "r4" } << "r4";
        QTest::newRow("up") << QList<int> { 2 } << true << QStringList { "r0", "r2", "r1", "r3", "r4" }
                            << "r2";
        QTest::newRow("down") << QList<int> { 2 } << false << QStringList { "r0", "r1", "r3", "r2", "r4" }
                              << "r2";
        QTest::newRow("up, two rows apart")
            << QList<int> { 1, 3 } << true << QStringList { "r1", "r0", "r3", "r2", "r4" } << "r1";
        QTest::newRow("up, block selected bottom first")
            << QList<int> { 3, 2 } << true << QStringList { "r0", "r2", "r3", "r1", "r4" } << "r2";
        QTest::newRow("down, block selected top first")
            << QList<int> { 1, 2 } << false << QStringList { "r0", "r3", "r1", "r2", "r4" } << "r1";
        QTest::newRow("up, top row among them")
            << QList<int> { 0, 2 } << true << QStringList { "r0", "r2", "r1", "r3", "r4" } << "r0";
        QTest::newRow("up, rows at the top stay together")
            << QList<int> { 1, 0 } << true << QStringList { "r0", "r1", "r2", "r3", "r4" } << "r0";
        QTest::newRow("down, bottom row among them")
            << QList<int> { 4, 2 } << false << QStringList { "r0", "r1", "r3", "r2", "r4" } << "r2";
    }

    void upAndDown()
    {
        QFETCH(QList<int>, rows);
        QFETCH(bool, up);
        QFETCH(QStringList, result);
        QFETCH(QString, current);
        fill(5);
        model->item(2)->setIcon(QIcon(QPixmap::fromImage(QImage(64, 64, QImage::Format_RGB32))));
        model->item(2)->setText("r2.png\n8x8\nfolder");
        selectRows(rows);
        if (up)
            view->moveSelectedRowsUp();
        else
            view->moveSelectedRowsDown();
        QCOMPARE(order(), result);
        QCOMPARE(currentName(), current);
        QCOMPARE(selectedNames(), QStringList { current });
        const int moved = model->rowOfFile(file("r2.png"));
        QCOMPARE(model->item(moved)->text(), QStringLiteral("r2.png\n8x8\nfolder"));
        QVERIFY(!model->item(moved)->icon().isNull());
        checkIndexMatchesRows();
    }

    void dropsOnTheView_data() { dropCases(); }
    void dropsOnTheView() { externalDrop(view->viewport(), view); }

    void dropsOnTheFrame_data() { dropCases(); }
    void dropsOnTheFrame()
    {
        ConvertImageFrame frame;
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QVERIFY(frame.acceptDrops());
        externalDrop(&frame, &frame);
    }

    void frameProposesLink()
    {
        ConvertImageFrame frame;
        QMimeData mime;
        mime.setUrls({ QUrl::fromLocalFile(dir.filePath("pic.png")) });
        QDragEnterEvent enter(
            QPoint(5, 5), Qt::CopyAction | Qt::LinkAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&frame, &enter);
        QVERIFY(enter.isAccepted());
        QCOMPARE(enter.dropAction(), Qt::LinkAction);
    }

    void internalDrops_data()
    {
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<int>("target");
        QTest::addColumn<Spot>("spot");
        QTest::addColumn<QStringList>("result");
        const QStringList unchanged { "r0", "r1", "r2", "r3", "r4", "r5" };
        QTest::newRow("above a row") << QList<int> { 1 } << 4 << Spot::Above
                                     << QStringList { "r0", "r2", "r3", "r1", "r4", "r5" };
        QTest::newRow("below a row") << QList<int> { 1 } << 4 << Spot::Below
                                     << QStringList { "r0", "r2", "r3", "r4", "r1", "r5" };
        QTest::newRow("above the first row")
            << QList<int> { 3 } << 0 << Spot::Above << QStringList { "r3", "r0", "r1", "r2", "r4", "r5" };
        QTest::newRow("below the last row")
            << QList<int> { 1 } << 5 << Spot::Below << QStringList { "r0", "r2", "r3", "r4", "r5", "r1" };
        QTest::newRow("two rows above a row")
            << QList<int> { 1, 3 } << 5 << Spot::Above << QStringList { "r0", "r2", "r4", "r1", "r3", "r5" };
        QTest::newRow("onto a row") << QList<int> { 1 } << 4 << Spot::On << unchanged;
        QTest::newRow("empty area below the rows")
            << QList<int> { 1 } << 5 << Spot::ViewportBelowRows << unchanged;
    }

    void internalDrops()
    {
        QFETCH(QList<int>, rows);
        QFETCH(int, target);
        QFETCH(Spot, spot);
        QFETCH(QStringList, result);
        fill(6);
        model->item(1)->setIcon(QIcon(QPixmap::fromImage(QImage(64, 64, QImage::Format_RGB32))));
        QStringList dragged;
        for (int row : std::as_const(rows))
            dragged.append(QString("r%1").arg(row));
        std::sort(dragged.begin(), dragged.end());
        selectRows(rows);
        QSignalSpy added(view, &ConvertImageTreeView::addURLs);
        QVERIFY(dragWithMouse(rows.first(), spotPoint(target, spot)));
        QCOMPARE(order(), result);
        QCOMPARE(model->rowCount(), 6);
        QCOMPARE(model->columnCount(), 2);
        QCOMPARE(added.count(), 0);
        for (int row = 0; row < model->rowCount(); ++row)
            QVERIFY(!model->item(row)->hasChildren());
        QVERIFY(!model->item(model->rowOfFile(file("r1.png")))->icon().isNull());
        if (result != QStringList { "r0", "r1", "r2", "r3", "r4", "r5" })
            QCOMPARE(selectedNames(), dragged);
        checkIndexMatchesRows();
    }

    void internalDragOfAVanishedFileIsRefused()
    {
        fill(6);
        selectRows({ 1 });
        QVERIFY(QFile::remove(file("r1.png")));
        dragWithMouse(1, spotPoint(4, Spot::Above));
        QCOMPARE(order(), QStringList({ "r0", "r1", "r2", "r3", "r4", "r5" }));
    }
};

int main(int argc, char *argv[])
{
    // Dragging rows within the view needs a platform with a drag loop, which offscreen lacks.
    qputenv("QT_QPA_PLATFORM", "minimal:enable_fonts");
    QApplication app(argc, argv);
    TestFileListView test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_filelistview.moc"
