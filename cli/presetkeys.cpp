#include "cli/presetkeys.h"

#include "settings/rulekinds.h"
#include "settings/settingchoices.h"
#include "settings/settingkey.h"

#include <QColor>

namespace {

QString quotedChoices(const QStringList &names)
{
    QStringList quoted;
    for (const QString &name : names)
        quoted.append(name.contains(QLatin1Char(' ')) ? QLatin1Char('"') + name + QLatin1Char('"') : name);
    return quoted.join(QLatin1String(", "));
}

QString rangeText(int minimum, int maximum)
{
    return maximum == INT_MAX ? QStringLiteral("%1 or more").arg(minimum)
                              : QStringLiteral("%1 to %2").arg(minimum).arg(maximum);
}

// The option's value after a reset to the key's default, in the words a preset uses.
QString defaultText(const SettingKey &key)
{
    ConversionOptions options;
    key.assign(options, key.defaultValue, QFont());
    const QVariant value = key.value(options);
    const QStringList choices = SettingChoices::names(key.key);
    switch (key.kind) {
    case SettingKey::Int:
        return choices.isEmpty() ? QString::number(value.toInt()) : choices.value(value.toInt());
    case SettingKey::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case SettingKey::Color:
        return value.value<QColor>().name();
    case SettingKey::Font:
        return QStringLiteral("the system font");
    case SettingKey::String:
        return value.toString().isEmpty() ? QStringLiteral("empty") : value.toString();
    }
    return QString();
}

PresetKeyDoc docFor(const SettingKey &key)
{
    const QStringList choices = SettingChoices::names(key.key);
    PresetKeyDoc doc { key.key, QString(), QString(), defaultText(key) };
    switch (key.kind) {
    case SettingKey::Int:
        doc.type = choices.isEmpty() ? QStringLiteral("number") : QStringLiteral("choice");
        doc.allowed = choices.isEmpty()
            ? rangeText(key.minimum, key.maximum)
            : quotedChoices(choices) + QStringLiteral(" (or their numbers, 0 to %1)").arg(choices.size() - 1);
        break;
    case SettingKey::Bool:
        doc.type = QStringLiteral("switch");
        doc.allowed = QStringLiteral("true, false (also on/off, yes/no, 1/0)");
        break;
    case SettingKey::Color:
        doc.type = QStringLiteral("colour");
        doc.allowed = QStringLiteral("#RRGGBB or a colour name such as white");
        break;
    case SettingKey::Font:
        doc.type = QStringLiteral("font");
        doc.allowed = QStringLiteral("a font family, as DejaVu Sans");
        break;
    case SettingKey::String:
        doc.type = QStringLiteral("text");
        doc.allowed = QStringLiteral("any text");
        break;
    }
    return doc;
}

} // namespace

QList<PresetKeyDoc> presetKeyDocs()
{
    QList<PresetKeyDoc> docs;
    for (const SettingKey &key : settingKeys()) {
        if (!SettingChoices::isMachineSpecific(key.key))
            docs.append(docFor(key));
    }
    QStringList kinds;
    for (const AdjustRuleKind &kind : adjustRuleKinds())
        kinds.append(QStringLiteral("%1 %2").arg(int(kind.kind)).arg(kind.name));
    docs.append({ QStringLiteral("AdjustImageCount"), QStringLiteral("number"),
        QStringLiteral("how many AdjustImage keys follow"), QStringLiteral("0") });
    docs.append({ QStringLiteral("AdjustImage0, AdjustImage1, ..."), QStringLiteral("rule"),
        QStringLiteral("\"ID;KIND;VALUE;;;;\" in the order applied; KIND is ")
            + kinds.join(QLatin1String(", ")),
        QStringLiteral("none") });
    return docs;
}

QString presetKeysText()
{
    QString text = QStringLiteral("A preset is an INI file; its keys go in the group [MainApp]. Keys it "
                                  "lacks keep their defaults.\n\n");
    for (const PresetKeyDoc &doc : presetKeyDocs()) {
        text += QStringLiteral("  %1 (%2)\n      %3; default %4\n")
                    .arg(doc.key, doc.type, doc.allowed, doc.defaultValue);
    }
    return text;
}

QString presetKeysTroff()
{
    const auto escaped = [](QString text) {
        text.replace(QLatin1Char('\\'), QLatin1String("\\e"));
        text.replace(QLatin1Char('-'), QLatin1String("\\-"));
        return text;
    };
    QString page = QStringLiteral(".SH PRESET KEYS\nA preset is an INI file; its keys go in the group "
                                  "[MainApp]. Keys it lacks keep their defaults.\n");
    for (const PresetKeyDoc &doc : presetKeyDocs()) {
        page += QStringLiteral(".TP\n\\fB%1\\fR (%2)\n%3; default %4\n")
                    .arg(escaped(doc.key), doc.type, escaped(doc.allowed), escaped(doc.defaultValue));
    }
    return page;
}

QString presetKeysMarkdown()
{
    QString text = QStringLiteral("| Key | Type | Allowed values | Default |\n|---|---|---|---|\n");
    for (const PresetKeyDoc &doc : presetKeyDocs()) {
        QString allowed = doc.allowed;
        allowed.replace(QLatin1Char('|'), QLatin1String("\\|"));
        text += QStringLiteral("| `%1` | %2 | %3 | %4 |\n").arg(doc.key, doc.type, allowed, doc.defaultValue);
    }
    return text;
}
