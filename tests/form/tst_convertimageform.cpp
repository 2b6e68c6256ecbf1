// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/formrequests.h"
#include "app/urlopener.h"
#include "app/version.h"
#include "common/lkcolorwidget.h"
#include "convert/conversionoptions.h"
#include "dialoganswer.h"
#include "formsupport.h"
#include "testsupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QFontComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QStyleOption>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

using TestSupport::answerDialog;
using TestSupport::clearStore;
using TestSupport::darkPalette;
using TestSupport::iconImage;
using TestSupport::openMainApp;
using TestSupport::resourceIcon;
using TestSupport::storedKeys;
using TestSupport::storedValue;

const QString PreviewText = QStringLiteral("Preview");

} // namespace

// Stands in for the progress page: counts the cancel requests the form makes.
class FakeProgressPage : public QWidget {
    Q_OBJECT

public:
    int cancelled = 0;

signals:
    void finished();

public slots:
    void abandon() { ++cancelled; }
};

class TestConvertImageForm : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ConvertImageForm> form;
    QTemporaryDir dataDir;

    template <typename T> T *widget(const char *name) { return TestSupport::child<T>(form.get(), name); }

    QLabel *preview() { return widget<QLabel>("previewImage"); }
    // Whether a handler asked for a new preview since the form started.
    static bool previewRequested()
    {
        return !TestSupport::DebugLog::linesStartingWith(QStringLiteral("ConvertImageForm::loadImage: "))
                    .isEmpty();
    }
    void startForm();

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startsWithDropFrameAndListButtonsDisabled();
    void loadingShowsStoredValuesWithoutStoringThem();
    void handlersStoreAtOnce_data();
    void handlersStoreAtOnce();
    void clickHandlersStoreAtOnce_data();
    void clickHandlersStoreAtOnce();
    void targetShowsQualityAndPdfGroup_data();
    void targetShowsQualityAndPdfGroup();
    void scalingOffDisablesScaleWidgets();
    void heightSwitchesCaptionAndStoredKey();
    void orientationAndMarginButtons();
    void fontKeepsOnlyTheFamily();
    void colorFromSwatchAndFromDialog();
    void folderChoiceTakesOnlyExistingFolders();
    void pdfFileDialogStoresOnlyTheFileItem();
    void watermarkThumbnailFitsTheLabel_data();
    void watermarkThumbnailFitsTheLabel();
    void watermarkThatCannotBeReadLeavesNoPicture();
    void resetAnsweredNoChangesNothing();
    void resetAnsweredYesKeepsOutputAndPdf();
    void restoredRulesJoinTheListWithoutStoring();
    void themeSwapsEveryIcon_data();
    void themeSwapsEveryIcon();
    void disabledConvertShowsGrayInBothSchemes();
    void dropPictureFollowsTheScheme();
    void checkBoxesShowInTheDarkScheme();
    void toolbarOpensAboutUpdateAndWebsite();
    void conversionPageHidesAndRestoresTheForm();
    void abandonWorkCancelsTheConversion();
    void entriesAreCallableByName_data();
    void entriesAreCallableByName();
    void buttonsAndDialogsSayWhatTheyDo();
    void websiteThatCannotOpenSaysSo();
};

void TestConvertImageForm::initTestCase()
{
    QVERIFY(dataDir.isValid());
    QVERIFY(openMainApp()->fileName().contains(QLatin1String(".qttest")));
}

void TestConvertImageForm::init()
{
    TestSupport::resetFormState();
}

void TestConvertImageForm::cleanup()
{
    form.reset();
    TestSupport::restoreStandardPalette();
}

void TestConvertImageForm::startForm()
{
    form = TestSupport::startForm();
    preview()->setText(PreviewText);
}

void TestConvertImageForm::startsWithDropFrameAndListButtonsDisabled()
{
    startForm();
    auto *stack = widget<QStackedWidget>("sourceStackedWidget");
    QCOMPARE(stack->currentWidget(), widget<QWidget>("sourceFrame"));
    QCOMPARE(stack->indexOf(widget<QTreeView>("sourceTreeView")), 0);
    QCOMPARE(widget<QTabWidget>("tabWidget")->currentWidget(), widget<QWidget>("outputFolderTab"));
    for (const char *name : { "convertButton", "removeButton", "clearButton", "upButton", "downButton" })
        QVERIFY2(!widget<QToolButton>(name)->isEnabled(), name);
    QVERIFY(widget<QToolButton>("addFilesButton")->isEnabled());
    QVERIFY(widget<QToolButton>("adjustDeleteButton")->isChecked());
    QVERIFY(widget<QToolButton>("adjustDeleteButton")->isHidden());

    auto *targets = widget<QComboBox>("targetComboBox");
    QCOMPARE(targets->count(), 10);
    QCOMPARE(targets->itemText(5), QStringLiteral("JPEG XL"));
    QCOMPARE(targets->itemText(9), QStringLiteral("PDF"));
    for (const char *name : { "imagePositionComboBox", "qrCodePositionComboBox" }) {
        auto *positions = widget<QComboBox>(name);
        QCOMPARE(positions->count(), 9);
        QCOMPARE(positions->itemText(0), QStringLiteral("Top - Left"));
        QCOMPARE(positions->itemText(8), QStringLiteral("Bottom - Right"));
    }
}

