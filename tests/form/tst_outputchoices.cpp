// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/conversionoptions.h"
#include "convert/convertprogressform.h"
#include "convert/modalanswerer.h"
#include "filelist/filelistmodel.h"
#include "formsupport.h"
#include "settingrows.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>
#include <memory>

using TestSupport::clearStore;
using TestSupport::openMainApp;
using TestSupport::storedKeys;
using TestSupport::storedValue;

// The controls for the encoders, the file names and folders, the background and the resize rules:
// each writes and stores its own option, shows the stored value at start, and Reset restores the
// resize rules while the output choices stay, as the target and the output folder do.
class TestOutputChoices : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ConvertImageForm> form;
    QTemporaryDir dir;

    template <typename T> T *widget(const QString &name) { return TestSupport::child<T>(form.get(), name); }

    void startForm() { form = TestSupport::startForm(); }

    // Puts `input` into the control as a user would: a value, an index, a text or a click.
    void enter(const QString &name, const QVariant &input)
    {
        if (!TestSupport::enterInput(widget<QWidget>(name), input))
            QFAIL("unexpected widget type");
    }

    // A form with `files` (made in the test folder) in its list, converting to PNG into `folder`.
    QStringList startWithFiles(const QStringList &names, const QString &folder)
    {
        QStringList files;
        for (const QString &name : names) {
            files.append(dir.filePath(name));
            QDir().mkpath(QFileInfo(files.last()).path());
            if (!TestSupport::makePhotoLike(16, 12).save(files.last()))
                qFatal("cannot write fixture");
        }
        startForm();
        widget<QComboBox>("targetComboBox")->setCurrentIndex(6);
        widget<QLineEdit>("outputFolderLineEdit")->setText(folder);
        auto *model = qobject_cast<FileListModel *>(widget<QTreeView>("sourceTreeView")->model());
        model->appendFiles(files);
        widget<QWidget>("convertButton")->setEnabled(true);
        return files;
    }

    bool conversionOver()
    {
        return QTest::qWaitFor([this] { return !form->hasRunningWork(); }, 120000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        ConvertProgressForm::setLocationOpener([](const QUrl &) { return true; });
    }

    void init()
    {
        TestSupport::resetFormState();
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
    }
    void cleanup() { form.reset(); }

    void controlStoresItsOption_data()
    {
        QTest::addColumn<int>("target");
        QTest::addColumn<QString>("object");
        QTest::addColumn<QVariant>("input");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("stored");
        for (const TestSupport::SettingRow &row : TestSupport::settingRows(QString())) {
            if (!row.control.isEmpty())
                QTest::newRow(qPrintable(row.tag))
                    << row.settings.value("targeFileType").toInt() << row.control << row.input << row.key
                    << row.settings.value(row.key).toString();
        }
    }

    void controlStoresItsOption()
    {
        QFETCH(int, target);
        QFETCH(QString, object);
        QFETCH(QVariant, input);
        QFETCH(QString, key);
        QFETCH(QString, stored);
        startForm();
        widget<QComboBox>("targetComboBox")->setCurrentIndex(target);
        // The resize rules take clicks only while scaling is on.
        widget<QCheckBox>("scaleImageCheckBox")->click();
        clearStore();
        enter(object, input);
        QCOMPARE(storedKeys(), QStringList { key });
        QCOMPARE(storedValue(key).toString(), stored);
    }

    // One quality box serves five formats, each with its own value; JPG keeps its own box.
    void qualityFollowsTheTarget()
    {
        startForm();
        auto *targets = widget<QComboBox>("targetComboBox");
        auto *quality = widget<QSpinBox>("formatQualitySpinBox");
        targets->setCurrentIndex(8);
        quality->setValue(40);
        targets->setCurrentIndex(0);
        QCOMPARE(quality->value(), 70);
        QVERIFY(widget<QCheckBox>("losslessCheckBox")->isVisibleTo(form.get()));
        targets->setCurrentIndex(2);
        QCOMPARE(quality->value(), 50);
        QVERIFY(!widget<QCheckBox>("losslessCheckBox")->isVisibleTo(form.get()));
        targets->setCurrentIndex(4);
        QVERIFY(!quality->isVisibleTo(form.get()));
        QVERIFY(widget<QSpinBox>("qualitySpinBox")->isVisibleTo(form.get()));
        targets->setCurrentIndex(8);
        QCOMPARE(quality->value(), 40);
        QCOMPARE(conversionOptions().avifQuality, 70);
        widget<QCheckBox>("losslessCheckBox")->click();
        QVERIFY(!quality->isEnabled());
    }

    void storedChoicesShowAtStart()
    {
        {
            const std::unique_ptr<QSettings> settings = openMainApp();
            settings->setValue("targeFileType", 7);
            settings->setValue("tiffCompression", 1);
            settings->setValue("namePattern", "{counter}-{name}");
            settings->setValue("targetExistsAction", 1);
            settings->setValue("saveNextToOriginal", true);
            settings->setValue("backgroundColor", "#ff0000");
            settings->setValue("scaleRelativeTo", 3);
            settings->setValue("scaleRelativeEdge", 1600);
            settings->setValue("scaleNoEnlarge", true);
        }
        startForm();
        QCOMPARE(widget<QComboBox>("tiffCompressionComboBox")->currentIndex(), 1);
        QVERIFY(widget<QComboBox>("tiffCompressionComboBox")->isVisibleTo(form.get()));
        QCOMPARE(widget<QLineEdit>("namePatternLineEdit")->text(), QString("{counter}-{name}"));
        QCOMPARE(widget<QComboBox>("targetExistsComboBox")->currentIndex(), 1);
        QVERIFY(widget<QCheckBox>("saveNextToOriginalCheckBox")->isChecked());
        QVERIFY(!widget<QCheckBox>("keepFolderStructureCheckBox")->isEnabled());
        QCOMPARE(conversionOptions().backgroundColor, QColor(Qt::red));
        QCOMPARE(widget<QComboBox>("relativeToComboBox")->currentIndex(), 3);
        QCOMPARE(widget<QLabel>("relativeValueLabel")->text(), QString("Short edge:"));
        QCOMPARE(widget<QLineEdit>("relativeValueLineEdit")->text(), QString("1600"));
        QVERIFY(widget<QCheckBox>("noEnlargeCheckBox")->isChecked());
        // Showing the stored values stored nothing again.
        QCOMPARE(storedValue("scaleRelativeEdge").toInt(), 1600);
    }

    // The watermark sizes relative to the image width come back at start with their unit, and Reset
    // puts them back to the sizes of before, as it does the other image options.
    void relativeSizesShowAtStartAndReset()
    {
        {
            const std::unique_ptr<QSettings> settings = openMainApp();
            settings->setValue("textSizeRelative", true);
            settings->setValue("qrCodeSizeRelative", true);
            settings->setValue("watermarksAfterScaling", true);
        }
        startForm();
        QVERIFY(widget<QCheckBox>("textSizeRelativeCheckBox")->isChecked());
        QVERIFY(!widget<QCheckBox>("imageSizeRelativeCheckBox")->isChecked());
        QCOMPARE(widget<QSpinBox>("sizeSpinBox")->suffix(), QString(" %"));
        QCOMPARE(widget<QSpinBox>("qrCodeSizeSpinBox")->suffix(), QString(" %"));
        QVERIFY(widget<QCheckBox>("watermarksAfterScalingCheckBox")->isChecked());

        ModalAnswerer answerer({ [](QWidget *modal) { clickButton(modal, "Yes"); } });
        widget<QAbstractButton>("tabResetButton")->click();
        QVERIFY(!widget<QCheckBox>("textSizeRelativeCheckBox")->isChecked());
        QVERIFY(!widget<QCheckBox>("watermarksAfterScalingCheckBox")->isChecked());
        QCOMPARE(widget<QSpinBox>("sizeSpinBox")->suffix(), QString(" pt"));
        QCOMPARE(widget<QSpinBox>("qrCodeSizeSpinBox")->suffix(), QString(" px"));
        QCOMPARE(storedValue("qrCodeSizeRelative").toBool(), false);
        QCOMPARE(storedValue("watermarksAfterScaling").toBool(), false);
    }

    // Units sit in the spin boxes on every tab, never in a label beside them, so that "%" lines up
    // the same way everywhere.
    void unitsAreSpinBoxSuffixes()
    {
        startForm();
        const QStringList units { "%", "px", "pt" };
        for (const QLabel *label : form->findChildren<QLabel *>())
            QVERIFY2(!units.contains(label->text().trimmed()), qPrintable(label->objectName()));
        const QRegularExpression measured(
            "(opacity|margin|size|percentage)SpinBox$", QRegularExpression::CaseInsensitiveOption);
        int seen = 0;
        for (const QSpinBox *box : form->findChildren<QSpinBox *>()) {
            if (!measured.match(box->objectName()).hasMatch() || box->objectName() == "pdfMarginSizeSpinBox")
                continue;
            ++seen;
            QVERIFY2(units.contains(box->suffix().trimmed()), qPrintable(box->objectName()));
        }
        QCOMPARE(seen, 9);
    }

    void namePreviewShowsTheFirstFile()
    {
        QVERIFY(TestSupport::makePhotoLike(30, 20).save(dir.filePath("holiday.png")));
        startForm();
        widget<QComboBox>("targetComboBox")->setCurrentIndex(4);
        form->on_ImageFilesSelected({ dir.filePath("holiday.png") });
        auto *preview = widget<QLabel>("namePreviewLabel");
        QTRY_COMPARE_WITH_TIMEOUT(preview->text(), QString("First file: holiday.jpg"), 10000);
        widget<QLineEdit>("namePatternLineEdit")->setText("{name}_{size}_{counter}");
        QCOMPARE(preview->text(), QString("First file: holiday_30x20_001.jpg"));
        widget<QComboBox>("targetComboBox")->setCurrentIndex(8);
        QCOMPARE(preview->text(), QString("First file: holiday_30x20_001.webp"));
    }

    void metadataChoicesFollowTheTarget_data()
    {
        QTest::addColumn<int>("target");
        QTest::addColumn<bool>("holdsMetadata");
        QTest::newRow("GIF") << 1 << false;
        QTest::newRow("PDF") << 9 << false;
        QTest::newRow("JPG") << 4 << true;
        QTest::newRow("PNG") << 6 << true;
    }

    // GIF and PDF hold no metadata: both boxes are disabled and say why; back on another target
    // they are usable again with their own tooltips.
    void metadataChoicesFollowTheTarget()
    {
        QFETCH(int, target);
        QFETCH(bool, holdsMetadata);
        startForm();
        auto *keep = widget<QCheckBox>("keepMetadataCheckBox");
        auto *location = widget<QCheckBox>("removeLocationCheckBox");
        if (!keep->isChecked())
            QTest::mouseClick(keep, Qt::LeftButton);
        const QString ownTip = keep->toolTip();
        widget<QComboBox>("targetComboBox")->setCurrentIndex(target);
        QCOMPARE(keep->isEnabled(), holdsMetadata);
        QCOMPARE(location->isEnabled(), holdsMetadata);
        const QString why = QStringLiteral("GIF and PDF files hold no metadata");
        QCOMPARE(keep->toolTip() == why, !holdsMetadata);
        QCOMPARE(location->toolTip() == why, !holdsMetadata);
        widget<QComboBox>("targetComboBox")->setCurrentIndex(target == 4 ? 6 : 4);
        QVERIFY(keep->isEnabled() && location->isEnabled());
        QCOMPARE(keep->toolTip(), ownTip);
    }

    // "First file:" follows every input its name depends on: the output folder (by line edit or
    // the folder chooser), the numbering choice and the scaling of a {size} pattern.
    void namePreviewFollowsEveryInput()
    {
        QVERIFY(TestSupport::makePhotoLike(30, 20).save(dir.filePath("alpha.png")));
        const QString taken = dir.filePath("taken"), empty = dir.filePath("empty");
        QVERIFY(QDir().mkpath(taken) && QDir().mkpath(empty));
        QVERIFY(TestSupport::writeFile(taken + "/alpha.jpg", "an earlier file"));
        startForm();
        widget<QComboBox>("targetComboBox")->setCurrentIndex(4);
        widget<QLineEdit>("outputFolderLineEdit")->setText(taken);
        widget<QComboBox>("targetExistsComboBox")->setCurrentIndex(2); // add a number
        form->on_ImageFilesSelected({ dir.filePath("alpha.png") });
        auto *preview = widget<QLabel>("namePreviewLabel");
        QTRY_COMPARE_WITH_TIMEOUT(preview->text(), QString("First file: alpha (2).jpg"), 10000);
        widget<QLineEdit>("outputFolderLineEdit")->setText(empty);
        QCOMPARE(preview->text(), QString("First file: alpha.jpg"));
        form->on_FolderSelected(taken);
        QCOMPARE(preview->text(), QString("First file: alpha (2).jpg"));
        widget<QComboBox>("targetExistsComboBox")->setCurrentIndex(0); // ask
        QCOMPARE(preview->text(), QString("First file: alpha.jpg"));
        widget<QLineEdit>("namePatternLineEdit")->setText("{name}_{size}");
        QCOMPARE(preview->text(), QString("First file: alpha_30x20.jpg"));
        auto *scale = widget<QCheckBox>("scaleImageCheckBox");
        if (!scale->isChecked())
            QTest::mouseClick(scale, Qt::LeftButton);
        widget<QRadioButton>("percentageRadioButton")->setChecked(true);
        widget<QSpinBox>("percentageSpinBox")->setValue(50);
        QCOMPARE(preview->text(), QString("First file: alpha_15x10.jpg"));
    }

    void missingFolderIsOfferedToBeCreated_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("created");
        QTest::newRow("create") << "Create Folder" << true;
        QTest::newRow("cancel") << "Cancel" << false;
    }

    void missingFolderIsOfferedToBeCreated()
    {
        QFETCH(QString, answer);
        QFETCH(bool, created);
        const QString folder = dir.filePath("new/web");
        startWithFiles({ "in/a.png" }, folder);
        QString question;
        QList<ModalAnswerer::Handler> handlers { [&](QWidget *modal) {
            if (auto *box = modalAs<QMessageBox>(modal))
                question = box->text();
            clickButton(modal, answer);
        } };
        if (created)
            handlers.append([](QWidget *modal) { clickButton(modal, "OK"); });
        ModalAnswerer answerer(handlers);
        widget<QAbstractButton>("convertButton")->click();
        QVERIFY(conversionOver());
        QCOMPARE(answerer.unexpected, QStringList());
        QCOMPARE(answerer.answered(), handlers.size());
        QCOMPARE(question, "The output folder " + QDir::toNativeSeparators(folder) + " does not exist.");
        QCOMPARE(QFileInfo::exists(folder + "/a.png"), created);
        QCOMPARE(QFileInfo::exists(folder), created);
    }

    // Beside the originals no output folder is asked for; sub-folders keep their files.
    void nextToOriginalNeedsNoOutputFolder()
    {
        startWithFiles({ "in/a.png", "in/deep/b.png" }, QString());
        widget<QComboBox>("targetComboBox")->setCurrentIndex(4);
        widget<QCheckBox>("saveNextToOriginalCheckBox")->click();
        ModalAnswerer answerer({ [](QWidget *modal) { clickButton(modal, "OK"); } });
        widget<QAbstractButton>("convertButton")->click();
        QVERIFY(conversionOver());
        QCOMPARE(answerer.unexpected, QStringList());
        QVERIFY(QFileInfo::exists(dir.filePath("in/a.jpg")));
        QVERIFY(QFileInfo::exists(dir.filePath("in/deep/b.jpg")));
    }
};

QTEST_MAIN(TestOutputChoices)
#include "tst_outputchoices.moc"
