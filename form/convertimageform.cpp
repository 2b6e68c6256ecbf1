#include "form/convertimageform.h"
#include "convert/convertprogressform.h"
#include "convert/convertimagesthread.h"

#include "app/aboutdialog.h"
#include "app/checkupdatedialog.h"
#include "app/cocoacode.h"
#include "app/lkglobal.h"
#include "app/urlopener.h"
#include "app/version.h"
#include "convert/conversionoptions.h"
#include "convert/outputformats.h"
#include "form/compacttabstyle.h"
#include "ui_convertimageform.h"

#include <QColorDialog>
#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QMessageBox>
#include <QStyleFactory>
#include <QTabBar>
#include <algorithm>

namespace {

QString resourceImage(const char *name)
{
    return QStringLiteral(":/resources/images/") + QLatin1String(name);
}

} // namespace

ConvertImageForm::ConvertImageForm(QWidget *parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::ConvertImageForm>())
    , cocoaCode(std::make_unique<CocoaCode>())
{
    ui->setupUi(this);

    setupFileList();
    setupLivePreview();
    for (const TargetFormat &format : targetFormats())
        ui->targetComboBox->addItem(format.text);

    connect(ui->colorWidget, &LKColorWidget::colorUpdated, this, &ConvertImageForm::on_ColorUpdated);

    for (int i = 0; i < ui->positionComboBox->count(); ++i) {
        ui->imagePositionComboBox->addItem(ui->positionComboBox->itemText(i));
        ui->qrCodePositionComboBox->addItem(ui->positionComboBox->itemText(i));
    }
    connect(cocoaCode.get(), &CocoaCode::folderSelected, this, &ConvertImageForm::on_FolderSelected);

    auto *tabStyle = new CompactTabStyle(QStyleFactory::create(style()->name()));
    tabStyle->setParent(ui->tabWidget->tabBar());
    ui->tabWidget->tabBar()->setStyle(tabStyle);
    ui->tabWidget->setCurrentWidget(ui->outputFolderTab);
    ui->sourceStackedWidget->setCurrentWidget(ui->sourceFrame);

    setUpAdjustmentEditor();

    applyTheme();
    uiReady = true;
}

ConvertImageForm::~ConvertImageForm()
{
    addUrls.stopAndWait();
    waitForPreviewWorkers();
}

void ConvertImageForm::restoreSettings()
{
    uiReady = false;
    ui->adjustDeleteButton->setChecked(true);
    loadSettings();
    uiReady = true;
}

void ConvertImageForm::loadSettings()
{
    const AdjustRuleList rules = SettingsStore::loadOptions(font());
    for (const AdjustRule &rule : rules)
        restoreRuleRow(rule);
    applyOptionsToForm();
}

void ConvertImageForm::storeSetting(SettingItem item)
{
    SettingsStore::storeSetting(item);
}