void TestConvertImageForm::loadingShowsStoredValuesWithoutStoringThem()
{
    {
        std::unique_ptr<QSettings> settings = openMainApp();
        settings->setValue(QStringLiteral("targeFileType"), 4);
        settings->setValue(QStringLiteral("targeFileQuality"), 77);
        settings->setValue(QStringLiteral("scaleImage"), true);
        settings->setValue(QStringLiteral("scalePercentage"), 1000);
        settings->setValue(QStringLiteral("textContent"), QStringLiteral("Stamp"));
        settings->setValue(QStringLiteral("outputFolder"), dataDir.filePath(QStringLiteral("gone")));
    }
    startForm();

    QCOMPARE(widget<QComboBox>("targetComboBox")->currentIndex(), 4);
    QVERIFY(widget<QSpinBox>("qualitySpinBox")->isVisibleTo(form.get()));
    QCOMPARE(widget<QSpinBox>("qualitySpinBox")->value(), 77);
    QVERIFY(widget<QCheckBox>("scaleImageCheckBox")->isChecked());
    QVERIFY(widget<QSpinBox>("percentageSpinBox")->isEnabled());
    QCOMPARE(widget<QSpinBox>("percentageSpinBox")->value(), 400);
    QCOMPARE(conversionOptions().scalePercentage, 1000);
    QCOMPARE(widget<QLineEdit>("textLineEdit")->text(), QStringLiteral("Stamp"));
    QCOMPARE(conversionOptions().outputFolder, QString());
    QCOMPARE(widget<QLineEdit>("outputFolderLineEdit")->text(), QString());
    QCOMPARE(preview()->text(), PreviewText);

    // Only the margin size handler ignores the guard; everything else stays as stored.
    QCOMPARE(storedKeys(),
        (QStringList { "outputFolder", "pdfPaperMarginSize", "scaleImage", "scalePercentage",
            "targeFileQuality", "targeFileType", "textContent" }));
    QCOMPARE(storedValue(QStringLiteral("scalePercentage")).toInt(), 1000);
}

void TestConvertImageForm::handlersStoreAtOnce_data()
{
    QTest::addColumn<QString>("object");
    QTest::addColumn<QVariant>("input");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("refreshes");

    // Every row stores its one key, except the PDF name, whose item covers three keys.
    QTest::newRow("target") << "targetComboBox" << QVariant(6) << "targeFileType"
                            << "6" << false;
    QTest::newRow("quality") << "qualitySpinBox" << QVariant(50) << "targeFileQuality"
                             << "50" << false;
    QTest::newRow("output folder") << "outputFolderLineEdit" << QVariant("/some/where") << "outputFolder"
                                   << "/some/where" << false;
    QTest::newRow("pdf name") << "pdfFilenameLineEdit" << QVariant("album") << "pdfFileName"
                              << "album" << false;
    QTest::newRow("paper size") << "pdfPaperSizeComboBox" << QVariant(3) << "pdfPaperSize"
                                << "3" << false;
    QTest::newRow("pdf quality") << "pdfQualityComboBox" << QVariant(5) << "pdfQuality"
                                 << "5" << false;
    QTest::newRow("margin size") << "pdfMarginSizeSpinBox" << QVariant(33) << "pdfPaperMarginSize"
                                 << "33" << false;
    QTest::newRow("percentage") << "percentageSpinBox" << QVariant(150) << "scalePercentage"
                                << "150" << true;
    QTest::newRow("absolute width") << "absoluteWidthLineEdit" << QVariant("800") << "scaleAbsoluteWitdh"
                                    << "800" << true;
    QTest::newRow("absolute width letters")
        << "absoluteWidthLineEdit" << QVariant("abc") << "scaleAbsoluteWitdh"
        << "0" << true;
    QTest::newRow("absolute height") << "absoluteHeightLineEdit" << QVariant("600") << "scaleAbsoluteHeight"
                                     << "600" << true;
    QTest::newRow("relative to") << "relativeToComboBox" << QVariant(1) << "scaleRelativeTo"
                                 << "1" << true;
    QTest::newRow("relative width") << "relativeValueLineEdit" << QVariant("1234") << "scaleRelativeWidth"
                                    << "1234" << true;
    QTest::newRow("text") << "textLineEdit" << QVariant("Hello") << "textContent"
                          << "Hello" << true;
    QTest::newRow("text size") << "sizeSpinBox" << QVariant(30) << "textSize"
                               << "30" << true;
    QTest::newRow("text position") << "positionComboBox" << QVariant(2) << "textPosition"
                                   << "2" << true;
    QTest::newRow("text opacity") << "opacitySpinBox" << QVariant(40) << "textOpacity"
                                  << "40" << true;
    QTest::newRow("text margin") << "marginSpinBox" << QVariant(7) << "textMargin"
                                 << "7" << true;
    QTest::newRow("image size") << "imageSizeSpinBox" << QVariant(50) << "imageSize"
                                << "50" << true;
    QTest::newRow("image position") << "imagePositionComboBox" << QVariant(1) << "imagePosition"
                                    << "1" << true;
    QTest::newRow("image opacity") << "imageOpacitySpinBox" << QVariant(60) << "imageOpacity"
                                   << "60" << true;
    QTest::newRow("image margin") << "imageMarginSpinBox" << QVariant(9) << "imageMargin"
                                  << "9" << true;
    QTest::newRow("qr text") << "qrCodeTextEdit" << QVariant("a\nb") << "qrCodeText"
                             << "a\nb" << true;
    QTest::newRow("qr size") << "qrCodeSizeSpinBox" << QVariant(250) << "qrCodeSize"
                             << "250" << true;
    QTest::newRow("qr position") << "qrCodePositionComboBox" << QVariant(4) << "qrCodePosition"
                                 << "4" << true;
    QTest::newRow("qr margin") << "qrCodeMarginSpinBox" << QVariant(11) << "qrCodeMargin"
                               << "11" << true;
}

