// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/conversionoptions.h"
#include "convert/convertimagesthread.h"
#include "convert/convertprogressform.h"
#include "convert/modalanswerer.h"
#include "convert/overwritefiledialog.h"
#include "imaging/renderpipeline.h"
#include "testsupport.h"

#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <thread>

namespace {

// What the page told the form during one conversion.
struct Outcome {
    QList<bool> toolbar;
    int started = 0;
    int finished = 0;
    QList<QPair<int, int>> progressAtStart; // value, maximum when each job started
};

// Holds the options lock from another thread, so that a freshly started worker waits at its first
// options snapshot; meanwhile a test can attach a direct connection to it before it reaches a file.
class OptionsLockHolder {
public:
    OptionsLockHolder()
        : holder([this] {
            updateOptions([this](ConversionOptions &) {
                held.release();
                gate.acquire();
            });
        })
    {
        held.acquire();
    }
    ~OptionsLockHolder() { unlock(); }

    void unlock()
    {
        if (holder.joinable()) {
            gate.release();
            holder.join();
        }
    }

private:
    QSemaphore held;
    QSemaphore gate;
    std::thread holder;
};

// Makes the worker stop inside updateFileName for `source` until the GUI thread lets it go:
// the file it is about to convert is then the current file.
void pauseWorkerAt(ConvertImagesThread *worker, const QString &source, QSemaphore *proceed)
{
    QObject::connect(
        worker, &ConvertImagesThread::updateFileName, worker,
        [source, proceed](const QString &name) {
            if (name == source && !proceed->tryAcquire(1, 60000))
                qWarning("worker was never released");
        },
        Qt::DirectConnection);
}

QString pageText(ConvertProgressForm *page, const char *name)
{
    return page->findChild<QLabel *>(name)->text();
}

// The completion message's summary: its counts line and whether the time taken follows it.
QString countsOf(const QString &informative)
{
    const QStringList lines = informative.split('\n');
    const bool timed = lines.size() >= 2 && lines.last().startsWith("Time taken: ");
    return timed ? lines.at(lines.size() - 2) : "no time taken in: " + informative;
}

QProgressBar *progressBar(ConvertProgressForm *page)
{
    return page->findChild<QProgressBar *>("progressBar");
}

} // namespace

class TestConvertProgress : public QObject, private TestSupport::JobFolders {
    Q_OBJECT

private:
    QList<QUrl> opened;
    bool desktopOpens = true;
    ConvertProgressForm::LocationOpener previousOpener;

    QString source(const QString &name, QSize size = QSize(24, 16))
    {
        const QString path = in + "/" + name;
        if (!TestSupport::makePhotoLike(size.width(), size.height()).save(path, "PNG"))
            qFatal("cannot write fixture");
        return path;
    }

    QStringList sources(int count)
    {
        QStringList list;
        for (int i = 0; i < count; ++i)
            list.append(source(QString("s%1.png").arg(i), QSize(20 + i, 10 + i)));
        return list;
    }

    QString target(const QString &source) const
    {
        return ConvertImagesThread::targetPathFor(out, source, ".png");
    }

    // An older, different picture at the target of `source`; returns its digest.
    QByteArray occupyTarget(const QString &source)
    {
        if (!QImage(5, 5, QImage::Format_RGB32).save(target(source), "PNG"))
            qFatal("cannot write fixture");
        return TestSupport::fileDigest(target(source));
    }

