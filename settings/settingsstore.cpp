// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/settingsstore.h"

#include "common/logging.h"
#include "convert/conversionoptions.h"
#include "settings/settingkey.h"

#include <QDebug>
#include <QSettings>
#include <algorithm>
#include <memory>

namespace {

using Options = ConversionOptions;

constexpr int PositionCount = 9;
constexpr int DefaultPosition = 8;

template <int Options::*Member> QVariant intValue(const Options &options)
{
    return options.*Member;
}

template <int Options::*Member> void assignInt(Options &options, const QVariant &value, const QFont &)
{
    options.*Member = value.toInt();
}

template <int Options::*Member> void assignPosition(Options &options, const QVariant &value, const QFont &)
{
    const int position = value.toInt();
    options.*Member = position < 0 || position >= PositionCount ? DefaultPosition : position;
}

template <bool Options::*Member> QVariant boolValue(const Options &options)
{
    return options.*Member;
}

template <bool Options::*Member> void assignBool(Options &options, const QVariant &value, const QFont &)
{
    options.*Member = value.toBool();
}

template <QString Options::*Member> QVariant stringValue(const Options &options)
{
    return options.*Member;
}

template <QString Options::*Member> void assignString(Options &options, const QVariant &value, const QFont &)
{
    options.*Member = value.toString();
}

QVariant fontValue(const Options &options)
{
    return options.textFont;
}

// The stored font counts only by its family: its string form read as a family list, as the
// font handler builds it; the drawn size always comes from textSize.
void assignFont(Options &options, const QVariant &value, const QFont &standardFont)
{
    const QString text = value.toString();
    options.textFont = text.isEmpty() ? standardFont : QFont(text);
}

QVariant colorValue(const Options &options)
{
    return options.textColor;
}

void assignColor(Options &options, const QVariant &value, const QFont &)
{
    const QColor color = QColor::fromString(value.toString());
    options.textColor = color.isValid() ? color : QColor(Qt::black);
}

// The range is the editing widget's; a key added without one takes any integer.
template <int Options::*Member>
SettingKey intKey(const char *key, SettingItem item, int defaultValue, bool restoredByReset,
    int minimum = INT_MIN, int maximum = INT_MAX)
{
    return { QLatin1String(key), item, defaultValue, restoredByReset, &intValue<Member>, &assignInt<Member>,
        SettingKey::Int, minimum, maximum };
}

template <int Options::*Member> SettingKey positionKey(const char *key, SettingItem item)
{
    return { QLatin1String(key), item, DefaultPosition, true, &intValue<Member>, &assignPosition<Member>,
        SettingKey::Int, 0, PositionCount - 1 };
}

template <bool Options::*Member>
SettingKey boolKey(const char *key, SettingItem item, bool defaultValue, bool restoredByReset)
{
    return { QLatin1String(key), item, defaultValue, restoredByReset, &boolValue<Member>, &assignBool<Member>,
        SettingKey::Bool, 0, 1 };
}

template <QString Options::*Member>
SettingKey stringKey(const char *key, SettingItem item, bool restoredByReset)
{
    return { QLatin1String(key), item, QString(), restoredByReset, &stringValue<Member>,
        &assignString<Member>, SettingKey::String, 0, 0 };
}

SettingKey fontKey(const char *key, SettingItem item)
{
    return { QLatin1String(key), item, QString(), true, &fontValue, &assignFont, SettingKey::Font, 0, 0 };
}

SettingKey colorKey(const char *key, SettingItem item)
{
    return { QLatin1String(key), item, QString(), true, &colorValue, &assignColor, SettingKey::Color, 0, 0 };
}

QVariant backgroundValue(const Options &options)
{
    return options.backgroundColor;
}

void assignBackground(Options &options, const QVariant &value, const QFont &)
{
    const QColor color = QColor::fromString(value.toString());
    options.backgroundColor = color.isValid() ? color : QColor(Qt::white);
}

} // namespace

