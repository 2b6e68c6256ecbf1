// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/preset.h"

#include "settings/rulekinds.h"
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

bool acceptsValue(const SettingKey &key, const QVariant &value)
{
    const QString text = textOf(value).trimmed();
    switch (key.kind) {
    case SettingKey::Int: {
        bool isNumber = false;
        const qlonglong number = text.toLongLong(&isNumber);
        return isNumber && number >= key.minimum && number <= key.maximum;
    }
    case SettingKey::Bool:
        return QStringList { QStringLiteral("true"), QStringLiteral("false"), QStringLiteral("1"),
            QStringLiteral("0") }
            .contains(text.toLower());
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
        if (!value.isValid())
            continue;
        if (acceptsValue(key, value)) {
            const bool keepsSpaces = key.kind == SettingKey::String || key.kind == SettingKey::Font;
            key.assign(*options, keepsSpaces ? textOf(value) : textOf(value).trimmed(), standardFont);
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
        for (const SettingKey &key : settingKeys())
            settings.setValue(key.key, valueToStore(key, options));
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
