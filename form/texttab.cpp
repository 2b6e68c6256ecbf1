// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The Text tab: the text watermark's content, font, size, colour and place.

#include "common/lkcolorwidget.h"
#include "convert/conversionoptions.h"
#include "form/convertimageform.h"
#include "ui_convertimageform.h"

#include <QColorDialog>

void ConvertImageForm::setUpTextTab()
{
    connect(ui->colorWidget, &LKColorWidget::colorUpdated, this, &ConvertImageForm::on_ColorUpdated);
}

void ConvertImageForm::applyTextOptions()
{
    const ConversionOptions &options = conversionOptions();

    ui->textLineEdit->setText(options.textContent);
    ui->fontComboBox->setCurrentFont(options.textFont);
    ui->sizeSpinBox->setValue(options.textSize);
    ui->colorWidget->setColor(options.textColor);
    ui->colorWidget->repaint();
    ui->positionComboBox->setCurrentIndex(options.textPosition);
    ui->opacitySpinBox->setValue(options.textOpacity);
    ui->marginSpinBox->setValue(options.textMargin);
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
