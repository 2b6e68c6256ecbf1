#include "cli/settingoptions.h"

#include "convert/outputformats.h"
#include "settings/rulekinds.h"
#include "settings/settingkey.h"

#include <QColor>
#include <QRegularExpression>

namespace {

using Options = ConversionOptions;

// Names match ignoring case, spaces, dashes and underscores: "Top - Left", "top-left" and
// "TopLeft" are one position.
QString folded(const QString &name)
{
    QString result = name.toLower();
    result.remove(QRegularExpression(QStringLiteral("[\\s_-]")));
    return result;
}

int indexOfName(const QStringList &names, const QString &value)
{
    for (int i = 0; i < names.size(); ++i) {
        if (folded(names.at(i)) == folded(value))
            return i;
    }
    return -1;
}

QString quotedList(const QStringList &names)
{
    QStringList quoted;
    for (const QString &name : names)
        quoted.append(name.contains(QLatin1Char(' ')) ? QLatin1Char('"') + name + QLatin1Char('"') : name);
    return quoted.join(QLatin1String(", "));
}

const QStringList &positionNames()
{
    static const QStringList names = { QStringLiteral("Top - Left"), QStringLiteral("Top - Center"),
        QStringLiteral("Top - Right"), QStringLiteral("Center - Left"), QStringLiteral("Center - Center"),
        QStringLiteral("Center - Right"), QStringLiteral("Bottom - Left"), QStringLiteral("Bottom - Center"),
        QStringLiteral("Bottom - Right") };
    return names;
}

QStringList formatNames()
{
    QStringList names;
    for (const TargetFormat &format : targetFormats())
        names.append(format.text);
    return names;
}

const SettingKey &keyNamed(const QString &name)
{
    for (const SettingKey &key : settingKeys()) {
        if (key.key == name)
            return key;
    }
    qFatal("unknown setting key %s", qPrintable(name));
}

QString rangeText(int minimum, int maximum)
{
    return maximum == INT_MAX ? QStringLiteral("%1 or more").arg(minimum)
                              : QStringLiteral("%1 to %2").arg(minimum).arg(maximum);
}

bool parseInt(const QString &text, int minimum, int maximum, int *number)
{
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok);
    if (!ok || value < minimum || value > maximum)
        return false;
    *number = int(value);
    return true;
}

// An option for one integer setting: default and range come from the settings table.
SettingOption intOption(const char *name, const char *settingKey, const char *help)
{
    const SettingKey &key = keyNamed(QLatin1String(settingKey));
    const int minimum = key.minimum;
    const int maximum = key.maximum;
    const auto assign = key.assign;
    return { QLatin1String(name), QStringLiteral("N"), QLatin1String(help),
        QStringLiteral("default %1, %2").arg(key.defaultValue.toInt()).arg(rangeText(minimum, maximum)),
        [=](Options &options, const QString &value) {
            int number = 0;
            if (!parseInt(value, minimum, maximum, &number))
                return QStringLiteral("a whole number from %1").arg(rangeText(minimum, maximum));
            assign(options, number, QFont());
            return QString();
        } };
}

SettingOption positionOption(const char *name, int Options::*member, const char *help)
{
    return { QLatin1String(name), QStringLiteral("POSITION"), QLatin1String(help),
        QStringLiteral("default \"Bottom - Right\"; one of %1").arg(quotedList(positionNames())),
        [=](Options &options, const QString &value) {
            const int position = indexOfName(positionNames(), value);
            if (position < 0)
                return quotedList(positionNames());
            options.*member = position;
            return QString();
        } };
}

SettingOption textOption(const char *name, QString Options::*member, const char *valueName, const char *help)
{
    return { QLatin1String(name), QLatin1String(valueName), QLatin1String(help),
        QStringLiteral("default none"), [=](Options &options, const QString &value) {
            options.*member = value;
            return QString();
        } };
}

SettingOption onOffOption(const char *name, bool Options::*member, bool defaultValue, const char *help)
{
    return { QLatin1String(name), QStringLiteral("on|off"), QLatin1String(help),
        QStringLiteral("default %1").arg(defaultValue ? QLatin1String("on") : QLatin1String("off")),
        [=](Options &options, const QString &value) {
            const int index = indexOfName({ QStringLiteral("off"), QStringLiteral("on") }, value);
            if (index < 0)
                return QStringLiteral("on, off");
            options.*member = index == 1;
            return QString();
        } };
}

