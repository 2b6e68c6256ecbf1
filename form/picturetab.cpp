// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The Picture tab: the picture watermark, its thumbnail, size, opacity and place.

#include "common/lkglobal.h"
#include "convert/conversionoptions.h"
#include "form/convertimageform.h"
#include "imaging/sourcecheck.h"
#include "ui_convertimageform.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <algorithm>

// The nine places are the Text tab's, in its order.
void ConvertImageForm::setUpPictureTab()
{
    for (int i = 0; i < ui->positionComboBox->count(); ++i)
        ui->imagePositionComboBox->addItem(ui->positionComboBox->itemText(i));
}

void ConvertImageForm::applyPictureOptions()
{
    const ConversionOptions &options = conversionOptions();

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
}

// Fits the watermark picture into the label without enlarging it.
void ConvertImageForm::showWatermarkThumbnail(const QString &path)
{
    QImageReader reader(path);
    const QSize size = SourceCheck::accept(reader) ? reader.size() : QSize();
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

void ConvertImageForm::on_imageSelectButton_clicked()
{
    if (!uiReady)
        return;
    uiReady = false;
    const QString file
        = QFileDialog::getOpenFileName(this, tr("Select Watermark Picture"), LKGlobal::picturesFolder(),
            tr("Image Files (*.gif *.heic *.heif *.jpg *.jpeg *.png *.tif *.tiff *.webp)"));
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
