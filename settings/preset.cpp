// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/preset.h"

#include "settings/rulekinds.h"
#include "settings/settingchoices.h"
#include "settings/settingkey.h"

#include <QFileInfo>
#include <QSettings>

namespace {

// An unquoted comma in a hand-edited INI value makes QSettings read a list.
QString textOf(const QVariant &value)
{
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1String(", "));
    return value.toString();
}

const QStringList &switchWords()
{
    // Off and on alternate, so that a word's position tells its value.
    static const QStringList words
        = { QStringLiteral("false"), QStringLiteral("true"), QStringLiteral("0"), QStringLiteral("1"),
              QStringLiteral("off"), QStringLiteral("on"), QStringLiteral("no"), QStringLiteral("yes") };
    return words;
}

// The value as the key's setter takes it: a choice's name as its number, a switch word as a bool.
QVariant storedForm(const SettingKey &key, const QString &text)
{
    if (key.kind == SettingKey::Int) {
        const int choice = SettingChoices::indexOf(key.key, text);
        return choice >= 0 ? QVariant(choice) : QVariant(text);
    }
    if (key.kind == SettingKey::Bool)
        return switchWords().indexOf(text.toLower()) % 2 == 1;
    return text;
}

bool acceptsValue(const SettingKey &key, const QVariant &value)
{
    const QString text = textOf(value).trimmed();
    switch (key.kind) {
    case SettingKey::Int: {
        if (SettingChoices::indexOf(key.key, text) >= 0)
            return true;
        bool isNumber = false;
        const qlonglong number = text.toLongLong(&isNumber);
        return isNumber && number >= key.minimum && number <= key.maximum;
    }
    case SettingKey::Bool:
        return switchWords().contains(text.toLower());
    case SettingKey::Color:
        return text.isEmpty() || QColor::fromString(text).isValid();
    case SettingKey::String:
    case SettingKey::Font:
        return value.canConvert<QString>() || value.typeId() == QMetaType::QStringList;
    }
    return false;
}

QVariant valueToStore(const SettingKey &key, const ConversionOptions &options)
{
    const QVariant value = key.value(options);
    if (key.kind == SettingKey::Font)
        return value.value<QFont>().toString();
    if (key.kind == SettingKey::Color)
        return value.value<QColor>().name();
    const QStringList choices = SettingChoices::names(key.key);
    if (!choices.isEmpty() && value.toInt() >= 0 && value.toInt() < choices.size())
        return choices.at(value.toInt());
    return value;
}

bool isRuleKey(const QString &key)
{
    return key == SettingKeys::RuleCountKey || key.startsWith(SettingKeys::RuleKeyPrefix);
}

} // namespace

namespace Preset {

LoadResult load(const QString &path, ConversionOptions *options, const QFont &standardFont)
{
    LoadResult result;
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        result.error = QObject::tr("Cannot read the preset %1").arg(path);
        return result;
    }
    QSettings settings(path, QSettings::IniFormat);
    if (settings.status() == QSettings::AccessError) {
        result.error = QObject::tr("Cannot read the preset %1").arg(path);
        return result;
    }
    result.read = true;

    const QStringList allKeys = settings.allKeys();
    const QString prefix = SettingKeys::GroupName + QLatin1Char('/');
    for (const QString &key : allKeys) {
        if (!key.startsWith(prefix))
            result.ignoredKeys.append(key);
    }

    settings.beginGroup(SettingKeys::GroupName);
    QStringList known;
    for (const SettingKey &key : settingKeys()) {
        known.append(key.key);
        const QVariant value = settings.value(key.key);
        if (!value.isValid() || SettingChoices::isMachineSpecific(key.key))
            continue;
        if (acceptsValue(key, value)) {
            const bool keepsSpaces = key.kind == SettingKey::String || key.kind == SettingKey::Font;
            key.assign(*options,
                keepsSpaces ? QVariant(textOf(value)) : storedForm(key, textOf(value).trimmed()),
                standardFont);
            ++result.usedKeys;
        } else {
            key.assign(*options, key.defaultValue, standardFont);
            result.ignoredKeys.append(prefix + key.key);
        }
    }
    if (settings.contains(SettingKeys::RuleCountKey)) {
        QStringList rejectedRules;
        options->ruleList = SettingKeys::loadRules(settings, &rejectedRules, &adjustRuleInRange);
        for (const QString &key : std::as_const(rejectedRules))
            result.ignoredKeys.append(prefix + key);
        if (!options->ruleList.isEmpty() || rejectedRules.isEmpty())
            ++result.usedKeys;
    }
    const QStringList groupKeys = settings.childKeys();
    for (const QString &key : groupKeys) {
        if (!known.contains(key) && !isRuleKey(key))
            result.ignoredKeys.append(prefix + key);
    }
    settings.endGroup();
    return result;
}

bool save(const QString &path, const ConversionOptions &options, QString *error)
{
    {
        QSettings settings(path, QSettings::IniFormat);
        settings.clear();
        settings.beginGroup(SettingKeys::GroupName);
        for (const SettingKey &key : settingKeys()) {
            if (!SettingChoices::isMachineSpecific(key.key))
                settings.setValue(key.key, valueToStore(key, options));
        }
        SettingKeys::storeRules(settings, options.ruleList);
        settings.endGroup();
        settings.sync();
        if (settings.status() == QSettings::NoError && QFileInfo(path).isFile())
            return true;
    }
    if (error)
        *error = QObject::tr("Cannot write the preset %1").arg(path);
    return false;
}

} // namespace Preset