SettingOption choiceOption(const char *name, int Options::*member, const QStringList &choices,
    int defaultValue, const char *valueName, const char *help)
{
    return { QLatin1String(name), QLatin1String(valueName), QLatin1String(help),
        QStringLiteral("default %1; one of %2").arg(choices.at(defaultValue), quotedList(choices)),
        [=](Options &options, const QString &value) {
            int index = indexOfName(choices, value);
            if (index < 0) // "300" for "300 dpi"
                index = indexOfName(choices, value + QStringLiteral(" dpi"));
            if (index < 0)
                return quotedList(choices);
            options.*member = index;
            return QString();
        } };
}

QString applyFormat(Options &options, const QString &value)
{
    const QStringList names = formatNames();
    int index = indexOfName(names, value);
    // The file extensions people type for the targets whose list text differs.
    if (index < 0 && folded(value) == QLatin1String("jxl"))
        index = indexOfName(names, QStringLiteral("JPEG XL"));
    if (index < 0 && (folded(value) == QLatin1String("jpeg")))
        index = JpgTargetPosition;
    if (index < 0 && folded(value) == QLatin1String("tif"))
        index = indexOfName(names, QStringLiteral("TIFF"));
    if (index < 0)
        return quotedList(names);
    options.targeFileType = index;
    return QString();
}

QString applyScale(Options &options, const QString &value)
{
    if (folded(value) == QLatin1String("off")) {
        options.scaleImage = false;
        return QString();
    }
    QString number = value.trimmed();
    if (number.endsWith(QLatin1Char('%')))
        number.chop(1);
    const SettingKey &key = keyNamed(QStringLiteral("scalePercentage"));
    int percent = 0;
    if (!parseInt(number, key.minimum, key.maximum, &percent))
        return QStringLiteral("a percentage from %1 (as 50%), or off")
            .arg(rangeText(key.minimum, key.maximum));
    options.scaleImage = true;
    options.scaleType = 0;
    options.scalePercentage = percent;
    return QString();
}

// --width or --height alone: the window's relative size. Both: the parser turns them into the
// absolute size.
SettingOption sideOption(const char *name, bool width, const char *help)
{
    return { QLatin1String(name), QStringLiteral("PIXELS"), QLatin1String(help),
        QStringLiteral("default off, 1 or more"), [=](Options &options, const QString &value) {
            int pixels = 0;
            if (!parseInt(value, 1, INT_MAX, &pixels))
                return QStringLiteral("a whole number of pixels, 1 or more");
            options.scaleType = 2;
            options.scaleRelativeTo = width ? 0 : 1;
            (width ? options.scaleRelativeWidth : options.scaleRelativeHeight) = pixels;
            options.scaleImage = true;
            return QString();
        } };
}

QString applyColor(Options &options, const QString &value)
{
    const QColor color = QColor::fromString(value.trimmed());
    if (!color.isValid())
        return QStringLiteral("a colour as #RRGGBB or a colour name such as white");
    options.textColor = color;
    return QString();
}

QString ruleSyntax()
{
    QStringList kinds;
    for (const AdjustRuleKind &kind : adjustRuleKinds()) {
        kinds.append(kind.hasValue
                ? QStringLiteral("%1=N (%2)").arg(kind.name, rangeText(kind.minimum, kind.maximum))
                : kind.name);
    }
    return QStringLiteral("rules separated by \";\": ") + kinds.join(QLatin1String(", "))
        + QStringLiteral(", or none");
}

QString applyAdjust(Options &options, const QString &value)
{
    AdjustRuleList rules;
    if (folded(value) != QLatin1String("none")) {
        const QStringList parts = value.split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (const QString &part : parts) {
            const QString name = part.section(QLatin1Char('='), 0, 0);
            const AdjustRuleKind *found = nullptr;
            for (const AdjustRuleKind &kind : adjustRuleKinds()) {
                if (folded(kind.name) == folded(name))
                    found = &kind;
            }
            int number = 0;
            const bool hasValue = part.contains(QLatin1Char('='));
            if (!found || hasValue != found->hasValue
                || (hasValue
                    && !parseInt(part.section(QLatin1Char('='), 1), found->minimum, found->maximum, &number)))
                return ruleSyntax();
            AdjustRule rule;
            rule.ruleId = int(rules.size()) + 1;
            rule.ruleIndex = found->kind;
            if (hasValue)
                rule.values[0] = number;
            rules.append(rule);
        }
    }
    options.ruleList = rules;
    return QString();
}

SettingOption customOption(const char *name, const char *valueName, const char *help,
    const QString &defaultAndRange, QString (*apply)(Options &, const QString &))
{
    return { QLatin1String(name), QLatin1String(valueName), QLatin1String(help), defaultAndRange, apply };
}

