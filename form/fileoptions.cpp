// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The Output tab's file names, folders and background (the panel in fileoptionspanel.*): each
// choice written, stored at once and, for the background, shown in the preview.

#include "convert/conversionoptions.h"
#include "convert/outputformats.h"
#include "convert/targetnaming.h"
#include "form/convertimageform.h"
#include "form/fileoptionspanel.h"
#include "ui_convertimageform.h"

#include <QFileInfo>

void ConvertImageForm::setUpFileOptions()
{
    fileOptions = new FileOptionsPanel(ui->outputScrollAreaWidgetContents);
    ui->outputLayout->insertWidget(ui->outputLayout->indexOf(ui->pdfGroupBox), fileOptions);

    using O = ConversionOptions;
    connect(fileOptions, &FileOptionsPanel::namePatternChanged, this, [this](const QString &pattern) {
        changeOption(
            SettingItem::NamePattern, false, [&pattern](O &o) { o.namePattern = pattern; },
            [this] { updateNamePreview(); });
    });
    connect(fileOptions, &FileOptionsPanel::targetExistsActionChanged, this, [this](int action) {
        changeOption(
            SettingItem::TargetExistsAction, false, [action](O &o) { o.targetExistsAction = action; });
    });
    connect(fileOptions, &FileOptionsPanel::keepFolderStructureClicked, this, [this](bool checked) {
        changeOption(
            SettingItem::KeepFolderStructure, false, [checked](O &o) { o.keepFolderStructure = checked; });
    });
    connect(fileOptions, &FileOptionsPanel::saveNextToOriginalClicked, this, [this](bool checked) {
        changeOption(
            SettingItem::SaveNextToOriginal, false, [checked](O &o) { o.saveNextToOriginal = checked; });
    });
    connect(fileOptions, &FileOptionsPanel::convertOnlyRawOfPairsClicked, this, [this](bool checked) {
        changeOption(SettingItem::ConvertOnlyRawOfPairs, false,
            [checked](O &o) { o.convertOnlyRawOfPairs = checked; });
    });
    connect(fileOptions, &FileOptionsPanel::backgroundChosen, this, [this](const QColor &color) {
        changeOption(SettingItem::BackgroundColor, true, [&color](O &o) { o.backgroundColor = color; });
    });
    connect(fileOptions, &FileOptionsPanel::threadLimitChanged, this, [this](int threads) {
        changeOption(SettingItem::ThreadLimit, false, [threads](O &o) { o.threadLimit = threads; });
    });
    connect(&sourceModel, &QAbstractItemModel::rowsInserted, this, &ConvertImageForm::updateNamePreview);
    connect(&sourceModel, &QAbstractItemModel::rowsRemoved, this, &ConvertImageForm::updateNamePreview);
    connect(&sourceModel, &QAbstractItemModel::rowsMoved, this, &ConvertImageForm::updateNamePreview);
    connect(&sourceModel, &QAbstractItemModel::modelReset, this, &ConvertImageForm::updateNamePreview);
}

void ConvertImageForm::applyFileOptions()
{
    fileOptions->showOptions(conversionOptions());
    updateNamePreview();
}

// The name the first listed file will get, with the extension of the chosen target.
void ConvertImageForm::updateNamePreview()
{
    const QStringList files = sourceFiles();
    if (files.isEmpty()) {
        fileOptions->setNamePreview(QString());
        return;
    }
    const ConversionOptions &options = conversionOptions();
    const QString extension = targetFormatAt(options.targeFileType).extension;
    const QStringList targets
        = TargetNaming::planTargets({ files.first() }, options.outputFolder, extension, options);
    fileOptions->setNamePreview(targets.isEmpty() ? QString() : QFileInfo(targets.first()).fileName());
}
