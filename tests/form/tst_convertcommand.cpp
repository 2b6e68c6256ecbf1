// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/conversionoptions.h"
#include "convert/convertimagesthread.h"
#include "convert/convertprogressform.h"
#include "convert/modalanswerer.h"
#include "convert/outputformats.h"
#include "filelist/filelistmodel.h"
#include "formsupport.h"
#include "imaging/renderpipeline.h"
#include "imaging/scaling.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

namespace {

using TestSupport::clearStore;
using TestSupport::storedValue;

// Picks `path` in an open file dialog (a folder chooser or a save prompt), or cancels it when empty.
void answerFileDialog(QWidget *modal, const QString &path)
{
    auto *dialog = modalAs<QFileDialog>(modal);
    if (dialog && !TestSupport::answerFileDialog(dialog, path)) {
        dialog->reject();
        QFAIL(qPrintable("the file dialog did not take " + path));
    }
}

// The completion message, whatever it says; the progress page's own tests read it.
void closeCompletionMessage(QWidget *modal)
{
    if (modalAs<QMessageBox>(modal))
        clickButton(modal, "OK");
}

const QStringList OptionAreas = { "toolbarWidget", "tabToolbarWidget", "tabWidget", "previewImage" };
const QStringList LockedWidgets
    = { "addFilesButton", "clearButton", "convertButton", "targetComboBox", "sourceTreeView", "sourceFrame" };

} // namespace