QString applyPdfMargin(Options &options, const QString &value)
{
    if (folded(value) == QLatin1String("off")) {
        options.pdfPaperMargin = 0;
        return QString();
    }
    const SettingKey &key = keyNamed(QStringLiteral("pdfPaperMarginSize"));
    int size = 0;
    if (!parseInt(value, key.minimum, key.maximum, &size))
        return QStringLiteral("off, or a margin size from %1").arg(rangeText(key.minimum, key.maximum));
    options.pdfPaperMargin = 1;
    options.pdfPaperMarginSize = size;
    return QString();
}

} // namespace

const QList<SettingOption> &settingOptions()
{
    static const QList<SettingOption> options = {
        customOption("format", "FORMAT", "Target format.",
            QStringLiteral("default AVIF; one of %1").arg(quotedList(formatNames())), &applyFormat),
        intOption("quality", "targeFileQuality", "Quality of the writer."),
        customOption("scale", "PERCENT%", "Scale Image by percentage, or off.",
            QStringLiteral("default off, 0% to 400%"), &applyScale),
        sideOption("width", true,
            "Scale Image to this width; with --height, to that absolute size; alone, relative to width."),
        sideOption("height", false,
            "Scale Image to this height; with --width, to that absolute size; alone, relative to height."),
        textOption("text", &Options::textContent, "TEXT", "Text watermark."),
        customOption("text-font", "FAMILY", "Font of the text watermark.",
            QStringLiteral("default the system font"),
            [](Options &options, const QString &value) {
                options.textFont = QFont(value);
                return QString();
            }),
        intOption("text-size", "textSize", "Size of the text watermark in points."),
        customOption("text-color", "COLOR", "Color of the text watermark.", QStringLiteral("default #000000"),
            &applyColor),
        positionOption("text-position", &Options::textPosition, "Position of the text watermark."),
        intOption("text-opacity", "textOpacity", "Opacity of the text watermark in percent."),
        intOption("text-margin", "textMargin", "Margin of the text watermark in pixels."),
        textOption("image", &Options::imagePath, "FILE", "Image watermark: a picture file."),
        intOption("image-size", "imageSize", "Size of the image watermark in percent of its own size."),
        positionOption("image-position", &Options::imagePosition, "Position of the image watermark."),
        intOption("image-opacity", "imageOpacity", "Opacity of the image watermark in percent."),
        intOption("image-margin", "imageMargin", "Margin of the image watermark in pixels."),
        textOption("qr", &Options::qrCodeText, "TEXT", "QR Code watermark: the text it encodes."),
        intOption("qr-size", "qrCodeSize", "Size of the QR code in pixels."),
        positionOption("qr-position", &Options::qrCodePosition, "Position of the QR code."),
        intOption("qr-margin", "qrCodeMargin", "Margin of the QR code in pixels."),
        customOption("adjust", "RULES",
            "Adjustments, applied in the order given, as \"Sepia;Contrast=50;Gamma=120\".",
            QStringLiteral("default none; ") + ruleSyntax(), &applyAdjust),
        textOption("pdf-file", &Options::pdfFileName, "NAME",
            "PDF file name inside the output folder (format PDF)."),
        choiceOption("pdf-paper", &Options::pdfPaperSize,
            { QStringLiteral("Letter"), QStringLiteral("A4"), QStringLiteral("A5"), QStringLiteral("Legal"),
                QStringLiteral("Executive") },
            0, "SIZE", "Paper size of the PDF."),
        choiceOption("pdf-orientation", &Options::pdfPaperOrientation,
            { QStringLiteral("Portrait"), QStringLiteral("Landscape") }, 0, "ORIENTATION",
            "Page Orientation of the PDF."),
        customOption("pdf-margin", "SIZE", "Margin Size of the PDF pages, or off for No Margin.",
            QStringLiteral("default off, 0 to 99"), &applyPdfMargin),
        choiceOption("pdf-quality", &Options::pdfQuality,
            { QStringLiteral("96 dpi"), QStringLiteral("150 dpi"), QStringLiteral("300 dpi"),
                QStringLiteral("400 dpi"), QStringLiteral("600 dpi"), QStringLiteral("1200 dpi") },
            2, "DPI", "Resolution of the PDF."),
        onOffOption(
            "pdf-resize-to-paper", &Options::resizeImageToPaper, false, "Resize Image to Paper Size."),
        onOffOption("pdf-smooth-edges", &Options::pdfSmoothEdges, true, "Smooth Edges on Resize."),
        onOffOption("keep-metadata", &Options::keepMetadata, true,
            "Keep metadata (EXIF, XMP, IPTC) of the photos; GIF and PDF hold none."),
        onOffOption("remove-location", &Options::removeLocation, false,
            "Remove location (GPS) from the metadata that is kept."),
    };
    return options;
}
