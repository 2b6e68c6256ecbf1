// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The Scaling tab: whether and how every picture is resized.

#include "convert/conversionoptions.h"
#include "form/convertimageform.h"
#include "ui_convertimageform.h"

namespace {

// Size fields are free text: anything that is not a decimal number counts as 0.
int decimalValue(const QString &text)
{
    return text.toInt(nullptr, 10);
}

} // namespace

void ConvertImageForm::applyScalingOptions()
{
    const ConversionOptions &options = conversionOptions();

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
    ui->keepAspectCheckBox->setChecked(options.scaleKeepAspect);
    ui->noEnlargeCheckBox->setChecked(options.scaleNoEnlarge);
    ui->scaleOptionsWidget->setEnabled(ui->scaleImageCheckBox->isChecked());
}

void ConvertImageForm::updateRelativeValueField()
{
    const ConversionOptions &options = conversionOptions();
    if (options.scaleRelativeTo == 2 || options.scaleRelativeTo == 3) {
        ui->relativeValueLabel->setText(options.scaleRelativeTo == 2 ? tr("Long edge:") : tr("Short edge:"));
        ui->relativeValueLineEdit->setText(QString::number(options.scaleRelativeEdge));
    } else if (options.scaleRelativeTo != 0) {
        ui->relativeValueLabel->setText(tr("Height:"));
        ui->relativeValueLineEdit->setText(QString::number(options.scaleRelativeHeight));
    } else {
        ui->relativeValueLabel->setText(tr("Width:"));
        ui->relativeValueLineEdit->setText(QString::number(options.scaleRelativeWidth));
    }
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
    const int relativeTo = conversionOptions().scaleRelativeTo;
    if (relativeTo == 2 || relativeTo == 3)
        changeOption(SettingItem::ScaleRelativeEdge, true,
            [value](ConversionOptions &o) { o.scaleRelativeEdge = value; });
    else if (relativeTo != 0)
        changeOption(SettingItem::ScaleRelativeHeight, true,
            [value](ConversionOptions &o) { o.scaleRelativeHeight = value; });
    else
        changeOption(SettingItem::ScaleRelativeWidth, true,
            [value](ConversionOptions &o) { o.scaleRelativeWidth = value; });
}

void ConvertImageForm::on_keepAspectCheckBox_clicked()
{
    const bool checked = ui->keepAspectCheckBox->isChecked();
    changeOption(
        SettingItem::ScaleKeepAspect, true, [checked](ConversionOptions &o) { o.scaleKeepAspect = checked; });
}

void ConvertImageForm::on_noEnlargeCheckBox_clicked()
{
    const bool checked = ui->noEnlargeCheckBox->isChecked();
    changeOption(
        SettingItem::ScaleNoEnlarge, true, [checked](ConversionOptions &o) { o.scaleNoEnlarge = checked; });
}