void TestConvertImageForm::handlersStoreAtOnce()
{
    QFETCH(QString, object);
    QFETCH(QVariant, input);
    QFETCH(QString, key);
    QFETCH(QString, stored);
    QFETCH(bool, refreshes);
    startForm();
    const TestSupport::DebugLog::Collector debugLines;
    clearStore();

    if (!TestSupport::enterInput(widget<QWidget>(qPrintable(object)), input))
        QFAIL("unexpected widget type");

    const QStringList keys = key == QLatin1String("pdfFileName")
        ? QStringList { "pdfFileName", "pdfSmoothEdges", "resizeImageToPaper" }
        : QStringList { key };
    QCOMPARE(storedKeys(), keys);
    QCOMPARE(storedValue(key).toString(), stored);
    QCOMPARE(previewRequested(), refreshes);
    // Nothing is listed: nothing to preview, so the label never says it is generating one.
    QCOMPARE(preview()->text(), PreviewText);
}

void TestConvertImageForm::clickHandlersStoreAtOnce_data()
{
    QTest::addColumn<QString>("object");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("refreshes");

    QTest::newRow("scale image") << "scaleImageCheckBox" << QStringList { "scaleImage" } << "scaleImage"
                                 << "true" << true;
    QTest::newRow("absolute") << "absoluteRadioButton" << QStringList { "scaleType" } << "scaleType"
                              << "1" << true;
    QTest::newRow("relative") << "relativeRadioButton" << QStringList { "scaleType" } << "scaleType"
                              << "2" << true;
    QTest::newRow("resize to paper") << "pdfResizeImageToPaperCheckBox"
                                     << QStringList { "pdfFileName", "pdfSmoothEdges", "resizeImageToPaper" }
                                     << "resizeImageToPaper"
                                     << "true" << false;
    QTest::newRow("smooth edges") << "pdfSmoothEdgesCheckBox"
                                  << QStringList { "pdfFileName", "pdfSmoothEdges", "resizeImageToPaper" }
                                  << "pdfSmoothEdges"
                                  << "false" << false;
    QTest::newRow("landscape") << "pdfPageOrientationLanscapeButton" << QStringList { "pdfPaperOrientation" }
                               << "pdfPaperOrientation"
                               << "1" << false;
    QTest::newRow("add margin") << "pdfAddMarginButton" << QStringList { "pdfPaperMargin" }
                                << "pdfPaperMargin"
                                << "1" << false;
}

void TestConvertImageForm::clickHandlersStoreAtOnce()
{
    QFETCH(QString, object);
    QFETCH(QStringList, keys);
    QFETCH(QString, key);
    QFETCH(QString, stored);
    QFETCH(bool, refreshes);
    startForm();
    const TestSupport::DebugLog::Collector debugLines;
    widget<QWidget>("scaleOptionsWidget")->setEnabled(true);
    clearStore();

    widget<QAbstractButton>(qPrintable(object))->click();

    QCOMPARE(storedKeys(), keys);
    QCOMPARE(storedValue(key).toString(), stored);
    QCOMPARE(previewRequested(), refreshes);
    // Nothing is listed: nothing to preview, so the label never says it is generating one.
    QCOMPARE(preview()->text(), PreviewText);
}

void TestConvertImageForm::targetShowsQualityAndPdfGroup_data()
{
    QTest::addColumn<int>("target");
    QTest::addColumn<bool>("quality");
    QTest::addColumn<bool>("pdf");
    QTest::newRow("JPG") << 4 << true << false;
    QTest::newRow("PNG") << 6 << false << false;
    QTest::newRow("PDF") << 9 << false << true;
    QTest::newRow("AVIF") << 0 << false << false;
}

void TestConvertImageForm::targetShowsQualityAndPdfGroup()
{
    QFETCH(int, target);
    QFETCH(bool, quality);
    QFETCH(bool, pdf);
    startForm();
    auto *targets = widget<QComboBox>("targetComboBox");
    // Come from each of the other states, so that both showing and hiding are exercised.
    for (int from : { 4, 9, 6 }) {
        targets->setCurrentIndex(from);
        targets->setCurrentIndex(target);
        QCOMPARE(widget<QLabel>("qualityLabel")->isVisibleTo(form.get()), quality);
        QCOMPARE(widget<QSpinBox>("qualitySpinBox")->isVisibleTo(form.get()), quality);
        QCOMPARE(widget<QGroupBox>("pdfGroupBox")->isVisibleTo(form.get()), pdf);
    }
    QCOMPARE(conversionOptions().targeFileType, target);
}

void TestConvertImageForm::scalingOffDisablesScaleWidgets()
{
    {
        std::unique_ptr<QSettings> settings = openMainApp();
        settings->setValue(QStringLiteral("scalePercentage"), 150);
        settings->setValue(QStringLiteral("scaleAbsoluteWitdh"), 1234);
    }
    startForm();
    const QList<const char *> scaleWidgets = { "percentageRadioButton", "percentageSpinBox",
        "absoluteRadioButton", "absoluteWidthLineEdit", "absoluteHeightLineEdit", "relativeRadioButton",
        "relativeToComboBox", "relativeValueLabel", "relativeValueLineEdit" };
    auto *box = widget<QCheckBox>("scaleImageCheckBox");
    QVERIFY(!box->isChecked());
    for (const char *name : scaleWidgets)
        QVERIFY2(!widget<QWidget>(name)->isEnabled(), name);
    QCOMPARE(widget<QSpinBox>("percentageSpinBox")->value(), 150);
    QCOMPARE(widget<QLineEdit>("absoluteWidthLineEdit")->text(), QStringLiteral("1234"));

    box->click();
    for (const char *name : scaleWidgets)
        QVERIFY2(widget<QWidget>(name)->isEnabled(), name);
    QVERIFY(conversionOptions().scaleImage);

    box->click();
    for (const char *name : scaleWidgets)
        QVERIFY2(!widget<QWidget>(name)->isEnabled(), name);
    QVERIFY(box->isEnabled());
    QCOMPARE(storedValue(QStringLiteral("scaleImage")).toBool(), false);
}

