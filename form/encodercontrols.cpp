// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The toolbar's encoder choices beside the JPG quality: a quality for the other lossy formats,
// "Lossless" where the format has it, the PNG compression level and the TIFF compression.
// Each format keeps its own values; the controls show those of the chosen target.

#include "convert/conversionoptions.h"
#include "convert/outputformats.h"
#include "form/convertimageform.h"
#include "ui_convertimageform.h"

#include <optional>

namespace {

using Options = ConversionOptions;

struct FormatQuality {
    int Options::*quality;
    SettingItem qualityItem;
    bool Options::*lossless; // null where the format has no lossless mode
    SettingItem losslessItem;
};

std::optional<FormatQuality> formatQuality(int target)
{
    using I = SettingItem;
    const QString extension = targetFormatAt(target).extension;
    if (target < 0 || target >= targetFormats().size())
        return std::nullopt;
    if (extension == QLatin1String(".avif"))
        return FormatQuality { &Options::avifQuality, I::AvifQuality, &Options::avifLossless,
            I::AvifLossless };
    if (extension == QLatin1String(".webp"))
        return FormatQuality { &Options::webpQuality, I::WebpQuality, &Options::webpLossless,
            I::WebpLossless };
    if (extension == QLatin1String(".jxl"))
        return FormatQuality { &Options::jxlQuality, I::JxlQuality, &Options::jxlLossless, I::JxlLossless };
    if (extension == QLatin1String(".heic"))
        return FormatQuality { &Options::heicQuality, I::HeicQuality, nullptr, I::HeicQuality };
    if (extension == QLatin1String(".heif"))
        return FormatQuality { &Options::heifQuality, I::HeifQuality, nullptr, I::HeifQuality };
    return std::nullopt;
}

} // namespace

void ConvertImageForm::setUpEncoderControls()
{
    connect(ui->formatQualitySpinBox, &QSpinBox::valueChanged, this, [this](int value) {
        const std::optional<FormatQuality> format = formatQuality(conversionOptions().targeFileType);
        if (format)
            changeOption(format->qualityItem, false, [&](Options &o) { o.*(format->quality) = value; });
    });
    connect(ui->losslessCheckBox, &QCheckBox::clicked, this, [this](bool checked) {
        const std::optional<FormatQuality> format = formatQuality(conversionOptions().targeFileType);
        if (format && format->lossless)
            changeOption(
                format->losslessItem, false, [&](Options &o) { o.*(format->lossless) = checked; },
                [this, checked] { ui->formatQualitySpinBox->setEnabled(!checked); });
    });
    connect(ui->pngCompressionSpinBox, &QSpinBox::valueChanged, this, [this](int value) {
        changeOption(SettingItem::PngCompression, false, [value](Options &o) { o.pngCompression = value; });
    });
    connect(ui->tiffCompressionComboBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        changeOption(SettingItem::TiffCompression, false, [index](Options &o) { o.tiffCompression = index; });
    });
}

// Called with the change handlers held back: setting the values reports nothing.
void ConvertImageForm::updateEncoderWidgets(int target)
{
    const Options &options = conversionOptions();
    const std::optional<FormatQuality> format = formatQuality(target);
    ui->formatQualityLabel->setVisible(format.has_value());
    ui->formatQualitySpinBox->setVisible(format.has_value());
    ui->losslessCheckBox->setVisible(format && format->lossless);
    if (format) {
        const bool lossless = format->lossless && options.*(format->lossless);
        ui->formatQualitySpinBox->setValue(options.*(format->quality));
        ui->formatQualitySpinBox->setEnabled(!lossless);
        ui->losslessCheckBox->setChecked(lossless);
    }
    const QString extension = targetFormatAt(target).extension;
    const bool png = extension == QLatin1String(".png");
    const bool tiff = extension == QLatin1String(".tiff");
    ui->compressionLabel->setVisible(png || tiff);
    ui->pngCompressionSpinBox->setVisible(png);
    ui->tiffCompressionComboBox->setVisible(tiff);
    // The caption's mnemonic leads to whichever of the two fields is shown.
    ui->compressionLabel->setBuddy(tiff ? static_cast<QWidget *>(ui->tiffCompressionComboBox)
                                        : static_cast<QWidget *>(ui->pngCompressionSpinBox));
    ui->pngCompressionSpinBox->setValue(options.pngCompression);
    ui->tiffCompressionComboBox->setCurrentIndex(
        qBound(int(EncoderSettings::TiffNone), options.tiffCompression, int(EncoderSettings::TiffDeflate)));
}
