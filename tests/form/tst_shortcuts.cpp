// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/conversionoptions.h"
#include "convert/convertprogressform.h"
#include "convert/modalanswerer.h"
#include "filelist/filelistmodel.h"
#include "formsupport.h"
#include "testsupport.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>
#include <memory>

// The keys of the window act as their buttons do, and a long list asks before Clear empties it.
class TestShortcuts : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ConvertImageForm> form;
    QTemporaryDir dir;
    QStringList files;

    QTreeView *list() { return TestSupport::child<QTreeView>(form.get(), "sourceTreeView"); }

    QStringList rows()
    {
        QStringList names;
        for (const QString &path : form->sourceFiles())
            names.append(QFileInfo(path).baseName());
        return names;
    }

    void startWith(int count)
    {
        files.clear();
        for (int i = 0; i < count; ++i) {
            files.append(dir.filePath(QString("f%1.png").arg(i)));
            if (!QFileInfo::exists(files.last()) && !TestSupport::makePhotoLike(8, 6).save(files.last()))
                qFatal("cannot write fixture");
        }
        form = TestSupport::startForm();
        TestSupport::child<QLineEdit>(form.get(), "outputFolderLineEdit")->setText(dir.path());
        QApplication::setActiveWindow(form.get());
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        qobject_cast<FileListModel *>(list()->model())->appendFiles(files);
        for (const char *name : { "convertButton", "clearButton" })
            TestSupport::child<QWidget>(form.get(), name)->setEnabled(true);
        TestSupport::child<QWidget>(form.get(), "sourceStackedWidget")->setProperty("currentIndex", 0);
        list()->setFocus();
        list()->setCurrentIndex(list()->model()->index(1, 0));
    }

private Q_SLOTS:
    void initTestCase()
    {
        ConvertProgressForm::setLocationOpener([](const QUrl &) { return true; });
    }
    void init() { TestSupport::resetFormState(); }
    void cleanup() { form.reset(); }

    void listKeys_data()
    {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("Delete") << QKeySequence(QKeySequence::Delete) << QStringList { "f0", "f2" };
        QTest::newRow("Ctrl+Up") << QKeySequence(Qt::CTRL | Qt::Key_Up) << QStringList { "f1", "f0", "f2" };
        QTest::newRow("Ctrl+Down") << QKeySequence(Qt::CTRL | Qt::Key_Down)
                                   << QStringList { "f0", "f2", "f1" };
    }

    void listKeys()
    {
        QFETCH(QKeySequence, keys);
        QFETCH(QStringList, expected);
        startWith(3);
        QTest::keySequence(list(), keys);
        QCOMPARE(rows(), expected);
    }

    void selectAll()
    {
        startWith(4);
        QTest::keySequence(list(), QKeySequence::SelectAll);
        QCOMPARE(list()->selectionModel()->selectedRows().size(), 4);
    }

    void ctrlReturnConverts()
    {
        startWith(2);
        ModalAnswerer answerer({ [](QWidget *modal) { clickButton(modal, "OK"); } });
        QTest::keyClick(list(), Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(QTest::qWaitFor(
            [this] { return !form->hasRunningWork() && QFileInfo::exists(dir.filePath("f1.avif")); },
            120000));
        QCOMPARE(answerer.unexpected, QStringList());
        QVERIFY(QFileInfo::exists(dir.filePath("f0.avif")));
    }

    void ctrlOOpensTheFileDialog()
    {
        startWith(1);
        bool opened = false;
        ModalAnswerer answerer({ [&](QWidget *modal) {
            opened = qobject_cast<QFileDialog *>(modal) != nullptr;
            static_cast<QDialog *>(modal)->reject();
        } });
        QTest::keySequence(list(), QKeySequence::Open);
        QTRY_VERIFY(opened);
        QCOMPARE(rows(), QStringList { "f0" });
    }

    void f1AsksForAbout()
    {
        startWith(1);
        QSignalSpy about(form.get(), &ConvertImageForm::aboutRequested);
        QTest::keyClick(list(), Qt::Key_F1);
        QCOMPARE(about.size(), 1);
    }

    void clearAsksForALongList_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("answer"); // empty: no question expected
        QTest::addColumn<int>("left");
        QTest::newRow("few files") << 5 << "" << 0;
        QTest::newRow("many, No") << 6 << "&No" << 6;
        QTest::newRow("many, Yes") << 6 << "&Yes" << 0;
    }

    void clearAsksForALongList()
    {
        QFETCH(int, count);
        QFETCH(QString, answer);
        QFETCH(int, left);
        startWith(count);
        QString question;
        QList<ModalAnswerer::Handler> handlers;
        if (!answer.isEmpty())
            handlers.append([&](QWidget *modal) {
                if (auto *box = modalAs<QMessageBox>(modal))
                    question = box->text();
                clickButton(modal, QString(answer).remove('&'));
            });
        ModalAnswerer answerer(handlers);
        TestSupport::child<QAbstractButton>(form.get(), "clearButton")->click();
        QCOMPARE(answerer.unexpected, QStringList());
        QCOMPARE(answerer.answered(), handlers.size());
        QCOMPARE(int(form->sourceFiles().size()), left);
        if (!answer.isEmpty())
            QCOMPARE(question, QString("Remove all %1 files from the list?").arg(count));
    }
};

QTEST_MAIN(TestShortcuts)
#include "tst_shortcuts.moc"