const QList<SettingKey> &settingKeys()
{
    using I = SettingItem;
    using E = EncoderSettings;
    static const QList<SettingKey> keys = {
        stringKey<&Options::lastPicturesDir>("lastPicturesDir", I::LastPicturesDir, false),
        intKey<&Options::targeFileType>("targeFileType", I::TargetFileType, 0, false, 0, 9),
        intKey<&Options::targeFileQuality>("targeFileQuality", I::TargetFileQuality, 95, false, 0, 99),
        intKey<&Options::webpQuality>("webpQuality", I::WebpQuality, E::DefaultWebpQuality, false, 0, 99),
        boolKey<&Options::webpLossless>("webpLossless", I::WebpLossless, false, false),
        intKey<&Options::avifQuality>("avifQuality", I::AvifQuality, E::DefaultAvifQuality, false, 0, 99),
        boolKey<&Options::avifLossless>("avifLossless", I::AvifLossless, false, false),
        intKey<&Options::heicQuality>("heicQuality", I::HeicQuality, E::DefaultHeifQuality, false, 0, 99),
        intKey<&Options::heifQuality>("heifQuality", I::HeifQuality, E::DefaultHeifQuality, false, 0, 99),
        intKey<&Options::jxlQuality>("jxlQuality", I::JxlQuality, E::DefaultJxlQuality, false, 0, 99),
        boolKey<&Options::jxlLossless>("jxlLossless", I::JxlLossless, false, false),
        intKey<&Options::pngCompression>(
            "pngCompression", I::PngCompression, E::DefaultPngCompression, false, 0, 9),
        intKey<&Options::tiffCompression>(
            "tiffCompression", I::TiffCompression, E::TiffNone, false, E::TiffNone, E::TiffDeflate),
        stringKey<&Options::outputFolder>("outputFolder", I::OutputFolder, false),
        { QStringLiteral("backgroundColor"), I::BackgroundColor, QString(), false, &backgroundValue,
            &assignBackground, SettingKey::Color, 0, 0 },
        { QStringLiteral("namePattern"), I::NamePattern, QStringLiteral("{name}"), false,
            &stringValue<&Options::namePattern>, &assignString<&Options::namePattern>, SettingKey::String, 0,
            0 },
        intKey<&Options::targetExistsAction>("targetExistsAction", I::TargetExistsAction, 0, false, 0, 2),
        boolKey<&Options::keepFolderStructure>("keepFolderStructure", I::KeepFolderStructure, false, false),
        boolKey<&Options::saveNextToOriginal>("saveNextToOriginal", I::SaveNextToOriginal, false, false),
        boolKey<&Options::convertOnlyRawOfPairs>(
            "convertOnlyRawOfPairs", I::ConvertOnlyRawOfPairs, false, false),
        stringKey<&Options::pdfFileName>("pdfFileName", I::PdfFile, false),
        intKey<&Options::pdfPaperSize>("pdfPaperSize", I::PdfPaperSize, 0, false, 0, 4),
        boolKey<&Options::resizeImageToPaper>("resizeImageToPaper", I::PdfFile, false, false),
        boolKey<&Options::pdfSmoothEdges>("pdfSmoothEdges", I::PdfFile, true, false),
        intKey<&Options::pdfQuality>("pdfQuality", I::PdfQuality, 2, false, 0, 5),
        intKey<&Options::pdfPaperOrientation>("pdfPaperOrientation", I::PdfPaperOrientation, 0, false, 0, 1),
        intKey<&Options::pdfPaperMargin>("pdfPaperMargin", I::PdfPaperMargin, 0, false, 0, 1),
        intKey<&Options::pdfPaperMarginSize>("pdfPaperMarginSize", I::PdfPaperMarginSize, 20, false, 0, 99),
        boolKey<&Options::scaleImage>("scaleImage", I::ScaleImage, false, true),
        intKey<&Options::scaleType>("scaleType", I::ScaleType, 0, true, 0, 2),
        intKey<&Options::scalePercentage>("scalePercentage", I::ScalePercentage, 100, true, 0, 400),
        intKey<&Options::scaleAbsoluteWitdh>(
            "scaleAbsoluteWitdh", I::ScaleAbsoluteWidth, 1920, true, 0, INT_MAX),
        intKey<&Options::scaleAbsoluteHeight>(
            "scaleAbsoluteHeight", I::ScaleAbsoluteHeight, 1080, true, 0, INT_MAX),
        intKey<&Options::scaleRelativeTo>("scaleRelativeTo", I::ScaleRelativeTo, 0, true, 0, 3),
        intKey<&Options::scaleRelativeWidth>(
            "scaleRelativeWidth", I::ScaleRelativeWidth, 1920, true, 0, INT_MAX),
        intKey<&Options::scaleRelativeHeight>(
            "scaleRelativeHeight", I::ScaleRelativeHeight, 1080, true, 0, INT_MAX),
        intKey<&Options::scaleRelativeEdge>(
            "scaleRelativeEdge", I::ScaleRelativeEdge, 1920, true, 0, INT_MAX),
        boolKey<&Options::scaleNoEnlarge>("scaleNoEnlarge", I::ScaleNoEnlarge, false, true),
        boolKey<&Options::scaleKeepAspect>("scaleKeepAspect", I::ScaleKeepAspect, false, true),
        stringKey<&Options::textContent>("textContent", I::TextContent, true),
        fontKey("textFont", I::TextFont),
        intKey<&Options::textSize>("textSize", I::TextSize, 12, true, 0, 999),
        colorKey("textColor", I::TextColor),
        positionKey<&Options::textPosition>("textPosition", I::TextPosition),
        intKey<&Options::textOpacity>("textOpacity", I::TextOpacity, 100, true, 0, 100),
        intKey<&Options::textMargin>("textMargin", I::TextMargin, 0, true, 0, 999),
        boolKey<&Options::textSizeRelative>("textSizeRelative", I::TextSizeRelative, false, true),
        stringKey<&Options::imagePath>("imagePath", I::ImagePath, true),
        intKey<&Options::imageSize>("imageSize", I::ImageSize, 100, true, 1, 100),
        positionKey<&Options::imagePosition>("imagePosition", I::ImagePosition),
        intKey<&Options::imageOpacity>("imageOpacity", I::ImageOpacity, 100, true, 0, 100),
        intKey<&Options::imageMargin>("imageMargin", I::ImageMargin, 0, true, 0, 999),
        boolKey<&Options::imageSizeRelative>("imageSizeRelative", I::ImageSizeRelative, false, true),
        stringKey<&Options::qrCodeText>("qrCodeText", I::QrCodeText, true),
        intKey<&Options::qrCodeSize>("qrCodeSize", I::QrCodeSize, 100, true, 1, 1000),
        positionKey<&Options::qrCodePosition>("qrCodePosition", I::QrCodePosition),
        intKey<&Options::qrCodeMargin>("qrCodeMargin", I::QrCodeMargin, 0, true, 0, 999),
        boolKey<&Options::qrCodeSizeRelative>("qrCodeSizeRelative", I::QrCodeSizeRelative, false, true),
        boolKey<&Options::watermarksAfterScaling>(
            "watermarksAfterScaling", I::WatermarksAfterScaling, false, true),
        boolKey<&Options::keepMetadata>("keepMetadata", I::KeepMetadata, true, true),
        boolKey<&Options::removeLocation>("removeLocation", I::RemoveLocation, true, true),
        intKey<&Options::threadLimit>("threadLimit", I::ThreadLimit, 0, false, 0, 1024),
    };
    return keys;
}