void TestConvertImageForm::heightSwitchesCaptionAndStoredKey()
{
    openMainApp()->setValue(QStringLiteral("scaleRelativeHeight"), 777);
    startForm();
    auto *caption = widget<QLabel>("relativeValueLabel");
    auto *value = widget<QLineEdit>("relativeValueLineEdit");
    QCOMPARE(caption->text(), QStringLiteral("Width:"));
    QCOMPARE(value->text(), QStringLiteral("1920"));

    widget<QComboBox>("relativeToComboBox")->setCurrentIndex(1);
    QCOMPARE(caption->text(), QStringLiteral("Height:"));
    QCOMPARE(value->text(), QStringLiteral("777"));

    clearStore();
    value->setText(QStringLiteral("500"));
    QCOMPARE(storedKeys(), QStringList { "scaleRelativeHeight" });
    QCOMPARE(storedValue(QStringLiteral("scaleRelativeHeight")).toInt(), 500);
    QCOMPARE(conversionOptions().scaleRelativeWidth, 1920);

    widget<QComboBox>("relativeToComboBox")->setCurrentIndex(0);
    QCOMPARE(caption->text(), QStringLiteral("Width:"));
    QCOMPARE(value->text(), QStringLiteral("1920"));
}

void TestConvertImageForm::orientationAndMarginButtons()
{
    startForm();
    auto *portrait = widget<QToolButton>("pdfPageOrientationPortraitButton");
    auto *landscape = widget<QToolButton>("pdfPageOrientationLanscapeButton");
    QVERIFY(portrait->isChecked());
    portrait->click();
    QVERIFY(portrait->isChecked());
    QVERIFY(!landscape->isChecked());
    landscape->click();
    QVERIFY(landscape->isChecked());
    QVERIFY(!portrait->isChecked());
    QCOMPARE(conversionOptions().pdfPaperOrientation, 1);

    auto *noMargin = widget<QToolButton>("pdfNoMarginButton");
    auto *addMargin = widget<QToolButton>("pdfAddMarginButton");
    auto *sizeLabel = widget<QLabel>("pdfMarginSizeLabel");
    auto *size = widget<QSpinBox>("pdfMarginSizeSpinBox");
    QVERIFY(noMargin->isChecked());
    QVERIFY(sizeLabel->isHidden() && size->isHidden());
    addMargin->click();
    QVERIFY(addMargin->isChecked() && !noMargin->isChecked());
    QVERIFY(!sizeLabel->isHidden() && !size->isHidden());
    noMargin->click();
    QVERIFY(noMargin->isChecked() && !addMargin->isChecked());
    QVERIFY(sizeLabel->isHidden() && size->isHidden());
    QCOMPARE(storedValue(QStringLiteral("pdfPaperMargin")).toInt(), 0);
}

void TestConvertImageForm::fontKeepsOnlyTheFamily()
{
    startForm();
    const TestSupport::DebugLog::Collector debugLines;
    auto *fonts = widget<QFontComboBox>("fontComboBox");
    const int other = fonts->currentIndex() == 0 ? 1 : 0;
    QVERIFY(fonts->count() > 1);
    clearStore();
    fonts->setCurrentIndex(other);
    const QString family = fonts->currentFont().family();
    QCOMPARE(conversionOptions().textFont.family(), family);
    QCOMPARE(storedKeys(), QStringList { "textFont" });
    QVERIFY(storedValue(QStringLiteral("textFont")).toString().startsWith(family));
    QVERIFY(previewRequested());
}

void TestConvertImageForm::colorFromSwatchAndFromDialog()
{
    startForm();
    const TestSupport::DebugLog::Collector debugLines;
    auto *swatch = widget<LKColorWidget>("colorWidget");
    QCOMPARE(swatch->color(), QColor(Qt::black));

    emit swatch->colorUpdated(QColor(0x11, 0x22, 0x33));
    QCOMPARE(conversionOptions().textColor, QColor(0x11, 0x22, 0x33));
    QCOMPARE(swatch->color(), QColor(0x11, 0x22, 0x33));
    QCOMPARE(storedValue(QStringLiteral("textColor")).toString(), QStringLiteral("#112233"));
    QVERIFY(previewRequested());

    TestSupport::DebugLog::clear();
    QColor preset;
    answerDialog<QColorDialog>([&preset](QColorDialog *dialog) {
        if (!preset.isValid())
            preset = dialog->currentColor();
        dialog->setCurrentColor(QColor(0xaa, 0xbb, 0xcc));
        dialog->accept();
    });
    widget<QAbstractButton>("colorButton")->click();
    QCOMPARE(preset, QColor(0x11, 0x22, 0x33));
    QCOMPARE(conversionOptions().textColor, QColor(0xaa, 0xbb, 0xcc));
    QCOMPARE(swatch->color(), QColor(0xaa, 0xbb, 0xcc));
    QCOMPARE(storedValue(QStringLiteral("textColor")).toString(), QStringLiteral("#aabbcc"));
    QVERIFY(previewRequested());
}

void TestConvertImageForm::folderChoiceTakesOnlyExistingFolders()
{
    startForm();
    form->on_FolderSelected(QString());
    form->on_FolderSelected(dataDir.filePath(QStringLiteral("missing")));
    QCOMPARE(conversionOptions().outputFolder, QString());
    QVERIFY(storedKeys().isEmpty() || !storedKeys().contains(QStringLiteral("outputFolder")));

    form->on_FolderSelected(dataDir.path());
    QCOMPARE(conversionOptions().outputFolder, dataDir.path());
    QCOMPARE(widget<QLineEdit>("outputFolderLineEdit")->text(), dataDir.path());
    QCOMPARE(storedValue(QStringLiteral("outputFolder")).toString(), dataDir.path());
}

