#include "settings/settingsstore.h"

#include "convert/conversionoptions.h"

#include <QDebug>
#include <QSettings>
#include <algorithm>
#include <memory>

namespace {

using Options = ConversionOptions;

constexpr int PositionCount = 9;
constexpr int DefaultPosition = 8;

const QString GroupName = QStringLiteral("MainApp");
const QString RuleCountKey = QStringLiteral("AdjustImageCount");
const QString RuleKeyPrefix = QStringLiteral("AdjustImage");

// One stored option: its key, the item that writes it, its default, whether a reset restores it,
// and how it goes into the store and comes back. Loading and resetting both go through `assign`,
// so a default and a loaded value are checked the same way.
struct SettingKey {
    QString key;
    SettingItem item;
    QVariant defaultValue;
    bool restoredByReset;
    QVariant (*value)(const Options &);
    void (*assign)(Options &, const QVariant &, const QFont &standardFont);
};

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

template <int Options::*Member>
SettingKey intKey(const char *key, SettingItem item, int defaultValue, bool restoredByReset)
{
    return { QLatin1String(key), item, defaultValue, restoredByReset, &intValue<Member>, &assignInt<Member> };
}

template <int Options::*Member> SettingKey positionKey(const char *key, SettingItem item)
{
    return { QLatin1String(key), item, DefaultPosition, true, &intValue<Member>, &assignPosition<Member> };
}

template <bool Options::*Member>
SettingKey boolKey(const char *key, SettingItem item, bool defaultValue, bool restoredByReset)
{
    return { QLatin1String(key), item, defaultValue, restoredByReset, &boolValue<Member>,
        &assignBool<Member> };
}

template <QString Options::*Member>
SettingKey stringKey(const char *key, SettingItem item, bool restoredByReset)
{
    return { QLatin1String(key), item, QString(), restoredByReset, &stringValue<Member>,
        &assignString<Member> };
}

// Every stored option, in load order.
const QList<SettingKey> &settingKeys()
{
    using I = SettingItem;
    static const QList<SettingKey> keys = {
        stringKey<&Options::lastPicturesDir>("lastPicturesDir", I::LastPicturesDir, false),
        intKey<&Options::targeFileType>("targeFileType", I::TargetFileType, 0, false),
        intKey<&Options::targeFileQuality>("targeFileQuality", I::TargetFileQuality, 95, false),
        stringKey<&Options::outputFolder>("outputFolder", I::OutputFolder, false),
        stringKey<&Options::pdfFileName>("pdfFileName", I::PdfFile, false),
        intKey<&Options::pdfPaperSize>("pdfPaperSize", I::PdfPaperSize, 0, false),
        boolKey<&Options::resizeImageToPaper>("resizeImageToPaper", I::PdfFile, false, false),
        boolKey<&Options::pdfSmoothEdges>("pdfSmoothEdges", I::PdfFile, true, false),
        intKey<&Options::pdfQuality>("pdfQuality", I::PdfQuality, 2, false),
        intKey<&Options::pdfPaperOrientation>("pdfPaperOrientation", I::PdfPaperOrientation, 0, false),
        intKey<&Options::pdfPaperMargin>("pdfPaperMargin", I::PdfPaperMargin, 0, false),
        intKey<&Options::pdfPaperMarginSize>("pdfPaperMarginSize", I::PdfPaperMarginSize, 20, false),
        boolKey<&Options::scaleImage>("scaleImage", I::ScaleImage, false, true),
        intKey<&Options::scaleType>("scaleType", I::ScaleType, 0, true),
        intKey<&Options::scalePercentage>("scalePercentage", I::ScalePercentage, 100, true),
        intKey<&Options::scaleAbsoluteWitdh>("scaleAbsoluteWitdh", I::ScaleAbsoluteWidth, 1920, true),
        intKey<&Options::scaleAbsoluteHeight>("scaleAbsoluteHeight", I::ScaleAbsoluteHeight, 1080, true),
        intKey<&Options::scaleRelativeTo>("scaleRelativeTo", I::ScaleRelativeTo, 0, true),
        intKey<&Options::scaleRelativeWidth>("scaleRelativeWidth", I::ScaleRelativeWidth, 1920, true),
        intKey<&Options::scaleRelativeHeight>("scaleRelativeHeight", I::ScaleRelativeHeight, 1080, true),
        stringKey<&Options::textContent>("textContent", I::TextContent, true),
        { QStringLiteral("textFont"), I::TextFont, QString(), true, &fontValue, &assignFont },
        intKey<&Options::textSize>("textSize", I::TextSize, 12, true),
        { QStringLiteral("textColor"), I::TextColor, QString(), true, &colorValue, &assignColor },
        positionKey<&Options::textPosition>("textPosition", I::TextPosition),
        intKey<&Options::textOpacity>("textOpacity", I::TextOpacity, 100, true),
        intKey<&Options::textMargin>("textMargin", I::TextMargin, 0, true),
        stringKey<&Options::imagePath>("imagePath", I::ImagePath, true),
        intKey<&Options::imageSize>("imageSize", I::ImageSize, 100, true),
        positionKey<&Options::imagePosition>("imagePosition", I::ImagePosition),
        intKey<&Options::imageOpacity>("imageOpacity", I::ImageOpacity, 100, true),
        intKey<&Options::imageMargin>("imageMargin", I::ImageMargin, 0, true),
        stringKey<&Options::qrCodeText>("qrCodeText", I::QrCodeText, true),
        intKey<&Options::qrCodeSize>("qrCodeSize", I::QrCodeSize, 100, true),
        positionKey<&Options::qrCodePosition>("qrCodePosition", I::QrCodePosition),
        intKey<&Options::qrCodeMargin>("qrCodeMargin", I::QrCodeMargin, 0, true),
    };
    return keys;
}

std::unique_ptr<QSettings> openStore()
{
    auto settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
        QStringLiteral("Larkspan"), QStringLiteral("ZirarurOvize"));
    settings->beginGroup(GroupName);
    return settings;
}

// A hand-edited count may be huge or negative, so it only limits which of the keys that
// really exist are read; nothing loops up to it.
AdjustRuleList loadRules(QSettings &settings)
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
        if (const std::optional<AdjustRule> rule = adjustRuleFromText(text))
            rules.append(*rule);
    }
    return rules;
}

void storeRules(QSettings &settings, const AdjustRuleList &rules)
{
    settings.setValue(RuleCountKey, qint64(rules.size()));
    for (int i = 0; i < rules.size(); ++i)
        settings.setValue(RuleKeyPrefix + QString::number(i), adjustRuleToText(rules.at(i)));
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
    AdjustRuleList rules = loadRules(*settings);
    settings->endGroup();
    return rules;
}

void storeSetting(SettingItem item)
{
    const std::unique_ptr<QSettings> settings = openStore();
    const ConversionOptions &options = conversionOptions();
    if (item == SettingItem::AdjustRules) {
        storeRules(*settings, options.ruleList);
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