namespace SettingKeys {

const QString GroupName = QStringLiteral("MainApp");
const QString RuleCountKey = QStringLiteral("AdjustImageCount");
const QString RuleKeyPrefix = QStringLiteral("AdjustImage");

// A hand-edited count may be huge or negative, so it only limits which of the keys that
// really exist are read; nothing loops up to it.
AdjustRuleList loadRules(QSettings &settings, QStringList *rejected, bool (*accept)(const AdjustRule &))
{
    const qint64 count = settings.value(RuleCountKey, 0).toLongLong();
    QList<qint64> positions;
    const QStringList keys = settings.childKeys();
    for (const QString &key : keys) {
        if (!key.startsWith(RuleKeyPrefix))
            continue;
        bool isNumber = false;
        const qint64 position = key.mid(RuleKeyPrefix.size()).toLongLong(&isNumber);
        if (isNumber && position >= 0 && position < count && key == RuleKeyPrefix + QString::number(position))
            positions.append(position);
    }
    std::sort(positions.begin(), positions.end());

    AdjustRuleList rules;
    for (const qint64 position : std::as_const(positions)) {
        const QString text = settings.value(RuleKeyPrefix + QString::number(position)).toString();
        qDebug().noquote() << QStringLiteral("rawData: ") + text;
        const std::optional<AdjustRule> rule = adjustRuleFromText(text);
        if (rule && (!accept || accept(*rule)))
            rules.append(*rule);
        else if (rejected)
            rejected->append(RuleKeyPrefix + QString::number(position));
    }
    return rules;
}

void storeRules(QSettings &settings, const AdjustRuleList &rules)
{
    settings.setValue(RuleCountKey, qint64(rules.size()));
    for (int i = 0; i < rules.size(); ++i)
        settings.setValue(RuleKeyPrefix + QString::number(i), adjustRuleToText(rules.at(i)));
}

} // namespace SettingKeys

namespace {

std::unique_ptr<QSettings> openStore()
{
    auto settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
        QStringLiteral("Larkspan"), QStringLiteral("ZirarurOvize"));
    settings->beginGroup(SettingKeys::GroupName);
    return settings;
}

} // namespace

namespace SettingsStore {

AdjustRuleList loadOptions(const QFont &standardFont)
{
    const std::unique_ptr<QSettings> settings = openStore();
    updateOptions([&](ConversionOptions &options) {
        for (const SettingKey &key : settingKeys())
            key.assign(options, settings->value(key.key, key.defaultValue), standardFont);
    });
    AdjustRuleList rules = SettingKeys::loadRules(*settings);
    settings->endGroup();
    return rules;
}

void storeSetting(SettingItem item)
{
    const std::unique_ptr<QSettings> settings = openStore();
    const ConversionOptions &options = conversionOptions();
    if (item == SettingItem::AdjustRules) {
        SettingKeys::storeRules(*settings, options.ruleList);
    } else {
        for (const SettingKey &key : settingKeys()) {
            if (key.item == item)
                settings->setValue(key.key, key.value(options));
        }
    }
    settings->endGroup();
}

void resetEffectOptions(const QFont &standardFont)
{
    updateOptions([&](ConversionOptions &options) {
        for (const SettingKey &key : settingKeys()) {
            if (key.restoredByReset)
                key.assign(options, key.defaultValue, standardFont);
        }
    });
    const std::unique_ptr<QSettings> settings = openStore();
    const ConversionOptions &options = conversionOptions();
    for (const SettingKey &key : settingKeys()) {
        if (key.restoredByReset)
            settings->setValue(key.key, key.value(options));
    }
    settings->endGroup();
}

} // namespace SettingsStore