    // Runs the conversion the way the form does and waits until the page has finished and is gone.
    bool run(
        ConvertProgressForm *page, const QStringList &urls, Outcome *outcome, const QString &ext = ".png")
    {
        QPointer<ConvertProgressForm> guard(page);
        connect(page, &ConvertProgressForm::showToolbarSignal, page,
            [outcome](bool show) { outcome->toolbar.append(show); });
        connect(page, &ConvertProgressForm::startConvertSignal, page, [outcome, page] {
            ++outcome->started;
            outcome->progressAtStart.append({ progressBar(page)->value(), progressBar(page)->maximum() });
        });
        connect(page, &ConvertProgressForm::finishConvertSignal, page, [outcome] { ++outcome->finished; });
        QSignalSpy finished(page, &ConvertProgressForm::finishConvertSignal);
        page->show();
        // A PDF job is handed the document path where a file job gets the folder.
        const bool pdf = ext == ".pdf";
        page->startConvert(urls, pdf ? out + "/" + conversionOptions().pdfFileName : out, ext, false);
        if (!finished.wait(120000))
            return false;
        return QTest::qWaitFor([&] { return guard.isNull(); }, 60000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        previousOpener = ConvertProgressForm::setLocationOpener([this](const QUrl &url) {
            opened.append(url);
            return desktopOpens;
        });
    }

    void cleanupTestCase() { ConvertProgressForm::setLocationOpener(previousOpener); }

    void init()
    {
        opened.clear();
        desktopOpens = true;
        resetJobFolders();
    }

    void originalsAreLeftUnticked_data()
    {
        QTest::addColumn<QStringList>("targets");
        QTest::addColumn<QStringList>("sources");
        QTest::addColumn<QStringList>("written");
        QTest::newRow("one original among others")
            << QStringList { "/p/a.jpg", "/q/b.jpg", "/p/c.jpg" }
            << QStringList { "/p/a.jpg", "/p/b.png", "/p/c.jpg" } << QStringList { "/p/b.png" };
        QTest::newRow("only the original")
            << QStringList { "/p/./a.jpg" } << QStringList { "/p/a.jpg" } << QStringList();
    }

    // A row whose target is its own source says so and starts unticked: Enter on the dialog
    // overwrites only what stays ticked.
    void originalsAreLeftUnticked()
    {
        QFETCH(QStringList, targets);
        QFETCH(QStringList, sources);
        QFETCH(QStringList, written);
        auto *dialog = new OverwriteFileDialog;
        QSignalSpy overwrite(dialog, &OverwriteFileDialog::overwriteFiles);
        QSignalSpy finish(dialog, &OverwriteFileDialog::convertFinish);
        dialog->setFiles(targets, sources);
        auto *tree = dialog->findChild<QTreeWidget *>("treeWidget");
        for (int row = 0; row < tree->topLevelItemCount(); ++row) {
            const bool original = !written.contains(sources.at(row));
            QCOMPARE(
                tree->topLevelItem(row)->text(2), original ? QString("replaces the original") : QString());
            QCOMPARE(tree->topLevelItem(row)->checkState(0), original ? Qt::Unchecked : Qt::Checked);
        }
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QTest::keyClick(dialog, Qt::Key_Return);
        if (written.isEmpty()) {
            QCOMPARE(finish.size(), 1);
            QCOMPARE(overwrite.size(), 0);
        } else {
            QCOMPARE(overwrite.size(), 1);
            QCOMPARE(overwrite.first().first().toStringList(), written);
        }
        QTest::qWait(0);
    }

    void completionMessage_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("text");
        QTest::newRow("three files") << 3 << "The conversion processes are completed.";
        QTest::newRow("one file") << 1 << "The conversion process is completed.";
        QTest::newRow("no files") << 0 << "The conversion process is completed.";
    }

