// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Save preset and Load preset beside Reset: the options written to and read from a preset file
// that the command line reads too.

#include "form/convertimageform.h"

#include "settings/preset.h"
#include "settings/settingkey.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>

namespace {

QString presetFilter()
{
    return QObject::tr("Presets (*.ini)");
}

QString startFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

} // namespace

void ConvertImageForm::on_savePresetButton_clicked()
{
    if (!uiReady)
        return;
    QString path = QFileDialog::getSaveFileName(this, tr("Save Preset"), startFolder(), presetFilter());
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".ini");
    QString error;
    if (!Preset::save(path, conversionOptions(), &error))
        QMessageBox::warning(this, tr("Save Preset"), error);
}

void ConvertImageForm::on_loadPresetButton_clicked()
{
    if (!uiReady)
        return;
    const QString path = QFileDialog::getOpenFileName(this, tr("Load Preset"), startFolder(), presetFilter());
    if (path.isEmpty())
        return;
    ConversionOptions loaded;
    loaded.textFont = font();
    const Preset::LoadResult result = Preset::load(path, &loaded, font());
    if (!result.read) {
        QMessageBox::warning(this, tr("Load Preset"), result.error);
        return;
    }
    // Where the add-files dialog opens is this machine's, not the preset's.
    loaded.lastPicturesDir = conversionOptions().lastPicturesDir;

    uiReady = false;
    removeAllAdjustment();
    updateOptions([&loaded](ConversionOptions &o) {
        o = loaded;
        o.ruleList.clear();
    });
    for (const AdjustRule &rule : std::as_const(loaded.ruleList))
        restoreRuleRow(rule);
    applyOptionsToForm();
    uiReady = true;

    QList<SettingItem> items { SettingItem::AdjustRules };
    for (const SettingKey &key : settingKeys()) {
        if (!items.contains(key.item))
            items.append(key.item);
    }
    for (const SettingItem item : std::as_const(items))
        storeSetting(item);
    loadImage(currentSelectedFile, true);

    if (!result.ignoredKeys.isEmpty()) {
        QMessageBox::information(this, tr("Load Preset"),
            tr("The preset was loaded. These keys were ignored and keep their defaults:\n%1")
                .arg(result.ignoredKeys.join(QLatin1Char('\n'))));
    }
}