void ConvertImageForm::resetSettings()
{
    const QMessageBox::StandardButton answer = QMessageBox::question(this, tr("Reset Settings"),
        tr("Are you sure you want to reset all settings to their default values?"),
        QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;

    // The defaults are stored here rather than left to the widgets' change notifications: a
    // widget that already shows the default (or a clamped value equal to it), and the check
    // box and swatch that report only user clicks, would otherwise leave old values stored.
    SettingsStore::resetEffectOptions(font());
    applyOptionsToForm();
    removeAllAdjustment();
    loadImage(currentSelectedFile, true);
    storeSetting(SettingItem::AdjustRules);
}

void ConvertImageForm::applyOptionsToForm()
{
    const ConversionOptions &options = conversionOptions();

    if (options.targeFileType < 0 || options.targeFileType >= ui->targetComboBox->count())
        updateOptions([](ConversionOptions &o) { o.targeFileType = 0; });
    ui->targetComboBox->setCurrentIndex(options.targeFileType);
    ui->qualitySpinBox->setValue(options.targeFileQuality);
    updateTargetWidgets(options.targeFileType);

    const QFileInfo outputFolder(options.outputFolder);
    if (!outputFolder.isDir() || !outputFolder.isReadable())
        updateOptions([](ConversionOptions &o) { o.outputFolder.clear(); });

    const bool landscape = options.pdfPaperOrientation == 1;
    ui->pdfPageOrientationLanscapeButton->setChecked(landscape);
    ui->pdfPageOrientationPortraitButton->setChecked(!landscape);
    ui->pdfAddMarginButton->setChecked(options.pdfPaperMargin != 0);
    ui->pdfNoMarginButton->setChecked(options.pdfPaperMargin == 0);
    updateMarginSizeVisibility();
    ui->pdfMarginSizeSpinBox->setValue(options.pdfPaperMarginSize);

    ui->outputFolderLineEdit->setText(options.outputFolder);
    ui->pdfFilenameLineEdit->setText(options.pdfFileName);
    ui->pdfPaperSizeComboBox->setCurrentIndex(options.pdfPaperSize);
    ui->pdfQualityComboBox->setCurrentIndex(options.pdfQuality);
    ui->pdfResizeImageToPaperCheckBox->setChecked(options.resizeImageToPaper);
    ui->pdfSmoothEdgesCheckBox->setChecked(options.pdfSmoothEdges);

    ui->scaleImageCheckBox->setChecked(options.scaleImage);
    const QList<QRadioButton *> scaleButtons
        = { ui->percentageRadioButton, ui->absoluteRadioButton, ui->relativeRadioButton };
    if (options.scaleType >= 0 && options.scaleType < scaleButtons.size()) {
        scaleButtons.at(options.scaleType)->setChecked(true);
    } else {
        // An exclusive group never unchecks its last checked button by itself.
        for (QRadioButton *button : scaleButtons) {
            button->setAutoExclusive(false);
            button->setChecked(false);
            button->setAutoExclusive(true);
        }
    }
    ui->percentageSpinBox->setValue(options.scalePercentage);
    ui->absoluteWidthLineEdit->setText(QString::number(options.scaleAbsoluteWitdh));
    ui->absoluteHeightLineEdit->setText(QString::number(options.scaleAbsoluteHeight));
    ui->relativeToComboBox->setCurrentIndex(options.scaleRelativeTo);
    updateRelativeValueField();
    ui->scaleOptionsWidget->setEnabled(ui->scaleImageCheckBox->isChecked());

    ui->textLineEdit->setText(options.textContent);
    ui->fontComboBox->setCurrentFont(options.textFont);
    ui->sizeSpinBox->setValue(options.textSize);
    ui->colorWidget->setColor(options.textColor);
    ui->colorWidget->repaint();
    ui->positionComboBox->setCurrentIndex(options.textPosition);
    ui->opacitySpinBox->setValue(options.textOpacity);
    ui->marginSpinBox->setValue(options.textMargin);

    if (QFileInfo::exists(options.imagePath)) {
        showWatermarkThumbnail(options.imagePath);
    } else {
        ui->imageImage->clear();
        ui->imageImage->setText(tr("Preview"));
    }
    ui->imageSizeSpinBox->setValue(options.imageSize);
    ui->imagePositionComboBox->setCurrentIndex(options.imagePosition);
    ui->imageOpacitySpinBox->setValue(options.imageOpacity);
    ui->imageMarginSpinBox->setValue(options.imageMargin);

    ui->qrCodeTextEdit->setPlainText(options.qrCodeText);
    ui->qrCodeSizeSpinBox->setValue(options.qrCodeSize);
    ui->qrCodePositionComboBox->setCurrentIndex(options.qrCodePosition);
    ui->qrCodeMarginSpinBox->setValue(options.qrCodeMargin);
}

void ConvertImageForm::applyTheme()
{
    scheme = currentColorScheme();
    const bool dark = scheme == ColorScheme::Dark;
    ui->previewImage->update();
    ui->tabToolbarWidget->setStyleSheet(
        dark ? QStringLiteral("background-color:#3F3F3F;") : QStringLiteral("background-color:#E2E2E2;"));

    setButtonIcon(ui->convertButton, "_Convert24.png", "_ConvertWhite24.png", "_ConvertGray24.png");
    setButtonIcon(ui->addFilesButton, "_AddFile24.png", "_AddFileWhite24.png");
    setButtonIcon(ui->removeButton, "_Delete24.png", "_DeleteWhite24.png", "_DeleteGray24.png");
    setButtonIcon(ui->clearButton, "_shortcut24.png", "_shortcutWhite24.png", "_shortcutGray24.png");
    setButtonIcon(ui->upButton, "_ArrowUp24.png", "_ArrowUpWhite24.png", "_ArrowUpGray24.png");
    setButtonIcon(ui->downButton, "_ArrowDown24.png", "_ArrowDownWhite24.png", "_ArrowDownGray24.png");
    setButtonIcon(ui->updateButton, "Update24.png", "UpdateWhite24.png");
    setButtonIcon(ui->websiteButton, "_websiteIcon24.png", "_websiteWhiteIcon24.png");
    setButtonIcon(ui->aboutButton, "_About24.png", "_AboutWhite24.png");
    setButtonIcon(ui->adjustAddButton, "_AddIcon24.png", "_AddWhiteIcon24.png");
    setButtonIcon(
        ui->adjustDeleteButton, "_SettingsIcon24.png", "_SettingsWhiteIcon24.png", "_SettingsGrayIcon24.png");
    setButtonIcon(ui->adjustDeleteAllButton, "_Reset24.png", "_ResetWhite24.png");
    setButtonIcon(ui->tabResetButton, "_Reset24.png", "_ResetWhite24.png");
    setButtonIcon(ui->outputFolderButton, "_folder16.png", "_folderWhite16.png");
    setButtonIcon(ui->pdfFilenameButton, "_folder16.png", "_folderWhite16.png");
    setButtonIcon(ui->pdfPageOrientationPortraitButton, "Portrait.png", "PortraitWhite.png");
    setButtonIcon(ui->pdfPageOrientationLanscapeButton, "Landscape.png", "LandscapeWhite.png");
    setButtonIcon(ui->pdfNoMarginButton, "Image.png", "ImageWhite.png");
    setButtonIcon(ui->pdfAddMarginButton, "ImageBorder.png", "ImageBorderWhite.png");
    ui->label_2->setPixmap(QPixmap(resourceImage(dark ? "_DropLogoWhite.png" : "_DropLogo.png")));
    refreshAdjustmentIcons();
}

// The disabled variant goes into the icon's disabled mode, so it shows whenever the button is
// disabled, whatever the scheme.
void ConvertImageForm::setButtonIcon(
    QAbstractButton *button, const char *light, const char *dark, const char *disabled)
{
    QIcon icon;
    icon.addFile(resourceImage(scheme == ColorScheme::Dark ? dark : light), QSize(), QIcon::Normal);
    if (disabled)
        icon.addFile(resourceImage(disabled), QSize(), QIcon::Disabled);
    button->setIcon(icon);
}

void ConvertImageForm::setBusy(bool busy)
{
    ui->addFilesButton->setEnabled(!busy);
    const bool selected = !busy && hasSelection;
    ui->removeButton->setEnabled(selected);
    ui->upButton->setEnabled(selected && canMoveUp);
    ui->downButton->setEnabled(selected && canMoveDown);
    ui->clearButton->setEnabled(!busy);
    ui->targetComboBox->setEnabled(!busy);
    ui->convertButton->setEnabled(!busy);
    ui->sourceTreeView->setEnabled(!busy);
    ui->sourceFrame->setEnabled(!busy);
    applyTheme();
}

void ConvertImageForm::showConversionPage(QWidget *page)
{
    conversionStarting = true;
    progressPage = page;
    ui->sourceStackedWidget->addWidget(page);
    ui->sourceStackedWidget->setCurrentWidget(page);
    setOptionAreasVisible(false);
}

void ConvertImageForm::setOptionAreasVisible(bool visible)
{
    ui->toolbarWidget->setVisible(visible);
    ui->tabToolbarWidget->setVisible(visible);
    ui->tabWidget->setVisible(visible);
    ui->previewImage->setVisible(visible);
}

void ConvertImageForm::OnShowToolbarSignal(bool show)
{
    emit showToolbarSignal(show);
}

void ConvertImageForm::handleStartConvertSignal()
{
    conversionStarting = false;
    if (closePending) {
        emit closeApp();
        close();
    }
    setBusy(true);
}

void ConvertImageForm::handleFinishConvertSignal()
{
    conversionStarting = false;
    if (closePending) {
        emit closeApp();
        close();
    }
    setBusy(false);
    setOptionAreasVisible(true);
    ui->sourceStackedWidget->setCurrentWidget(ui->sourceTreeView);
}

void ConvertImageForm::abandonWork()
{
    closePending = true;
    dropPreviewWorker();
    addUrls.stopAndWait();
    if (progressPage) {
        disconnect(progressPage, nullptr, this, nullptr);
        // The progress page's own Cancel: the job stops after the file it is writing.
        QMetaObject::invokeMethod(progressPage, "on_cancelButton_clicked");
        // The window is closing: the process waits for the file being written, never cuts it off.
        auto *page = qobject_cast<ConvertProgressForm *>(progressPage.data());
        if (ConvertImagesThread *job = page ? page->worker() : nullptr)
            job->wait();
    }
}

bool ConvertImageForm::hasRunningWork() const
{
    return previewBusy || addUrls.addUrlsRunning() || !progressPage.isNull();
}

void ConvertImageForm::updateTargetWidgets(int target)
{
    const bool jpg = target == JpgTargetPosition;
    ui->qualityLabel->setVisible(jpg);
    ui->qualitySpinBox->setVisible(jpg);
    ui->pdfGroupBox->setVisible(target == PdfTargetPosition);
}

void ConvertImageForm::updateMarginSizeVisibility()
{
    const bool margin = conversionOptions().pdfPaperMargin != 0;
    ui->pdfMarginSizeLabel->setVisible(margin);
    ui->pdfMarginSizeSpinBox->setVisible(margin);
}

void ConvertImageForm::updateRelativeValueField()
{
    const ConversionOptions &options = conversionOptions();
    if (options.scaleRelativeTo != 0) {
        ui->relativeValueLabel->setText(tr("Height:"));
        ui->relativeValueLineEdit->setText(QString::number(options.scaleRelativeHeight));
    } else {
        ui->relativeValueLabel->setText(tr("Width:"));
        ui->relativeValueLineEdit->setText(QString::number(options.scaleRelativeWidth));
    }
}

// Fits the watermark picture into the label without enlarging it.
void ConvertImageForm::showWatermarkThumbnail(const QString &path)
{
    QImageReader reader(path);
    const QSize size = reader.size();
    if (!size.isValid()) {
        ui->imageImage->clear();
        return;
    }
    const float widthRatio = float(size.width()) / float(ui->imageImage->width());
    const float heightRatio = float(size.height()) / float(ui->imageImage->height());
    QSize scaled = size;
    if (!(widthRatio < 1 && heightRatio < 1)) {
        const float ratio = std::max(widthRatio, heightRatio);
        scaled = QSize(int(float(size.width()) / ratio), int(float(size.height()) / ratio));
    }
    reader.setScaledSize(scaled);
    const QImage image = reader.read();
    if (image.isNull())
        ui->imageImage->clear();
    else
        ui->imageImage->setPixmap(QPixmap::fromImage(image));
}

void ConvertImageForm::changeOption(
    SettingItem item, bool refreshesPreview, const OptionWrite &write, const std::function<void()> &then)
{
    if (!uiReady)
        return;
    uiReady = false;
    updateOptions(write);
    storeSetting(item);
    if (then)
        then();
    if (refreshesPreview)
        loadImage(currentSelectedFile, true);
    uiReady = true;
}

void ConvertImageForm::writeAndStore(SettingItem item, const OptionWrite &write)
{
    updateOptions(write);
    storeSetting(item);
}

namespace {

// Size fields are free text: anything that is not a decimal number counts as 0.
int decimalValue(const QString &text)
{
    return text.toInt(nullptr, 10);
}

} // namespace

// Both dialogs delete themselves from their Close button; one closed otherwise is only hidden and
// goes with the form.
void ConvertImageForm::on_updateButton_clicked()
{
    auto *dialog = new CheckUpdateDialog(this);
    dialog->exec();
}

void ConvertImageForm::on_websiteButton_clicked()
{
    openExternalUrl(makerWebsiteUrl());
}

void ConvertImageForm::on_aboutButton_clicked()
{
    auto *dialog = new AboutDialog(this);
    dialog->exec();
}

void ConvertImageForm::on_tabResetButton_clicked()
{
    resetSettings();
}

void ConvertImageForm::on_targetComboBox_currentIndexChanged(int index)
{
    changeOption(
        SettingItem::TargetFileType, false, [index](ConversionOptions &o) { o.targeFileType = index; },
        [this, index] { updateTargetWidgets(index); });
}

void ConvertImageForm::on_qualitySpinBox_valueChanged(int value)
{
    changeOption(
        SettingItem::TargetFileQuality, false, [value](ConversionOptions &o) { o.targeFileQuality = value; });
}

void ConvertImageForm::on_outputFolderLineEdit_textChanged(const QString &text)
{
    changeOption(SettingItem::OutputFolder, false, [&text](ConversionOptions &o) { o.outputFolder = text; });
}

void ConvertImageForm::on_pdfFilenameLineEdit_textChanged(const QString &text)
{
    changeOption(SettingItem::PdfFile, false, [&text](ConversionOptions &o) { o.pdfFileName = text; });
}

void ConvertImageForm::on_pdfPaperSizeComboBox_currentIndexChanged(int index)
{
    if (uiReady)
        writeAndStore(SettingItem::PdfPaperSize, [index](ConversionOptions &o) { o.pdfPaperSize = index; });
}

void ConvertImageForm::on_pdfQualityComboBox_currentIndexChanged(int index)
{
    if (uiReady)
        writeAndStore(SettingItem::PdfQuality, [index](ConversionOptions &o) { o.pdfQuality = index; });
}

void ConvertImageForm::setPdfOrientation(int orientation)
{
    updateOptions([orientation](ConversionOptions &o) { o.pdfPaperOrientation = orientation; });
    ui->pdfPageOrientationPortraitButton->setChecked(orientation == 0);
    ui->pdfPageOrientationLanscapeButton->setChecked(orientation == 1);
    storeSetting(SettingItem::PdfPaperOrientation);
}

void ConvertImageForm::on_pdfPageOrientationPortraitButton_clicked()
{
    setPdfOrientation(0);
}

void ConvertImageForm::on_pdfPageOrientationLanscapeButton_clicked()
{
    setPdfOrientation(1);
}

void ConvertImageForm::setPdfMargin(int margin)
{
    updateOptions([margin](ConversionOptions &o) { o.pdfPaperMargin = margin; });
    ui->pdfNoMarginButton->setChecked(margin == 0);
    ui->pdfAddMarginButton->setChecked(margin != 0);
    updateMarginSizeVisibility();
    storeSetting(SettingItem::PdfPaperMargin);
}

void ConvertImageForm::on_pdfNoMarginButton_clicked()
{
    setPdfMargin(0);
}

void ConvertImageForm::on_pdfAddMarginButton_clicked()
{
    setPdfMargin(1);
}

void ConvertImageForm::on_pdfMarginSizeSpinBox_valueChanged(int value)
{
    writeAndStore(
        SettingItem::PdfPaperMarginSize, [value](ConversionOptions &o) { o.pdfPaperMarginSize = value; });
}

void ConvertImageForm::on_pdfResizeImageToPaperCheckBox_clicked()
{
    const bool checked = ui->pdfResizeImageToPaperCheckBox->isChecked();
    writeAndStore(SettingItem::PdfFile, [checked](ConversionOptions &o) { o.resizeImageToPaper = checked; });
}

void ConvertImageForm::on_pdfSmoothEdgesCheckBox_clicked()
{
    const bool checked = ui->pdfSmoothEdgesCheckBox->isChecked();
    writeAndStore(SettingItem::PdfFile, [checked](ConversionOptions &o) { o.pdfSmoothEdges = checked; });
}

void ConvertImageForm::on_scaleImageCheckBox_clicked()
{
    const bool checked = ui->scaleImageCheckBox->isChecked();
    changeOption(
        SettingItem::ScaleImage, true, [checked](ConversionOptions &o) { o.scaleImage = checked; },
        [this, checked] { ui->scaleOptionsWidget->setEnabled(checked); });
}

void ConvertImageForm::setScaleType(int type, bool checked)
{
    if (checked)
        changeOption(SettingItem::ScaleType, true, [type](ConversionOptions &o) { o.scaleType = type; });
}

void ConvertImageForm::on_percentageRadioButton_toggled(bool checked)
{
    setScaleType(0, checked);
}

void ConvertImageForm::on_absoluteRadioButton_toggled(bool checked)
{
    setScaleType(1, checked);
}

void ConvertImageForm::on_relativeRadioButton_toggled(bool checked)
{
    setScaleType(2, checked);
}

void ConvertImageForm::on_percentageSpinBox_valueChanged(int value)
{
    changeOption(
        SettingItem::ScalePercentage, true, [value](ConversionOptions &o) { o.scalePercentage = value; });
}

void ConvertImageForm::on_absoluteWidthLineEdit_textChanged(const QString &text)
{
    const int value = decimalValue(text);
    changeOption(SettingItem::ScaleAbsoluteWidth, true,
        [value](ConversionOptions &o) { o.scaleAbsoluteWitdh = value; });
}

void ConvertImageForm::on_absoluteHeightLineEdit_textChanged(const QString &text)
{
    const int value = decimalValue(text);
    changeOption(SettingItem::ScaleAbsoluteHeight, true,
        [value](ConversionOptions &o) { o.scaleAbsoluteHeight = value; });
}

void ConvertImageForm::on_relativeToComboBox_currentIndexChanged(int index)
{
    changeOption(
        SettingItem::ScaleRelativeTo, true, [index](ConversionOptions &o) { o.scaleRelativeTo = index; },
        [this] { updateRelativeValueField(); });
}

void ConvertImageForm::on_relativeValueLineEdit_textChanged(const QString &text)
{
    const int value = decimalValue(text);
    if (conversionOptions().scaleRelativeTo != 0)
        changeOption(SettingItem::ScaleRelativeHeight, true,
            [value](ConversionOptions &o) { o.scaleRelativeHeight = value; });
    else
        changeOption(SettingItem::ScaleRelativeWidth, true,
            [value](ConversionOptions &o) { o.scaleRelativeWidth = value; });
}

void ConvertImageForm::on_textLineEdit_textChanged(const QString &text)
{
    changeOption(SettingItem::TextContent, true, [&text](ConversionOptions &o) { o.textContent = text; });
}

void ConvertImageForm::on_textClearButton_clicked()
{
    ui->textLineEdit->clear();
}

// Only the family counts: the font's string form read as a family list, so the point size is
// the default one and the drawn size comes from textSize.
void ConvertImageForm::on_fontComboBox_currentFontChanged(const QFont &font)
{
    const QFont family(font.toString());
    changeOption(SettingItem::TextFont, true, [&family](ConversionOptions &o) { o.textFont = family; });
}

void ConvertImageForm::on_sizeSpinBox_valueChanged(int value)
{
    changeOption(SettingItem::TextSize, true, [value](ConversionOptions &o) { o.textSize = value; });
}

void ConvertImageForm::on_colorButton_clicked()
{
    if (!uiReady)
        return;
    uiReady = false;
    QColorDialog dialog(conversionOptions().textColor, this);
    connect(&dialog, &QColorDialog::colorSelected, this, [this](const QColor &color) {
        updateOptions([&color](ConversionOptions &o) { o.textColor = color; });
        ui->colorWidget->setColor(color);
    });
    dialog.exec();
    storeSetting(SettingItem::TextColor);
    loadImage(currentSelectedFile, true);
    uiReady = true;
}

void ConvertImageForm::on_ColorUpdated(const QColor &color)
{
    changeOption(
        SettingItem::TextColor, true, [&color](ConversionOptions &o) { o.textColor = color; },
        [this, &color] {
            ui->colorWidget->setColor(color);
            ui->colorWidget->repaint();
        });
}

void ConvertImageForm::on_positionComboBox_currentIndexChanged(int index)
{
    changeOption(SettingItem::TextPosition, true, [index](ConversionOptions &o) { o.textPosition = index; });
}

void ConvertImageForm::on_opacitySpinBox_valueChanged(int value)
{
    changeOption(SettingItem::TextOpacity, true, [value](ConversionOptions &o) { o.textOpacity = value; });
}

void ConvertImageForm::on_marginSpinBox_valueChanged(int value)
{
    changeOption(SettingItem::TextMargin, true, [value](ConversionOptions &o) { o.textMargin = value; });
}

void ConvertImageForm::on_imageSelectButton_clicked()
{
    if (!uiReady)
        return;
    uiReady = false;
    const QString file = QFileDialog::getOpenFileName(this, tr("Add Image Files"), LKGlobal::picturesFolder(),
        tr("Image Files ((*.gif *.heic *.heif *.jpg *.jpeg *.png *.tif *.tiff *.webp)"));
    if (!file.isEmpty()) {
        updateOptions([&file](ConversionOptions &o) { o.imagePath = file; });
        storeSetting(SettingItem::ImagePath);
        showWatermarkThumbnail(file);
        loadImage(currentSelectedFile, true);
    }
    uiReady = true;
}

void ConvertImageForm::on_imageClearButton_clicked()
{
    changeOption(
        SettingItem::ImagePath, true, [](ConversionOptions &o) { o.imagePath.clear(); },
        [this] {
            ui->imageImage->clear();
            ui->imageImage->setText(tr("Preview"));
        });
}

void ConvertImageForm::on_imageSizeSpinBox_valueChanged(int value)
{
    changeOption(SettingItem::ImageSize, true, [value](ConversionOptions &o) { o.imageSize = value; });
}

void ConvertImageForm::on_imagePositionComboBox_currentIndexChanged(int index)
{
    changeOption(
        SettingItem::ImagePosition, true, [index](ConversionOptions &o) { o.imagePosition = index; });
}

void ConvertImageForm::on_imageOpacitySpinBox_valueChanged(int value)
{
    changeOption(SettingItem::ImageOpacity, true, [value](ConversionOptions &o) { o.imageOpacity = value; });
}

void ConvertImageForm::on_imageMarginSpinBox_valueChanged(int value)
{
    changeOption(SettingItem::ImageMargin, true, [value](ConversionOptions &o) { o.imageMargin = value; });
}

void ConvertImageForm::on_qrCodeTextEdit_textChanged()
{
    const QString text = ui->qrCodeTextEdit->toPlainText();
    changeOption(SettingItem::QrCodeText, true, [&text](ConversionOptions &o) { o.qrCodeText = text; });
}

void ConvertImageForm::on_qrCodeTextClearButton_clicked()
{
    ui->qrCodeTextEdit->clear();
}

void ConvertImageForm::on_qrCodeSizeSpinBox_valueChanged(int value)
{
    changeOption(SettingItem::QrCodeSize, true, [value](ConversionOptions &o) { o.qrCodeSize = value; });
}

void ConvertImageForm::on_qrCodePositionComboBox_currentIndexChanged(int index)
{
    changeOption(
        SettingItem::QrCodePosition, true, [index](ConversionOptions &o) { o.qrCodePosition = index; });
}

void ConvertImageForm::on_qrCodeMarginSpinBox_valueChanged(int value)
{
    changeOption(SettingItem::QrCodeMargin, true, [value](ConversionOptions &o) { o.qrCodeMargin = value; });
}