void TestConvertImageForm::pdfFileDialogStoresOnlyTheFileItem()
{
    openMainApp()->setValue(QStringLiteral("outputFolder"), dataDir.path());
    startForm();
    QDir(dataDir.path()).mkpath(QStringLiteral("albums"));
    const QString chosen = dataDir.filePath(QStringLiteral("albums/holiday.pdf"));
    clearStore();
    QString title, startFolder;
    QStringList filters;
    answerDialog<QFileDialog>([&, chosen](QFileDialog *dialog) {
        title = dialog->windowTitle();
        if (startFolder.isEmpty())
            startFolder = dialog->directory().absolutePath();
        filters = dialog->nameFilters();
        TestSupport::answerFileDialog(dialog, chosen);
    });
    widget<QAbstractButton>("pdfFilenameButton")->click();
    QCOMPARE(title, QStringLiteral("Save to PDF File"));
    QCOMPARE(startFolder, QDir(dataDir.path()).absolutePath());
    QCOMPARE(filters, QStringList { "PDF files (*.pdf)" });

    QCOMPARE(conversionOptions().outputFolder,
        QDir::toNativeSeparators(dataDir.filePath(QStringLiteral("albums"))));
    QCOMPARE(conversionOptions().pdfFileName, QStringLiteral("holiday.pdf"));
    QCOMPARE(widget<QLineEdit>("pdfFilenameLineEdit")->text(), QStringLiteral("holiday.pdf"));
    QCOMPARE(widget<QLineEdit>("outputFolderLineEdit")->text(), conversionOptions().outputFolder);
    QCOMPARE(storedKeys(), (QStringList { "pdfFileName", "pdfSmoothEdges", "resizeImageToPaper" }));
}

void TestConvertImageForm::watermarkThumbnailFitsTheLabel_data()
{
    QTest::addColumn<QSize>("source");
    QTest::addColumn<QSize>("shown");
    QTest::newRow("240x60") << QSize(240, 60) << QSize(120, 30);
    QTest::newRow("100x50") << QSize(100, 50) << QSize(100, 50);
    QTest::newRow("60x600") << QSize(60, 600) << QSize(6, 60);
    QTest::newRow("120x60") << QSize(120, 60) << QSize(120, 60);
}

void TestConvertImageForm::watermarkThumbnailFitsTheLabel()
{
    QFETCH(QSize, source);
    QFETCH(QSize, shown);
    QImage image = TestSupport::filledImage(source, Qt::darkCyan);
    const QString path
        = dataDir.filePath(QStringLiteral("mark-%1x%2.png").arg(source.width()).arg(source.height()));
    QVERIFY(image.save(path));
    openMainApp()->setValue(QStringLiteral("imagePath"), path);
    startForm();

    auto *label = widget<QLabel>("imageImage");
    QCOMPARE(label->size(), QSize(120, 60));
    QCOMPARE(label->pixmap().size(), shown);

    widget<QAbstractButton>("imageClearButton")->click();
    QVERIFY(label->pixmap().isNull());
    QCOMPARE(label->text(), PreviewText);
    QCOMPARE(storedValue(QStringLiteral("imagePath")).toString(), QString());
}

void TestConvertImageForm::watermarkThatCannotBeReadLeavesNoPicture()
{
    const QString path = dataDir.filePath(QStringLiteral("png-that-is-text.png"));
    QVERIFY(TestSupport::writeFile(path, "not a picture"));
    openMainApp()->setValue(QStringLiteral("imagePath"), path);
    startForm();
    QVERIFY(widget<QLabel>("imageImage")->pixmap().isNull());
    QCOMPARE(conversionOptions().imagePath, path);
}

void TestConvertImageForm::resetAnsweredNoChangesNothing()
{
    {
        std::unique_ptr<QSettings> settings = openMainApp();
        settings->setValue(QStringLiteral("scaleImage"), true);
        settings->setValue(QStringLiteral("textContent"), QStringLiteral("Stamp"));
        settings->setValue(QStringLiteral("AdjustImageCount"), qint64(1));
        settings->setValue(QStringLiteral("AdjustImage0"), QStringLiteral("0;2;40;;;;"));
    }
    startForm();
    const QStringList keysBefore = storedKeys();

    QString title, text;
    answerDialog<QMessageBox>([&](QMessageBox *box) {
        title = box->windowTitle();
        text = box->text();
        box->button(QMessageBox::No)->click();
    });
    widget<QAbstractButton>("tabResetButton")->click();
    QCOMPARE(title, QStringLiteral("Reset Settings"));
    QCOMPARE(text, QStringLiteral("Are you sure you want to reset all settings to their default values?"));

    QCOMPARE(storedKeys(), keysBefore);
    QCOMPARE(storedValue(QStringLiteral("textContent")).toString(), QStringLiteral("Stamp"));
    QCOMPARE(conversionOptions().textContent, QStringLiteral("Stamp"));
    QCOMPARE(conversionOptions().ruleList.size(), 1);
    QVERIFY(widget<QCheckBox>("scaleImageCheckBox")->isChecked());
    QCOMPARE(preview()->text(), PreviewText);
}

