// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The QR Code tab: the code's text, size and place.

#include "convert/conversionoptions.h"
#include "form/convertimageform.h"
#include "ui_convertimageform.h"

// The nine places are the Text tab's, in its order.
void ConvertImageForm::setUpQrCodeTab()
{
    for (int i = 0; i < ui->positionComboBox->count(); ++i)
        ui->qrCodePositionComboBox->addItem(ui->positionComboBox->itemText(i));
}

void ConvertImageForm::applyQrCodeOptions()
{
    const ConversionOptions &options = conversionOptions();

    ui->qrCodeTextEdit->setPlainText(options.qrCodeText);
    ui->qrCodeSizeSpinBox->setValue(options.qrCodeSize);
    ui->qrCodePositionComboBox->setCurrentIndex(options.qrCodePosition);
    ui->qrCodeMarginSpinBox->setValue(options.qrCodeMargin);
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
