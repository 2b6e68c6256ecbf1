// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "form/fileoptionspanel.h"

#include "common/lkcolorwidget.h"
#include "convert/conversionoptions.h"
#include "ui_fileoptionspanel.h"

#include <QColorDialog>
#include <QSignalBlocker>

FileOptionsPanel::FileOptionsPanel(QWidget *parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::FileOptionsPanel>())
{
    ui->setupUi(this);
    connect(ui->namePatternLineEdit, &QLineEdit::textChanged, this, &FileOptionsPanel::namePatternChanged);
    connect(ui->targetExistsComboBox, &QComboBox::currentIndexChanged, this,
        &FileOptionsPanel::targetExistsActionChanged);
    connect(ui->keepFolderStructureCheckBox, &QCheckBox::clicked, this,
        &FileOptionsPanel::keepFolderStructureClicked);
    connect(ui->saveNextToOriginalCheckBox, &QCheckBox::clicked, this, [this](bool checked) {
        ui->keepFolderStructureCheckBox->setEnabled(!checked);
        Q_EMIT saveNextToOriginalClicked(checked);
    });
    connect(ui->rawPairsCheckBox, &QCheckBox::clicked, this, &FileOptionsPanel::convertOnlyRawOfPairsClicked);
    connect(
        ui->backgroundColorWidget, &LKColorWidget::colorUpdated, this, &FileOptionsPanel::backgroundChosen);
    connect(ui->backgroundColorButton, &QPushButton::clicked, this, &FileOptionsPanel::chooseBackground);
    connect(ui->threadLimitSpinBox, &QSpinBox::valueChanged, this, &FileOptionsPanel::threadLimitChanged);
}

FileOptionsPanel::~FileOptionsPanel() = default;

void FileOptionsPanel::showOptions(const ConversionOptions &options)
{
    const QSignalBlocker blockPattern(ui->namePatternLineEdit);
    const QSignalBlocker blockAction(ui->targetExistsComboBox);
    const QSignalBlocker blockThreads(ui->threadLimitSpinBox);
    ui->threadLimitSpinBox->setValue(options.threadLimit);
    ui->namePatternLineEdit->setText(options.namePattern);
    ui->targetExistsComboBox->setCurrentIndex(qBound(0, options.targetExistsAction, 2));
    ui->keepFolderStructureCheckBox->setChecked(options.keepFolderStructure);
    ui->keepFolderStructureCheckBox->setEnabled(!options.saveNextToOriginal);
    ui->saveNextToOriginalCheckBox->setChecked(options.saveNextToOriginal);
    ui->rawPairsCheckBox->setChecked(options.convertOnlyRawOfPairs);
    ui->backgroundColorWidget->setColor(options.backgroundColor);
    ui->backgroundColorWidget->update();
}

void FileOptionsPanel::setNamePreview(const QString &fileName)
{
    ui->namePreviewLabel->setText(fileName.isEmpty() ? QString() : tr("First file: %1").arg(fileName));
}

void FileOptionsPanel::setFileTarget(bool fileTarget)
{
    ui->fileNamesGroupBox->setVisible(fileTarget);
}

void FileOptionsPanel::chooseBackground()
{
    const QColor color = QColorDialog::getColor(ui->backgroundColorWidget->color(), this);
    if (!color.isValid())
        return;
    ui->backgroundColorWidget->setColor(color);
    ui->backgroundColorWidget->update();
    Q_EMIT backgroundChosen(color);
}