void TestConvertImageForm::resetAnsweredYesKeepsOutputAndPdf()
{
    {
        std::unique_ptr<QSettings> settings = openMainApp();
        settings->setValue(QStringLiteral("targeFileType"), 4);
        settings->setValue(QStringLiteral("targeFileQuality"), 60);
        settings->setValue(QStringLiteral("outputFolder"), dataDir.path());
        settings->setValue(QStringLiteral("pdfFileName"), QStringLiteral("book.pdf"));
        settings->setValue(QStringLiteral("pdfPaperSize"), 2);
        settings->setValue(QStringLiteral("pdfPaperMargin"), 1);
        settings->setValue(QStringLiteral("scaleImage"), true);
        settings->setValue(QStringLiteral("scalePercentage"), 50);
        settings->setValue(QStringLiteral("textOpacity"), 150);
        settings->setValue(QStringLiteral("textColor"), QColor(Qt::red));
        settings->setValue(QStringLiteral("qrCodeText"), QStringLiteral("code"));
        settings->setValue(QStringLiteral("AdjustImageCount"), qint64(2));
        settings->setValue(QStringLiteral("AdjustImage0"), QStringLiteral("0;2;40;;;;"));
        settings->setValue(QStringLiteral("AdjustImage1"), QStringLiteral("1;0;;;;;"));
    }
    startForm();
    const TestSupport::DebugLog::Collector debugLines;
    QCOMPARE(conversionOptions().ruleList.size(), 2);

    answerDialog<QMessageBox>([](QMessageBox *box) { box->button(QMessageBox::Yes)->click(); });
    widget<QAbstractButton>("tabResetButton")->click();

    QCOMPARE(storedValue(QStringLiteral("targeFileType")).toInt(), 4);
    QCOMPARE(storedValue(QStringLiteral("targeFileQuality")).toInt(), 60);
    QCOMPARE(storedValue(QStringLiteral("outputFolder")).toString(), dataDir.path());
    QCOMPARE(storedValue(QStringLiteral("pdfFileName")).toString(), QStringLiteral("book.pdf"));
    QCOMPARE(storedValue(QStringLiteral("pdfPaperSize")).toInt(), 2);
    QCOMPARE(storedValue(QStringLiteral("pdfPaperMargin")).toInt(), 1);
    QCOMPARE(storedValue(QStringLiteral("AdjustImageCount")).toLongLong(), 0);
    QVERIFY(conversionOptions().ruleList.isEmpty());

    // The stored opacity of 150 showed as a clamped 100, so no widget reported a change.
    QCOMPARE(storedValue(QStringLiteral("textOpacity")).toInt(), 100);
    QCOMPARE(storedValue(QStringLiteral("scaleImage")).toBool(), false);
    QCOMPARE(storedValue(QStringLiteral("scalePercentage")).toInt(), 100);
    QCOMPARE(storedValue(QStringLiteral("qrCodeText")).toString(), QString());
    QCOMPARE(storedValue(QStringLiteral("textColor")).toString(), QStringLiteral("#000000"));

    QVERIFY(!widget<QCheckBox>("scaleImageCheckBox")->isChecked());
    QVERIFY(!widget<QSpinBox>("percentageSpinBox")->isEnabled());
    QCOMPARE(widget<QSpinBox>("percentageSpinBox")->value(), 100);
    QCOMPARE(widget<LKColorWidget>("colorWidget")->color(), QColor(Qt::black));
    QCOMPARE(widget<QPlainTextEdit>("qrCodeTextEdit")->toPlainText(), QString());
    QVERIFY(widget<QToolButton>("adjustDeleteAllButton")->isHidden());
    QVERIFY(previewRequested());
}

void TestConvertImageForm::restoredRulesJoinTheListWithoutStoring()
{
    {
        std::unique_ptr<QSettings> settings = openMainApp();
        settings->setValue(QStringLiteral("AdjustImageCount"), qint64(3));
        settings->setValue(QStringLiteral("AdjustImage0"), QStringLiteral("5;0;;;;;"));
        settings->setValue(QStringLiteral("AdjustImage1"), QStringLiteral("8;4;1000;;;;"));
        settings->setValue(QStringLiteral("AdjustImage2"), QStringLiteral("9;3;-1;;;;"));
    }
    QTest::ignoreMessage(QtDebugMsg, "rawData: 5;0;;;;;");
    QTest::ignoreMessage(QtDebugMsg, "onGrayscaleAction");
    startForm();
    const AdjustRuleList &rules = conversionOptions().ruleList;
    QCOMPARE(rules.size(), 3);
    QCOMPARE(rules.at(0).ruleIndex, int(AdjustRule::Grayscale));
    QCOMPARE(rules.at(1).value(), 1000);
    QCOMPARE(rules.at(2).value(), -1);
    // Row numbers start at 0 in every run; stored ones are not reused.
    QCOMPARE(rules.at(0).ruleId, 0);
    QCOMPARE(rules.at(2).ruleId, 2);
    QVERIFY(!widget<QToolButton>("adjustDeleteButton")->isHidden());
    QVERIFY(!widget<QToolButton>("adjustDeleteAllButton")->isHidden());
    QCOMPARE(storedValue(QStringLiteral("AdjustImage0")).toString(), QStringLiteral("5;0;;;;;"));
}

void TestConvertImageForm::themeSwapsEveryIcon_data()
{
    QTest::addColumn<QString>("object");
    QTest::addColumn<QString>("light");
    QTest::addColumn<QString>("dark");
    const QList<QStringList> table = {
        { "convertButton", "_Convert24.png", "_ConvertWhite24.png" },
        { "addFilesButton", "_AddFile24.png", "_AddFileWhite24.png" },
        { "removeButton", "_Delete24.png", "_DeleteWhite24.png" },
        { "clearButton", "_shortcut24.png", "_shortcutWhite24.png" },
        { "upButton", "_ArrowUp24.png", "_ArrowUpWhite24.png" },
        { "downButton", "_ArrowDown24.png", "_ArrowDownWhite24.png" },
        { "updateButton", "Update24.png", "UpdateWhite24.png" },
        { "websiteButton", "_websiteIcon24.png", "_websiteWhiteIcon24.png" },
        { "aboutButton", "_About24.png", "_AboutWhite24.png" },
        { "adjustAddButton", "_AddIcon24.png", "_AddWhiteIcon24.png" },
        { "adjustDeleteButton", "_SettingsIcon24.png", "_SettingsWhiteIcon24.png" },
        { "adjustDeleteAllButton", "_Reset24.png", "_ResetWhite24.png" },
        { "tabResetButton", "_Reset24.png", "_ResetWhite24.png" },
        { "outputFolderButton", "_folder16.png", "_folderWhite16.png" },
        { "pdfFilenameButton", "_folder16.png", "_folderWhite16.png" },
        { "pdfPageOrientationPortraitButton", "Portrait.png", "PortraitWhite.png" },
        { "pdfPageOrientationLanscapeButton", "Landscape.png", "LandscapeWhite.png" },
        { "pdfNoMarginButton", "Image.png", "ImageWhite.png" },
        { "pdfAddMarginButton", "ImageBorder.png", "ImageBorderWhite.png" },
    };
    for (const QStringList &row : table)
        QTest::newRow(qPrintable(row.at(0))) << row.at(0) << row.at(1) << row.at(2);
}