class TestConvertCommand : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ConvertImageForm> form;
    QTemporaryDir dir;
    QString in, out, other;
    QStringList sources;
    QString startedTarget; // the job's target folder argument, empty while no job started
    QString startedExtension;

    template <typename T = QWidget> T *widget(const QString &name)
    {
        return TestSupport::child<T>(form.get(), name);
    }

    void startForm(int target, const QString &outputFolder, const QString &pdfFileName = QString())
    {
        form = TestSupport::startForm();
        widget<QComboBox>("targetComboBox")->setCurrentIndex(target);
        widget<QLineEdit>("outputFolderLineEdit")->setText(outputFolder);
        widget<QLineEdit>("pdfFilenameLineEdit")->setText(pdfFileName);

        // Rows go straight into the list; its add worker is tested on its own.
        auto *model = qobject_cast<FileListModel *>(widget<QTreeView>("sourceTreeView")->model());
        QVERIFY(model);
        QCOMPARE(model->appendFiles(sources), int(sources.size()));
        widget("convertButton")->setEnabled(true);
    }

    // Clicks Convert and notes the job it started, read from the worker before it can finish.
    void clickConvert()
    {
        startedTarget.clear();
        startedExtension.clear();
        widget<QAbstractButton>("convertButton")->click();
        if (auto *page = form->findChild<ConvertProgressForm *>()) {
            QVERIFY(page->worker());
            startedTarget = page->worker()->targetFolder;
            startedExtension = page->worker()->targetExt;
        }
    }

    bool conversionOver()
    {
        return QTest::qWaitFor([this] { return !form->hasRunningWork(); }, 120000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        ConvertProgressForm::setLocationOpener([](const QUrl &) { return true; });
    }

    void init()
    {
        clearStore();
        resetOptions();
        clearLoadCache();
        QDir(dir.path()).removeRecursively();
        in = dir.path() + "/in";
        out = dir.path() + "/out";
        other = dir.path() + "/other";
        for (const QString &folder : { in, out, other })
            QDir().mkpath(folder);
        sources.clear();
        for (const char *name : { "one.png", "two.png", "three.png" }) {
            sources.append(in + "/" + name);
            QVERIFY(TestSupport::makePhotoLike(16, 12).save(sources.last(), "PNG"));
        }
    }

    void cleanup() { form.reset(); }

    void impossibleSizeStartsNothing_data()
    {
        QTest::addColumn<QString>("radio");
        QTest::addColumn<int>("relativeTo");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("message");
        QTest::newRow("long edge of letters")
            << "relativeRadioButton" << 2 << "relativeValueLineEdit"
            << "abc99999999" << 0 << "The long edge must be at least 1 pixel";
        QTest::newRow("short edge 0") << "relativeRadioButton" << 3 << "relativeValueLineEdit"
                                      << "0" << 0 << "The short edge must be at least 1 pixel";
        QTest::newRow("width 0") << "absoluteRadioButton" << 0 << "absoluteWidthLineEdit"
                                 << "0" << 0 << "The width must be at least 1 pixel";
        QTest::newRow("height 0") << "absoluteRadioButton" << 0 << "absoluteHeightLineEdit"
                                  << "0" << 0 << "The height must be at least 1 pixel";
    }

    // A size that can give no picture: Convert says which setting, and starts nothing (no page,
    // no worker, no sub-folder); the preview says the same words; the store keeps what it kept.
    void impossibleSizeStartsNothing()
    {
        QFETCH(QString, radio);
        QFETCH(int, relativeTo);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(int, stored);
        QFETCH(QString, message);
        updateOptions([](ConversionOptions &o) { o.keepFolderStructure = true; });
        startForm(JpgTargetPosition, out);
        auto *view = widget<QTreeView>("sourceTreeView");
        view->setCurrentIndex(view->model()->index(0, 0));
        auto *scale = widget<QCheckBox>("scaleImageCheckBox");
        if (!scale->isChecked())
            QTest::mouseClick(scale, Qt::LeftButton);
        widget<QRadioButton>(radio)->setChecked(true);
        if (radio == QLatin1String("relativeRadioButton"))
            widget<QComboBox>("relativeToComboBox")->setCurrentIndex(relativeTo);
        widget<QLineEdit>(field)->setText(typed);
        QCOMPARE(scalingProblem(conversionOptions()), message);

        BoxSeen seen;
        ModalAnswerer answerer({ [&](QWidget *modal) {
            auto *box = modalAs<QMessageBox>(modal);
            if (!box)
                return;
            seen = describeBox(box);
            box->accept();
        } });
        clickConvert();
        QTRY_COMPARE(answerer.answered(), 1);
        QCOMPARE(seen.text, message);
        QCOMPARE(answerer.unexpected, QStringList());
        QVERIFY(!form->findChild<ConvertProgressForm *>());
        QCOMPARE(TestSupport::folderEntries(out), QStringList());
        QCOMPARE(widget<QLabel>("previewImage")->text(), message);
        const char *key = field == QLatin1String("absoluteWidthLineEdit") ? "scaleAbsoluteWitdh"
            : field == QLatin1String("absoluteHeightLineEdit")            ? "scaleAbsoluteHeight"
                                                                          : "scaleRelativeEdge";
        QCOMPARE(storedValue(key).toInt(), stored);
    }

    void pdfDocumentName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("document");
        QTest::newRow("no extension") << "report"
                                      << "report.pdf";
        QTest::newRow("upper case extension") << "REPORT.PDF"
                                              << "REPORT.PDF";
        QTest::newRow("other extension") << "notes.txt"
                                         << "notes.txt.pdf";
    }

    void pdfDocumentName()
    {
        QFETCH(QString, name);
        QFETCH(QString, document);
        startForm(9, out, name);
        ModalAnswerer answerer({ closeCompletionMessage });
        clickConvert();
        QVERIFY(conversionOver());
        QCOMPARE(answerer.unexpected, QStringList());
        QCOMPARE(startedTarget, out + "/" + document);
        QCOMPARE(startedExtension, QString(".pdf"));
        QCOMPARE(conversionOptions().pdfFileName, document);
        QCOMPARE(storedValue("pdfFileName").toString(), name); // not stored by the command
        if (!TestSupport::haveTool("pdfinfo"))
            QSKIP("pdfinfo is not installed; the document was not checked");
        QByteArray info;
        QCOMPARE(TestSupport::runTool("pdfinfo", { out + "/" + document }, &info), 0);
        QVERIFY2(info.contains("Pages:           3"), info.constData());
    }

    void pdfNameWithFoldersStartsNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("parent folder") << "../x";
        QTest::newRow("parent folder only") << "..";
        QTest::newRow("sub-folder") << "sub/x.pdf";
        QTest::newRow("backslash") << "..\\x.pdf";
    }

    // A typed name that leads out of the output folder, or into a folder of it: Convert says so
    // and starts nothing, here or beside the output folder.
    void pdfNameWithFoldersStartsNothing()
    {
        QFETCH(QString, name);
        QDir().mkpath(out + "/sub");
        startForm(PdfTargetPosition, out, name);
        QString text;
        ModalAnswerer answerer({ [&](QWidget *modal) {
            if (auto *box = modalAs<QMessageBox>(modal)) {
                text = box->text();
                box->accept();
            }
        } });
        clickConvert();
        QTRY_COMPARE(answerer.answered(), 1);
        QCOMPARE(answerer.unexpected, QStringList());
        QVERIFY2(text.contains(name) && text.contains("folders"), qPrintable(text));
        QVERIFY(!form->findChild<ConvertProgressForm *>());
        QCOMPARE(TestSupport::folderEntries(out), QStringList { "sub" });
        QCOMPARE(TestSupport::folderEntries(out + "/sub"), QStringList());
        QCOMPARE(TestSupport::folderEntries(dir.path()), (QStringList { "in", "other", "out" }));
        QCOMPARE(conversionOptions().pdfFileName, name);
    }

    void existingDocumentNeedsConfirmation_data()
    {
        QTest::addColumn<QString>("answer"); // to "Confirm overwrite"
        QTest::addColumn<QString>("chosen"); // in the save prompt that No leads to
        QTest::newRow("Yes replaces it") << "Yes"
                                         << "";
        QTest::newRow("No, another document") << "No"
                                              << "other/album.pdf";
        QTest::newRow("No, prompt cancelled") << "No"
                                              << "";
        QTest::newRow("Escape, prompt cancelled") << "Escape"
                                                  << "";
    }

    void existingDocumentNeedsConfirmation()
    {
        QFETCH(QString, answer);
        QFETCH(QString, chosen);
        const QString document = out + "/album.pdf";
        QVERIFY(TestSupport::writeFile(document, "%PDF-1.4 old"));
        startForm(9, out, "album.pdf");

        BoxSeen confirm;
        QString defaultButton, promptTitle, promptFolder;
        QList<ModalAnswerer::Handler> handlers { [&](QWidget *modal) {
            auto *box = modalAs<QMessageBox>(modal);
            if (!box)
                return;
            confirm = describeBox(box);
            defaultButton = plainButtonText(box->defaultButton());
            if (answer == "Escape")
                QTest::keyClick(box, Qt::Key_Escape);
            else
                clickButton(box, answer);
        } };
        if (answer != "Yes") {
            handlers.append([&](QWidget *modal) {
                promptTitle = modal->windowTitle();
                if (auto *prompt = modalAs<QFileDialog>(modal))
                    promptFolder = prompt->directory().absolutePath();
                answerFileDialog(modal, chosen.isEmpty() ? QString() : dir.filePath(chosen));
            });
        }
        const bool converts = answer == "Yes" || !chosen.isEmpty();
        if (converts)
            handlers.append(closeCompletionMessage);
        ModalAnswerer answerer(handlers);
        clickConvert();
        QVERIFY(conversionOver());
        QCOMPARE(answerer.unexpected, QStringList());
        QCOMPARE(answerer.answered(), handlers.size());

        QCOMPARE(confirm.title, QString("Larkspan Pictomat"));
        QCOMPARE(confirm.text, QString("Confirm overwrite"));
        QCOMPARE(confirm.informative, "Are you sure you want to overwrite " + document + "?");
        QCOMPARE(confirm.buttons.size(), 2);
        QVERIFY(confirm.buttons.contains("Yes") && confirm.buttons.contains("No"));
        QCOMPARE(defaultButton, QString("No"));
        if (answer != "Yes") {
            QCOMPARE(promptTitle, QString("Save to PDF File"));
            QCOMPARE(promptFolder, QDir(out).absolutePath());
        }

        if (answer == "Yes") {
            QCOMPARE(startedTarget, document);
        } else if (!chosen.isEmpty()) {
            const QString picked = QDir::toNativeSeparators(dir.filePath(chosen));
            QCOMPARE(startedTarget, picked);
            QCOMPARE(conversionOptions().outputFolder, QFileInfo(picked).path());
            QCOMPARE(conversionOptions().pdfFileName, QString("album.pdf"));
            QCOMPARE(storedValue("outputFolder").toString(), QFileInfo(picked).path());
            QCOMPARE(widget<QLineEdit>("outputFolderLineEdit")->text(), QFileInfo(picked).path());
        } else {
            QCOMPARE(startedTarget, QString());
            QCOMPARE(conversionOptions().outputFolder, out);
            QCOMPARE(conversionOptions().pdfFileName, QString("album.pdf"));
        }
    }

    void pdfPromptFindsTheDocument_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("folderExists");
        QTest::addColumn<QString>("chosen"); // empty: the prompt is cancelled
        QTest::newRow("no file name, cancelled") << "" << true << "";
        QTest::newRow("no file name, chosen") << "" << true << "other/book.pdf";
        QTest::newRow("missing folder, chosen") << "book.pdf" << false << "other/book.pdf";
        QTest::newRow("missing folder, cancelled") << "book.pdf" << false << "";
        QTest::newRow("typed without extension") << "" << true << "other/book";
        QTest::newRow("typed in capitals") << "" << true << "other/book.PDF";
    }

    void pdfPromptFindsTheDocument()
    {
        QFETCH(QString, name);
        QFETCH(bool, folderExists);
        QFETCH(QString, chosen);
        const QString folder = folderExists ? out : dir.path() + "/gone";
        startForm(9, folder, name);
        QString title;
        QStringList filters;

        QList<ModalAnswerer::Handler> handlers { [&](QWidget *modal) {
            if (auto *prompt = modalAs<QFileDialog>(modal)) {
                title = prompt->windowTitle();
                filters = prompt->nameFilters();
            }
            answerFileDialog(modal, chosen.isEmpty() ? QString() : dir.filePath(chosen));
        } };
        if (!chosen.isEmpty())
            handlers.append(closeCompletionMessage);
        ModalAnswerer answerer(handlers);
        clickConvert();
        QVERIFY(conversionOver());
        QCOMPARE(answerer.unexpected, QStringList());
        QCOMPARE(answerer.answered(), handlers.size());

        QCOMPARE(title, QString("Save to PDF File"));
        QCOMPARE(filters, QStringList { "PDF files (*.pdf)" });
        if (chosen.isEmpty()) {
            QCOMPARE(startedTarget, QString());
            QCOMPARE(conversionOptions().outputFolder, folder);
            QCOMPARE(conversionOptions().pdfFileName, name);
        } else {
            const QString document = QFileInfo(chosen).suffix().isEmpty() ? chosen + ".pdf" : chosen;
            QCOMPARE(startedTarget, QDir::toNativeSeparators(dir.filePath(document)));
            QVERIFY(QFileInfo::exists(dir.filePath(document)));
            const QString fileName = QFileInfo(document).fileName();
            QCOMPARE(conversionOptions().pdfFileName, fileName);
            QCOMPARE(storedValue("pdfFileName").toString(), fileName);
            QCOMPARE(widget<QLineEdit>("pdfFilenameLineEdit")->text(), fileName);
        }
    }

    void pdfWithoutOutputFolderAsksForOne()
    {
        startForm(9, QString(), "report");
        QString chooserTitle;
        ModalAnswerer answerer({ [&](QWidget *modal) {
                                    chooserTitle = modal->windowTitle();
                                    answerFileDialog(modal, out);
                                },
            closeCompletionMessage });
        clickConvert();
        QVERIFY(conversionOver());
        QCOMPARE(answerer.unexpected, QStringList());
        QCOMPARE(chooserTitle, QString("Select folder ..."));
        QCOMPARE(startedTarget, out + "/report.pdf");
    }

    void fileTargetWithoutUsableFolder_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("empty") << "";
        QTest::newRow("one character") << "/";
        QTest::newRow("deleted folder") << "deleted";
    }

    void fileTargetWithoutUsableFolder()
    {
        QFETCH(QString, folder);
        if (folder == "deleted") {
            folder = dir.path() + "/deleted";
            QVERIFY(QDir().mkpath(folder));
        }
        startForm(6, folder); // PNG
        QDir(dir.path() + "/deleted").removeRecursively();

        QString chooserTitle;
        QList<ModalAnswerer::Handler> handlers;
        // A folder that is gone is offered to be made again; here the user picks another one.
        if (folder.endsWith("/deleted"))
            handlers.append([](QWidget *modal) { clickButton(modal, "Choose Another Folder…"); });
        handlers.append([&](QWidget *modal) {
            chooserTitle = modal->windowTitle();
            answerFileDialog(modal, out);
        });
        handlers.append(closeCompletionMessage);
        ModalAnswerer answerer(handlers);
        clickConvert();
        QVERIFY(conversionOver());
        QCOMPARE(answerer.unexpected, QStringList());
        // Choosing the folder started the conversion at once.
        QCOMPARE(startedTarget, out);
        QCOMPARE(startedExtension, QString(".png"));
        QCOMPARE(chooserTitle, QString("Select folder ..."));
        QCOMPARE(conversionOptions().outputFolder, out);
        QCOMPARE(storedValue("outputFolder").toString(), out);
        for (const QString &source : std::as_const(sources))
            QVERIFY(QFileInfo::exists(ConvertImagesThread::targetPathFor(out, source, ".png")));
    }

    void outputFolderButtonNeverConverts()
    {
        startForm(6, QString());
        {
            // The command asks for a folder; cancelling leaves it waiting for one.
            ModalAnswerer cancelled({ [](QWidget *modal) { answerFileDialog(modal, QString()); } });
            clickConvert();
            QCOMPARE(cancelled.answered(), 1);
            QCOMPARE(startedTarget, QString());
        }

        ModalAnswerer chosen({ [&](QWidget *modal) { answerFileDialog(modal, out); } });
        widget<QAbstractButton>("outputFolderButton")->click();
        QCOMPARE(chosen.answered(), 1);
        QCOMPARE(chosen.unexpected, QStringList());
        QVERIFY(!form->hasRunningWork());
        QCOMPARE(conversionOptions().outputFolder, out);
        QCOMPARE(widget<QLineEdit>("outputFolderLineEdit")->text(), out);
        QVERIFY(QDir(out).isEmpty());
    }

    void formIsLockedWhileConverting()
    {
        startForm(6, out);
        QSignalSpy toolbar(form.get(), &ConvertImageForm::showToolbarSignal);
        QStringList shownAreas, enabledWidgets;
        QWidget *currentPage = nullptr;
        ModalAnswerer answerer({ [&](QWidget *modal) {
            for (const QString &name : OptionAreas) {
                if (!widget(name)->isHidden())
                    shownAreas.append(name);
            }
            for (const QString &name : LockedWidgets) {
                if (widget(name)->isEnabled())
                    enabledWidgets.append(name);
            }
            currentPage = widget<QStackedWidget>("sourceStackedWidget")->currentWidget();
            closeCompletionMessage(modal);
        } });
        clickConvert();
        auto *page = form->findChild<ConvertProgressForm *>();
        QVERIFY(page);
        QVERIFY(conversionOver());
        QCOMPARE(answerer.unexpected, QStringList());

        QCOMPARE(shownAreas, QStringList());
        QCOMPARE(enabledWidgets, QStringList());
        QCOMPARE(currentPage, page);
        QCOMPARE(toolbar.size(), 2);
        QCOMPARE(toolbar[0].first().toBool(), false);
        QCOMPARE(toolbar[1].first().toBool(), true);

        QTRY_VERIFY(form->findChild<ConvertProgressForm *>() == nullptr);
        for (const QString &name : OptionAreas)
            QVERIFY2(!widget(name)->isHidden(), qPrintable(name));
        for (const QString &name : LockedWidgets)
            QVERIFY2(widget(name)->isEnabled(), qPrintable(name));
        QCOMPARE(widget<QStackedWidget>("sourceStackedWidget")->currentWidget(), widget("sourceTreeView"));
        for (const QString &source : std::as_const(sources))
            QCOMPARE(QImage(ConvertImagesThread::targetPathFor(out, source, ".png")).size(), QSize(16, 12));
    }
};

int main(int argc, char *argv[])
{
    return TestSupport::runWidgetTest<TestConvertCommand>(argc, argv);
}

#include "tst_convertcommand.moc"
