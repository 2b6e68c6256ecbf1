// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Watermark sizes relative to the picture: the text, picture and QR code sizes read as percent of
// the image width, and the watermarks drawn after the resize. All four shape the preview and are
// restored by Reset.

#include "convert/conversionoptions.h"
#include "form/convertimageform.h"
#include "ui_convertimageform.h"

void ConvertImageForm::setUpRelativeSizes()
{
    using O = ConversionOptions;
    const auto wire = [this](QCheckBox *box, SettingItem item, bool O::*member) {
        box->setToolTip(tr("The size is a percentage of the picture's width, so that it looks the same on "
                           "large and small pictures"));
        connect(box, &QCheckBox::clicked, this, [this, item, member](bool checked) {
            changeOption(
                item, true, [member, checked](O &o) { o.*member = checked; },
                [this] { showRelativeSizeUnits(); });
        });
    };
    wire(ui->textSizeRelativeCheckBox, SettingItem::TextSizeRelative, &O::textSizeRelative);
    wire(ui->imageSizeRelativeCheckBox, SettingItem::ImageSizeRelative, &O::imageSizeRelative);
    wire(ui->qrCodeSizeRelativeCheckBox, SettingItem::QrCodeSizeRelative, &O::qrCodeSizeRelative);
    ui->watermarksAfterScalingCheckBox->setToolTip(
        tr("Text, picture and QR code are drawn on the resized picture, sharp at its size"));
    connect(ui->watermarksAfterScalingCheckBox, &QCheckBox::clicked, this, [this](bool checked) {
        changeOption(SettingItem::WatermarksAfterScaling, true,
            [checked](O &o) { o.watermarksAfterScaling = checked; });
    });
}

void ConvertImageForm::applyRelativeSizes()
{
    const ConversionOptions &options = conversionOptions();
    ui->textSizeRelativeCheckBox->setChecked(options.textSizeRelative);
    ui->imageSizeRelativeCheckBox->setChecked(options.imageSizeRelative);
    ui->qrCodeSizeRelativeCheckBox->setChecked(options.qrCodeSizeRelative);
    ui->watermarksAfterScalingCheckBox->setChecked(options.watermarksAfterScaling);
    showRelativeSizeUnits();
}

// Every size, opacity and margin shows its unit as a suffix; the text size is in points and the
// QR code in pixels unless they are relative to the picture.
void ConvertImageForm::showRelativeSizeUnits()
{
    const ConversionOptions &options = conversionOptions();
    const QString percent = QStringLiteral(" %");
    ui->sizeSpinBox->setSuffix(options.textSizeRelative ? percent : tr(" pt", "unit of the text size"));
    ui->qrCodeSizeSpinBox->setSuffix(options.qrCodeSizeRelative ? percent : tr(" px", "pixels"));
}