void TestConvertImageForm::themeSwapsEveryIcon()
{
    QFETCH(QString, object);
    QFETCH(QString, light);
    QFETCH(QString, dark);
    if (!QFile::exists(QStringLiteral(":/resources/images/") + dark))
        QSKIP("the icon set is not compiled into this build");
    QVERIFY2(resourceIcon(light) != resourceIcon(dark), "light and dark variants must differ");

    startForm();
    auto *button = widget<QAbstractButton>(qPrintable(object));
    QCOMPARE(iconImage(button->icon()), resourceIcon(light));
    QCOMPARE(form->colorScheme(), ColorScheme::Light);
    QVERIFY(widget<QWidget>("tabToolbarWidget")->styleSheet().contains(QLatin1String("#E2E2E2")));

    QApplication::setPalette(darkPalette());
    form->applyTheme();
    QCOMPARE(form->colorScheme(), ColorScheme::Dark);
    QCOMPARE(iconImage(button->icon()), resourceIcon(dark));
    QVERIFY(widget<QWidget>("tabToolbarWidget")->styleSheet().contains(QLatin1String("#3F3F3F")));

    QApplication::setPalette(QApplication::style()->standardPalette());
    form->applyTheme();
    QCOMPARE(iconImage(button->icon()), resourceIcon(light));
}

void TestConvertImageForm::disabledConvertShowsGrayInBothSchemes()
{
    if (!QFile::exists(QStringLiteral(":/resources/images/_ConvertGray24.png")))
        QSKIP("the icon set is not compiled into this build");
    startForm();
    auto *convert = widget<QToolButton>("convertButton");
    QVERIFY(!convert->isEnabled());
    const QImage gray = resourceIcon(QStringLiteral("_ConvertGray24.png"));
    QVERIFY(gray != resourceIcon(QStringLiteral("_Convert24.png")));
    QCOMPARE(iconImage(convert->icon(), QIcon::Disabled), gray);

    QApplication::setPalette(darkPalette());
    form->applyTheme();
    QCOMPARE(iconImage(convert->icon(), QIcon::Disabled), gray);
    QCOMPARE(iconImage(convert->icon()), resourceIcon(QStringLiteral("_ConvertWhite24.png")));

    // What is painted is what the button shows, not just what its icon holds.
    const QImage shot = convert->grab().toImage();
    form->setBusy(false);
    QVERIFY(convert->isEnabled());
    QVERIFY(convert->grab().toImage() != shot);
}

void TestConvertImageForm::dropPictureFollowsTheScheme()
{
    if (!QFile::exists(QStringLiteral(":/resources/images/_DropLogoWhite.png")))
        QSKIP("the icon set is not compiled into this build");
    const QImage light = QPixmap(QStringLiteral(":/resources/images/_DropLogo.png")).toImage();
    const QImage dark = QPixmap(QStringLiteral(":/resources/images/_DropLogoWhite.png")).toImage();
    QVERIFY(light != dark);
    const auto shown = [this] {
        return widget<QLabel>("label_2")->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    };
    startForm();
    QCOMPARE(shown(), light.convertToFormat(QImage::Format_ARGB32));
    QApplication::setPalette(darkPalette());
    form->applyTheme();
    QCOMPARE(shown(), dark.convertToFormat(QImage::Format_ARGB32));
}

// An unticked box's indicator stands out from the dark window it is drawn on.
void TestConvertImageForm::checkBoxesShowInTheDarkScheme()
{
    startForm();
    QApplication::setPalette(darkPalette());
    form->applyTheme();
    auto *box = widget<QCheckBox>("scaleImageCheckBox");
    widget<QTabWidget>("tabWidget")->setCurrentWidget(widget<QWidget>("scaleTab"));
    QTRY_VERIFY(box->isVisible());
    QVERIFY(!box->isChecked());
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
    const QImage shot = form->grab(indicator.translated(box->mapTo(form.get(), QPoint()))).toImage();
    const int window = darkPalette().color(QPalette::Window).lightness();
    int contrast = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x)
            contrast = qMax(contrast, qAbs(QColor(shot.pixel(x, y)).lightness() - window));
    }
    QVERIFY2(contrast >= 60, qPrintable(QString::number(contrast)));
}

void TestConvertImageForm::toolbarOpensAboutUpdateAndWebsite()
{
    // Nothing leaves this machine: the update check asks a port where no one listens.
    qputenv("PICTOMAT_UPDATE_URL", "http://127.0.0.1:9/Pictomat/update.txt");
    startForm();
    // As the main window answers them.
    connectFormRequests(form.get());

    QString opened;
    answerDialog<QDialog>([&opened](QDialog *dialog) {
        opened = QString::fromLatin1(dialog->metaObject()->className());
        dialog->reject();
    });
    widget<QAbstractButton>("aboutButton")->click();
    QCOMPARE(opened, QStringLiteral("AboutDialog"));

    answerDialog<QDialog>([&opened](QDialog *dialog) {
        opened = QString::fromLatin1(dialog->metaObject()->className());
        dialog->reject();
    });
    widget<QAbstractButton>("updateButton")->click();
    QCOMPARE(opened, QStringLiteral("CheckUpdateDialog"));

    QList<QUrl> urls;
    const ExternalUrlOpener previous = setExternalUrlOpener([&urls](const QUrl &url) {
        urls.append(url);
        return true;
    });
    widget<QAbstractButton>("websiteButton")->click();
    setExternalUrlOpener(previous);
    QCOMPARE(urls, QList<QUrl> { makerWebsiteUrl() });
}

