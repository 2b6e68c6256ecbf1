// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The Output tab: target format and quality, output folder, and the PDF document's page set-up.
// The folder and PDF choosers that belong to the convert command live in convertcommand.cpp.

#include "convert/conversionoptions.h"
#include "convert/outputformats.h"
#include "form/convertimageform.h"
#include "form/fileoptionspanel.h"
#include "ui_convertimageform.h"

#include <QFileInfo>

void ConvertImageForm::setUpOutputTab()
{
    for (const TargetFormat &format : targetFormats())
        ui->targetComboBox->addItem(format.text);
    setUpEncoderControls();
    setUpFileOptions();
}

void ConvertImageForm::applyOutputOptions()
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
    ui->keepMetadataCheckBox->setChecked(options.keepMetadata);
    ui->removeLocationCheckBox->setChecked(options.removeLocation);
    updateMetadataWidgets();
    applyFileOptions();
}

void ConvertImageForm::updateTargetWidgets(int target)
{
    const bool jpg = target == JpgTargetPosition;
    ui->qualityLabel->setVisible(jpg);
    ui->qualitySpinBox->setVisible(jpg);
    ui->pdfGroupBox->setVisible(target == PdfTargetPosition);
    updateEncoderWidgets(target);
    updateMetadataWidgets();
    if (fileOptions) {
        fileOptions->setFileTarget(target != PdfTargetPosition);
        updateNamePreview();
    }
}

void ConvertImageForm::updateMarginSizeVisibility()
{
    const bool margin = conversionOptions().pdfPaperMargin != 0;
    ui->pdfMarginSizeLabel->setVisible(margin);
    ui->pdfMarginSizeSpinBox->setVisible(margin);
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

void ConvertImageForm::on_keepMetadataCheckBox_clicked()
{
    const bool checked = ui->keepMetadataCheckBox->isChecked();
    writeAndStore(SettingItem::KeepMetadata, [checked](ConversionOptions &o) { o.keepMetadata = checked; });
    updateMetadataWidgets();
}

// GIF files and the PDF document hold no metadata: the choices stay as stored, but cannot be made.
void ConvertImageForm::updateMetadataWidgets()
{
    const ConversionOptions &options = conversionOptions();
    const bool holdsMetadata
        = options.targeFileType != GifTargetPosition && options.targeFileType != PdfTargetPosition;
    const QString why = tr("GIF and PDF files hold no metadata");
    ui->keepMetadataCheckBox->setEnabled(holdsMetadata);
    ui->removeLocationCheckBox->setEnabled(holdsMetadata && options.keepMetadata);
    for (QCheckBox *box : { ui->keepMetadataCheckBox, ui->removeLocationCheckBox }) {
        // The box's own tooltip comes back with a target that holds metadata.
        if (!box->property("ownToolTip").isValid())
            box->setProperty("ownToolTip", box->toolTip());
        box->setToolTip(holdsMetadata ? box->property("ownToolTip").toString() : why);
    }
}

void ConvertImageForm::on_removeLocationCheckBox_clicked()
{
    const bool checked = ui->removeLocationCheckBox->isChecked();
    writeAndStore(
        SettingItem::RemoveLocation, [checked](ConversionOptions &o) { o.removeLocation = checked; });
}