    void completionMessage()
    {
        QFETCH(int, count);
        QFETCH(QString, text);
        const QStringList urls = sources(count);
        auto *page = new ConvertProgressForm;
        BoxSeen box;
        QPair<int, int> progress;
        QString shownFile;
        ModalAnswerer answerer({ [&](QWidget *modal) {
            box = describeBox(modalAs<QMessageBox>(modal));
            progress = { progressBar(page)->value(), progressBar(page)->maximum() };
            shownFile = pageText(page, "label_2");
            clickButton(modal, "OK");
        } });
        Outcome outcome;
        QVERIFY(run(page, urls, &outcome));

        QCOMPARE(answerer.answered(), 1);
        QCOMPARE(answerer.unexpected, QStringList());
        QCOMPARE(box.icon, QMessageBox::Information);
        QCOMPARE(box.title, QString("Fast Pictomat"));
        QCOMPARE(box.text, text);
        QCOMPARE(box.informative.split('\n').size(), 2);
        QCOMPARE(countsOf(box.informative), QString("%1 converted, 0 skipped, 0 failed.").arg(count));
        QCOMPARE(box.detailed, QString());
        QVERIFY(box.buttons.contains("OK"));
        QVERIFY(box.buttons.contains("Open Folder"));
        QCOMPARE(progress, qMakePair(count, count));
        QCOMPARE(shownFile, count ? urls.last() : QString("TextLabel"));
        QCOMPARE(outcome.toolbar, (QList<bool> { false, true }));
        QCOMPARE(outcome.started, 1);
        QCOMPARE(outcome.finished, 1);
        QCOMPARE(opened, QList<QUrl>());

        QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden).size(), count);
        for (const QString &url : urls)
            QCOMPARE(QImage(target(url)).size(), QImage(url).size());
    }

    void openFolderOpensTheOutputLocation_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("location"); // opened, relative to the output folder; empty: nothing
        QTest::newRow("Open Folder") << ".png"
                                     << "Open Folder"
                                     << ".";
        QTest::newRow("OK") << ".png"
                            << "OK"
                            << "";
        QTest::newRow("Escape") << ".png"
                                << "Escape"
                                << "";
        QTest::newRow("Open Folder after a PDF job") << ".pdf"
                                                     << "Open Folder"
                                                     << "album.pdf";
    }

    void openFolderOpensTheOutputLocation()
    {
        QFETCH(QString, ext);
        QFETCH(QString, answer);
        QFETCH(QString, location);
        updateOptions([](ConversionOptions &o) { o.pdfFileName = "album.pdf"; });
        const QStringList urls = sources(2);
        ModalAnswerer answerer({ [&](QWidget *modal) {
            if (answer == "Escape")
                QTest::keyClick(modal, Qt::Key_Escape);
            else
                clickButton(modal, answer);
        } });
        Outcome outcome;
        QVERIFY(run(new ConvertProgressForm, urls, &outcome, ext));
        QCOMPARE(answerer.unexpected, QStringList());
        QCOMPARE(answerer.answered(), 1);
        QCOMPARE(outcome.finished, 1);
        QList<QUrl> expected;
        if (!location.isEmpty())
            expected.append(QUrl::fromLocalFile(
                QDir::toNativeSeparators(QDir::cleanPath(QDir(out).absoluteFilePath(location)))));
        QCOMPARE(opened, expected);
    }

    void openFolderSaysWhenNothingOpens_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<QString>("location");
        QTest::newRow("folder") << ".png"
                                << ".";
        QTest::newRow("PDF document") << ".pdf"
                                      << "album.pdf";
    }

    // A desktop without a file manager refuses the location: the user is told, not left waiting.
    void openFolderSaysWhenNothingOpens()
    {
        QFETCH(QString, ext);
        QFETCH(QString, location);
        updateOptions([](ConversionOptions &o) { o.pdfFileName = "album.pdf"; });
        desktopOpens = false;
        BoxSeen warning;
        ModalAnswerer answerer({ [](QWidget *modal) { clickButton(modal, "Open Folder"); },
            [&](QWidget *modal) {
                warning = describeBox(modalAs<QMessageBox>(modal));
                clickButton(modal, "OK");
            } });
        Outcome outcome;
        QVERIFY(run(new ConvertProgressForm, sources(1), &outcome, ext));
        QCOMPARE(answerer.unexpected, QStringList());
        QCOMPARE(answerer.answered(), 2);
        QCOMPARE(opened.size(), 1);
        const QString shown = QDir::toNativeSeparators(QDir::cleanPath(QDir(out).absoluteFilePath(location)));
        QCOMPARE(warning.icon, QMessageBox::Warning);
        QCOMPARE(warning.text, QString("No file manager could be started to show %1.").arg(shown));
        QCOMPARE(outcome.finished, 1);
    }

    // With "skip", existing targets are left without a question and counted as skipped.
    void skipRuleCountsSkippedFiles()
    {
        updateOptions([](ConversionOptions &o) { o.targetExistsAction = 1; });
        const QStringList urls = sources(3);
        const QByteArray kept = occupyTarget(urls[0]);
        occupyTarget(urls[2]);
        BoxSeen box;
        ModalAnswerer answerer({ [&](QWidget *modal) {
            box = describeBox(modalAs<QMessageBox>(modal));
            clickButton(modal, "OK");
        } });
        Outcome outcome;
        QVERIFY(run(new ConvertProgressForm, urls, &outcome));
        QCOMPARE(answerer.unexpected, QStringList());
        QCOMPARE(answerer.answered(), 1);
        QCOMPARE(countsOf(box.informative), QString("1 converted, 2 skipped, 0 failed."));
        QCOMPARE(TestSupport::fileDigest(target(urls[0])), kept);
    }

    void overwriteChosenTargets_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<int>>("existing");
        QTest::addColumn<QList<int>>("ticked"); // dialog rows left ticked
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("completion");
        QTest::addColumn<QString>("counts");

        const QString plural
            = "The following files already exist. Check all files that you wish to overwrite.";
        const QString singular = "The following file already exists. Do you wish to overwrite it?";
        QTest::newRow("two of five") << 5 << QList<int> { 0, 1, 2, 3, 4 } << QList<int> { 1, 3 } << plural
                                     << "The conversion processes are completed."
                                     << "2 converted, 3 skipped, 0 failed.";
        QTest::newRow("the only file")
            << 1 << QList<int> { 0 } << QList<int> { 0 } << singular << "The conversion process is completed."
            << "1 converted, 0 skipped, 0 failed.";
        QTest::newRow("one of three exists")
            << 3 << QList<int> { 1 } << QList<int> { 0 } << singular << "The conversion process is completed."
            << "3 converted, 0 skipped, 0 failed.";
        QTest::newRow("two exist, one kept") << 4 << QList<int> { 0, 3 } << QList<int> { 1 } << plural
                                             << "The conversion process is completed."
                                             << "3 converted, 1 skipped, 0 failed.";
    }

    void overwriteChosenTargets()
    {
        QFETCH(int, count);
        QFETCH(QList<int>, existing);
        QFETCH(QList<int>, ticked);
        QFETCH(QString, description);
        QFETCH(QString, completion);
        QFETCH(QString, counts);

        const QStringList urls = sources(count);
        QHash<int, QByteArray> before;
        for (int i : std::as_const(existing))
            before.insert(i, occupyTarget(urls[i]));

        QString shownDescription, windowTitle;
        QStringList headers;
        int firstColumnWidth = 0;
        QList<QStringList> rows; // target, source, check state
        BoxSeen box;
        ModalAnswerer answerer({ [&](QWidget *modal) {
                                    auto *dialog = modalAs<OverwriteFileDialog>(modal);
                                    if (!dialog)
                                        return;
                                    windowTitle = dialog->windowTitle();
                                    shownDescription = dialog->findChild<QLabel *>("descLabel")->text();
                                    auto *tree = dialog->findChild<QTreeWidget *>("treeWidget");
                                    headers = { tree->headerItem()->text(0), tree->headerItem()->text(1) };
                                    firstColumnWidth = tree->columnWidth(0);
                                    for (int row = 0; row < tree->topLevelItemCount(); ++row) {
                                        QTreeWidgetItem *item = tree->topLevelItem(row);
                                        rows.append({ item->text(0), item->text(1),
                                            item->checkState(0) == Qt::Checked ? "ticked" : "clear" });
                                        if (!ticked.contains(row)) {
                                            tree->setCurrentItem(item);
                                            QTest::keyClick(tree, Qt::Key_Space);
                                            if (item->checkState(0) != Qt::Unchecked)
                                                rows.last().append("still ticked after Space");
                                        }
                                    }
                                    clickButton(dialog, "Overwrite");
                                },
            [&](QWidget *modal) {
                box = describeBox(modalAs<QMessageBox>(modal));
                clickButton(modal, "OK");
            } });
        Outcome outcome;
        QVERIFY(run(new ConvertProgressForm, urls, &outcome));
        QCOMPARE(answerer.unexpected, QStringList());
        QCOMPARE(answerer.answered(), 2);

        QCOMPARE(windowTitle, QString("Overwrite"));
        QCOMPARE(shownDescription, description);
        QCOMPARE(headers, (QStringList { "Target File", "Source File" }));
        QCOMPARE(firstColumnWidth, 340);
        QList<QStringList> expectedRows;
        for (int i : std::as_const(existing))
            expectedRows.append({ target(urls[i]), urls[i], "ticked" });
        QCOMPARE(rows, expectedRows);

        // The second job covers only the ticked sources and starts from an empty bar.
        QCOMPARE(outcome.started, 2);
        QCOMPARE(outcome.progressAtStart.value(1), qMakePair(0, int(ticked.size())));
        QCOMPARE(outcome.toolbar, (QList<bool> { false, true, false, true }));
        QCOMPARE(outcome.finished, 1);
        // Targets the user kept are not failures.
        QCOMPARE(box.text, completion);
        QCOMPARE(box.icon, QMessageBox::Information);
        QCOMPARE(box.informative.split('\n').size(), 2);
        QCOMPARE(countsOf(box.informative), counts);

        for (int i = 0; i < count; ++i) {
            const int row = int(existing.indexOf(i));
            if (row >= 0 && !ticked.contains(row)) {
                QCOMPARE(TestSupport::fileDigest(target(urls[i])), before[i]);
            } else {
                QCOMPARE(QImage(target(urls[i])).size(), QImage(urls[i]).size());
            }
        }
    }

    void refusingToOverwriteKeepsTheTargets_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("extra"); // a further source without a target: "good" or "bad"
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QString>("counts");
        const QString nothing = "Nothing was converted: the existing files were kept.";
        const QString completed = "The conversion processes are completed.";
        const QString keptAll = "0 converted, 3 skipped, 0 failed.";
        QTest::newRow("every box cleared, then Overwrite") << "untick all"
                                                           << "" << nothing << "" << keptAll;
        QTest::newRow("Cancel") << "cancel"
                                << "" << nothing << "" << keptAll;
        QTest::newRow("Escape") << "escape"
                                << "" << nothing << "" << keptAll;
        QTest::newRow("close control") << "close"
                                       << "" << nothing << "" << keptAll;
        QTest::newRow("Cancel after a file was converted") << "cancel"
                                                           << "good" << completed << ""
                                                           << "1 converted, 3 skipped, 0 failed.";
        QTest::newRow("every box cleared after a failure")
            << "untick all"
            << "bad" << completed << "1 of 4 files could not be converted."
            << "0 converted, 3 skipped, 1 failed.";
    }

    // No second job; what the first one did (or that it did nothing) is still reported.
    void refusingToOverwriteKeepsTheTargets()
    {
        QFETCH(QString, answer);
        QFETCH(QString, extra);
        QFETCH(QString, text);
        QFETCH(QString, summary);
        QFETCH(QString, counts);
        QStringList urls = sources(3);
        QList<QByteArray> before;
        for (const QString &url : urls)
            before.append(occupyTarget(url));
        if (extra == "good")
            urls.append(source("extra.png"));
        if (extra == "bad") {
            QFile bad(in + "/extra.png");
            QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write("this is not a picture") > 0);
            urls.append(bad.fileName());
        }

        QPointer<QWidget> dialog;
        BoxSeen box;
        ModalAnswerer answerer({ [&](QWidget *modal) {
                                    dialog = modal;
                                    auto *tree = modal->findChild<QTreeWidget *>("treeWidget");
                                    if (answer == "untick all") {
                                        for (int row = 0; row < tree->topLevelItemCount(); ++row)
                                            tree->topLevelItem(row)->setCheckState(0, Qt::Unchecked);
                                        clickButton(modal, "Overwrite");
                                    } else if (answer == "cancel") {
                                        clickButton(modal, "Cancel");
                                    } else if (answer == "escape") {
                                        QTest::keyClick(modal, Qt::Key_Escape);
                                    } else {
                                        modal->close();
                                    }
                                },
            [&](QWidget *modal) {
                box = describeBox(modalAs<QMessageBox>(modal));
                clickButton(modal, "OK");
            } });
        auto *page = new ConvertProgressForm;
        QSignalSpy secondJobs(page, &ConvertProgressForm::startConvertSignal);
        Outcome outcome;
        QVERIFY(run(page, urls, &outcome));

        QCOMPARE(answerer.answered(), 2);
        QCOMPARE(answerer.unexpected, QStringList());
        QCOMPARE(box.text, text);
        QCOMPARE(box.informative.split('\n').size(), summary.isEmpty() ? 2 : 3);
        if (!summary.isEmpty())
            QCOMPARE(box.informative.section('\n', 0, 0), summary);
        QCOMPARE(countsOf(box.informative), counts);
        QCOMPARE(box.icon, summary.isEmpty() ? QMessageBox::Information : QMessageBox::Warning);
        QCOMPARE(outcome.started, 1);
        QCOMPARE(outcome.finished, 1);
        QCOMPARE(outcome.toolbar, (QList<bool> { false, true }));
        QVERIFY(dialog.isNull());
        for (int i = 0; i < before.size(); ++i)
            QCOMPARE(TestSupport::fileDigest(target(urls[i])), before[i]);
        QCOMPARE(QFileInfo::exists(target(in + "/extra.png")), extra == "good");
    }

    // The page's own text stays for the whole job; the bar counts the files done; the time the
    // overwrite dialog waited for its answer is not part of the time taken.
    void progressPageThroughAJob_data()
    {
        QTest::addColumn<int>("file");
        QTest::newRow("first file") << 0;
        QTest::newRow("second file") << 1;
        QTest::newRow("last file") << 2;
    }

    void progressPageThroughAJob()
    {
        QFETCH(int, file);
        const QString waitText = "Converting images in progress. Please wait...";
        const QStringList urls = sources(3);
        occupyTarget(urls[0]);
        auto *page = new ConvertProgressForm;
        QSemaphore proceed;
        auto lock = std::make_unique<OptionsLockHolder>();
        QString label, progressLabel;
        int value = -1;
        connect(page, &ConvertProgressForm::startConvertSignal, this, [&] {
            if (!lock)
                return;
            QTimer::singleShot(0, this, [&] {
                pauseWorkerAt(page->worker(), urls[file], &proceed);
                lock->unlock();
                QTRY_COMPARE_WITH_TIMEOUT(pageText(page, "label_2"), urls[file], 60000);
                label = pageText(page, "label");
                progressLabel = pageText(page, "progressLabel");
                value = progressBar(page)->value();
                proceed.release();
                lock.reset();
            });
        });
        QString finalLabel, timeTaken;
        ModalAnswerer answerer({ [&](QWidget *modal) {
                                    QTest::qWait(3500);
                                    clickButton(modal, "Overwrite");
                                },
            [&](QWidget *modal) {
                finalLabel = pageText(page, "label");
                timeTaken = modalAs<QMessageBox>(modal)->informativeText().section('\n', -1);
                clickButton(modal, "OK");
            } });
        Outcome outcome;
        QVERIFY(run(page, urls, &outcome));

        QCOMPARE(answerer.unexpected, QStringList());
        QCOMPARE(answerer.answered(), 2);
        QCOMPARE(label, waitText);
        QCOMPARE(finalLabel, waitText);
        QCOMPARE(value, file);
        QVERIFY2(progressLabel.startsWith(QString("Converting %1 of 3, ").arg(file + 1)),
            qPrintable(progressLabel));
        QVERIFY2(timeTaken == "Time taken: 0:00." || timeTaken == "Time taken: 0:01.", qPrintable(timeTaken));
    }

    void cancelLetsTheCurrentFileFinish_data()
    {
        QTest::addColumn<bool>("inSecondJob");
        QTest::addColumn<bool>("brokenFirst"); // the first source is not a picture
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QString>("counts"); // the files after the stopped one were never reached
        QTest::newRow("first job") << false << false << ""
                                   << "2 converted, 0 skipped, 0 failed.";
        QTest::newRow("second job") << true << false << ""
                                    << "2 converted, 0 skipped, 0 failed.";
        QTest::newRow("first job, a failure before the stop")
            << false << true << "1 of 2 files could not be converted."
            << "1 converted, 0 skipped, 1 failed.";
        QTest::newRow("second job, a failure before the stop")
            << true << true << "1 of 4 files could not be converted."
            << "1 converted, 0 skipped, 1 failed.";
    }

    // The stop waits for the file being written; the closing message says "Cancelled" and keeps
    // the failures of the files handled before it.
    void cancelLetsTheCurrentFileFinish()
    {
        QFETCH(bool, inSecondJob);
        QFETCH(bool, brokenFirst);
        QFETCH(QString, summary);
        QFETCH(QString, counts);
        const QStringList urls = sources(4);
        if (brokenFirst) {
            QVERIFY(TestSupport::writeFile(urls[0], "this is not a picture"));
        }
        QList<QByteArray> before;
        if (inSecondJob) {
            for (const QString &url : urls)
                before.append(occupyTarget(url));
        }

        auto *page = new ConvertProgressForm;
        QSemaphore proceed;
        std::unique_ptr<OptionsLockHolder> lock;
        // Runs once the job's worker exists and is held at its first snapshot.
        auto watchAndCancelDuringSecondFile = [&] {
            pauseWorkerAt(page->worker(), urls[1], &proceed);
            lock->unlock();
            QTRY_COMPARE_WITH_TIMEOUT(pageText(page, "label_2"), urls[1], 60000);
            QTest::mouseClick(page->findChild<QPushButton *>("cancelButton"), Qt::LeftButton);
            proceed.release();
        };

        QList<ModalAnswerer::Handler> handlers;
        if (inSecondJob) {
            handlers.append([&](QWidget *modal) {
                lock = std::make_unique<OptionsLockHolder>();
                clickButton(modal, "Overwrite");
                QTimer::singleShot(0, this, watchAndCancelDuringSecondFile);
            });
        } else {
            lock = std::make_unique<OptionsLockHolder>();
            // The worker is created right after this signal, within startConvert.
            connect(page, &ConvertProgressForm::startConvertSignal, this,
                [&] { QTimer::singleShot(0, this, watchAndCancelDuringSecondFile); });
        }
        BoxSeen box;
        handlers.append([&](QWidget *modal) {
            box = describeBox(modalAs<QMessageBox>(modal));
            clickButton(modal, "OK");
        });
        ModalAnswerer answerer(handlers);
        Outcome outcome;
        QVERIFY(run(page, urls, &outcome));

        QCOMPARE(answerer.unexpected, QStringList());
        QCOMPARE(answerer.answered(), inSecondJob ? 2 : 1);
        QCOMPARE(box.text, QString("Cancelled"));
        QCOMPARE(box.informative.split('\n').size(), summary.isEmpty() ? 2 : 3);
        if (!summary.isEmpty())
            QCOMPARE(box.informative.section('\n', 0, 0), summary);
        QCOMPARE(countsOf(box.informative), counts);
        QCOMPARE(box.detailed.startsWith(urls[0] + ": "), brokenFirst);
        QCOMPARE(outcome.finished, 1);
        const QList<bool> toolbar
            = inSecondJob ? QList<bool> { false, true, false, true } : QList<bool> { false, true };
        QCOMPARE(outcome.toolbar, toolbar);
        QCOMPARE(outcome.progressAtStart.last().first, 0);
        for (int i = 0; i < urls.size(); ++i) {
            if (i < 2 && !(brokenFirst && i == 0))
                QCOMPARE(QImage(target(urls[i])).size(), QImage(urls[i]).size());
            else if (inSecondJob)
                QCOMPARE(TestSupport::fileDigest(target(urls[i])), before[i]);
            else
                QVERIFY(!QFileInfo::exists(target(urls[i])));
        }
    }

    void failuresAreReported_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QStringList>("failed");
        QTest::addColumn<QStringList>("written");
        QTest::addColumn<QString>("counts");

        // bad: not an image; gone: no such file; clash: a folder stands where its target goes.
        QTest::newRow("unreadable source")
            << QStringList { "good", "bad" } << "The conversion processes are completed."
            << "1 of 2 files could not be converted." << QStringList { "bad" } << QStringList { "good.png" }
            << "1 converted, 0 skipped, 1 failed.";
        QTest::newRow("missing source") << QStringList { "gone" } << "The conversion process is completed."
                                        << "1 of 1 file could not be converted." << QStringList { "gone" }
                                        << QStringList() << "0 converted, 0 skipped, 1 failed.";
        QTest::newRow("unreadable source, unwritable target")
            << QStringList { "good", "bad", "clash" } << "The conversion process is completed."
            << "2 of 3 files could not be converted." << QStringList { "bad", "clash" }
            << QStringList { "good.png" } << "1 converted, 0 skipped, 2 failed.";
    }

    void failuresAreReported()
    {
        QFETCH(QStringList, names);
        QFETCH(QString, text);
        QFETCH(QString, summary);
        QFETCH(QStringList, failed);
        QFETCH(QStringList, written);
        QFETCH(QString, counts);

        QStringList urls;
        for (const QString &name : std::as_const(names)) {
            const QString path = in + "/" + name + ".png";
            if (name == "bad") {
                QVERIFY(TestSupport::writeFile(path, "this is not a picture"));
            } else if (name != "gone") {
                source(name + ".png");
            }
            if (name == "clash")
                QVERIFY(QDir(out).mkdir("clash.png"));
            urls.append(path);
        }

        BoxSeen box;
        QList<ModalAnswerer::Handler> handlers;
        if (names.contains("clash"))
            handlers.append([](QWidget *modal) { clickButton(modal, "Overwrite"); });
        handlers.append([&](QWidget *modal) {
            box = describeBox(modalAs<QMessageBox>(modal));
            clickButton(modal, "OK");
        });
        ModalAnswerer answerer(handlers);
        Outcome outcome;
        QVERIFY(run(new ConvertProgressForm, urls, &outcome));
        QCOMPARE(answerer.unexpected, QStringList());
        QCOMPARE(answerer.answered(), handlers.size());

        QCOMPARE(box.icon, QMessageBox::Warning);
        QCOMPARE(box.title, QString("Fast Pictomat"));
        QCOMPARE(box.text, text);
        QCOMPARE(box.informative.section('\n', 0, 0), summary);
        QCOMPARE(countsOf(box.informative), counts);
        QVERIFY(box.buttons.contains("Open Folder"));
        const QStringList lines = box.detailed.split('\n');
        QCOMPARE(lines.size(), failed.size());
        for (int i = 0; i < failed.size(); ++i) {
            const QString prefix = in + "/" + failed[i] + ".png: ";
            QVERIFY2(lines[i].startsWith(prefix) && lines[i].size() > prefix.size(), qPrintable(lines[i]));
        }
        QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden), written);
    }
};

QTEST_MAIN(TestConvertProgress)
#include "tst_convertprogress.moc"