void TestConvertImageForm::conversionPageHidesAndRestoresTheForm()
{
    startForm();
    auto *stack = widget<QStackedWidget>("sourceStackedWidget");
    auto *page = new FakeProgressPage;
    QVERIFY(!form->hasRunningWork());
    form->showConversionPage(page);
    QVERIFY(form->hasRunningWork());
    QCOMPARE(stack->currentWidget(), page);
    QCOMPARE(stack->indexOf(page), 2);
    for (const char *name : { "toolbarWidget", "tabToolbarWidget", "tabWidget", "previewImage" })
        QVERIFY2(widget<QWidget>(name)->isHidden(), name);

    form->handleStartConvertSignal();
    for (const char *name : { "addFilesButton", "clearButton", "convertButton", "targetComboBox",
             "sourceTreeView", "sourceFrame", "removeButton" })
        QVERIFY2(!widget<QWidget>(name)->isEnabled(), name);

    QSignalSpy closeSpy(form.get(), &ConvertImageForm::closeApp);
    form->handleFinishConvertSignal();
    QCOMPARE(closeSpy.count(), 0);
    for (const char *name : { "toolbarWidget", "tabToolbarWidget", "tabWidget", "previewImage" })
        QVERIFY2(!widget<QWidget>(name)->isHidden(), name);
    for (const char *name : { "addFilesButton", "clearButton", "convertButton", "targetComboBox" })
        QVERIFY2(widget<QWidget>(name)->isEnabled(), name);
    QVERIFY(!widget<QWidget>("removeButton")->isEnabled());
    QCOMPARE(stack->currentWidget(), widget<QWidget>("sourceTreeView"));

    delete page;
    QVERIFY(!form->hasRunningWork());
    QCOMPARE(stack->count(), 2);
}

void TestConvertImageForm::abandonWorkCancelsTheConversion()
{
    startForm();
    auto *page = new FakeProgressPage;
    form->showConversionPage(page);
    connect(page, &FakeProgressPage::finished, form.get(), &ConvertImageForm::handleFinishConvertSignal);

    QSignalSpy closeSpy(form.get(), &ConvertImageForm::closeApp);
    form->abandonWork();
    QCOMPARE(page->cancelled, 1);
    // Disconnected: what the page reports now no longer reaches the form.
    emit page->finished();
    QCOMPARE(closeSpy.count(), 0);
    QVERIFY(widget<QWidget>("tabWidget")->isHidden());

    // A conversion that reports back while the form is closing lets the window go.
    form->handleFinishConvertSignal();
    QCOMPARE(closeSpy.count(), 1);
}

void TestConvertImageForm::entriesAreCallableByName_data()
{
    QTest::addColumn<QString>("signature");
    for (const char *slot :
        { "on_AddURLs(QList<QUrl>)", "on_itemSelection_changed(QItemSelection,QItemSelection)",
            "removeAllAdjustment()", "on_rule_slider_changed(int)", "on_rule_spinbox_changed(int)",
            "on_rule_up_clicked(bool)", "on_rule_down_clicked(bool)", "on_rule_delete_clicked(bool)",
            "onAddUrlsThreadBegin()", "onAddUrlsThreadEnd()", "onAddUrlsFinish(QString)",
            "onAddUrlsThreadDestroy()", "onGetItemIconProcessFinish(QPixmap,QString,QString,QString,int)",
            "on_FolderSelected(QString)", "on_ColorUpdated(QColor)", "on_PreviewImage_DoubleClick()",
            "on_ImageFilesSelected(QList<QString>)", "on_previewDialogClosed()", "on_updateTimer()" })
        QTest::newRow(slot) << QString::fromLatin1(slot);
}

void TestConvertImageForm::entriesAreCallableByName()
{
    QFETCH(QString, signature);
    startForm();
    QVERIFY(form->metaObject()->indexOfSlot(signature.toLatin1().constData()) >= 0);
}

void TestConvertImageForm::buttonsAndDialogsSayWhatTheyDo()
{
    startForm();
    QCOMPARE(widget<QToolButton>("adjustDeleteButton")->text(), QStringLiteral("Edit"));
    QCOMPARE(widget<QToolButton>("adjustDeleteAllButton")->text(), QStringLiteral("Delete"));

    QString title;
    QStringList filters;
    answerDialog<QFileDialog>([&](QFileDialog *dialog) {
        title = dialog->windowTitle();
        filters = dialog->nameFilters();
        dialog->reject();
    });
    widget<QAbstractButton>("imageSelectButton")->click();
    QCOMPARE(title, QStringLiteral("Select Watermark Picture"));
    QCOMPARE(filters,
        QStringList {
            QStringLiteral("Image Files (*.gif *.heic *.heif *.jpg *.jpeg *.png *.tif *.tiff *.webp)") });
}

void TestConvertImageForm::websiteThatCannotOpenSaysSo()
{
    startForm();
    connectFormRequests(form.get());
    const ExternalUrlOpener previous = setExternalUrlOpener([](const QUrl &) { return false; });
    QString said;
    answerDialog<QMessageBox>([&said](QMessageBox *box) {
        said = box->text();
        box->accept();
    });
    widget<QAbstractButton>("websiteButton")->click();
    setExternalUrlOpener(previous);
    QCOMPARE(said, QStringLiteral("The web site %1 could not be opened.").arg(makerWebsiteUrl().toString()));
}

int main(int argc, char *argv[])
{
    return TestSupport::runWidgetTest<TestConvertImageForm>(argc, argv, QStringLiteral("Fusion"));
}

#include "tst_convertimageform.moc"
