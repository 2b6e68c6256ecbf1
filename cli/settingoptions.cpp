// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

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

// An option that is off, or a number in its setting's range that turns the setting on.
struct OffOrNumber {
    const char *settingKey; // the number's key, whose range holds
    const char *suffix; // may follow the number, as in "50%"
    const char *allowed; // the values in words, %1 the range
    void (*set)(Options &, bool on, int number);
    int least = 0; // above the setting's own minimum where that value cannot work
};

// 0% would leave no picture to write.
const OffOrNumber scaleNumber { "scalePercentage", "%", "a percentage from %1 (as 50%), or off",
    [](Options &options, bool on, int percent) {
        options.scaleImage = on;
        if (on) {
            options.scaleType = 0;
            options.scalePercentage = percent;
        }
    },
    1 };

const OffOrNumber pdfMarginNumber { "pdfPaperMarginSize", "", "off, or a margin size from %1",
    [](Options &options, bool on, int size) {
        options.pdfPaperMargin = on ? 1 : 0;
        if (on)
            options.pdfPaperMarginSize = size;
    },
    0 };

QString applyOffOrNumber(const OffOrNumber &rule, Options &options, const QString &value)
{
    if (folded(value) == QLatin1String("off")) {
        rule.set(options, false, 0);
        return QString();
    }
    QString text = value.trimmed();
    if (*rule.suffix && text.endsWith(QLatin1String(rule.suffix)))
        text.chop(qsizetype(qstrlen(rule.suffix)));
    const SettingKey &key = keyNamed(QLatin1String(rule.settingKey));
    const int minimum = qMax(key.minimum, rule.least);
    int number = 0;
    if (!parseInt(text, minimum, key.maximum, &number))
        return QString::fromLatin1(rule.allowed).arg(rangeText(minimum, key.maximum));
    rule.set(options, true, number);
    return QString();
}

// The window's "Relative to" choices of the relative size.
enum RelativeTo { ToWidth = 0, ToHeight = 1, ToLongEdge = 2, ToShortEdge = 3 };

// --width, --height, --long-edge or --short-edge alone: the window's relative size. --width and
// --height together: the parser turns them into the absolute size.
SettingOption sideOption(const char *name, RelativeTo relativeTo, const char *help)
{
    return { QLatin1String(name), QStringLiteral("PIXELS"), QLatin1String(help),
        QStringLiteral("default off, 1 or more"), [=](Options &options, const QString &value) {
            int pixels = 0;
            if (!parseInt(value, 1, INT_MAX, &pixels))
                return QStringLiteral("a whole number of pixels, 1 or more");
            options.scaleType = 2;
            options.scaleRelativeTo = relativeTo;
            if (relativeTo == ToWidth)
                options.scaleRelativeWidth = pixels;
            else if (relativeTo == ToHeight)
                options.scaleRelativeHeight = pixels;
            else
                options.scaleRelativeEdge = pixels;
            options.scaleImage = true;
            return QString();
        } };
}

SettingOption colorOption(const char *name, QColor Options::*member, const char *help)
{
    const QString defaultColor = (Options().*member).name();
    return { QLatin1String(name), QStringLiteral("COLOR"), QLatin1String(help),
        QStringLiteral("default ") + defaultColor, [=](Options &options, const QString &value) {
            const QColor color = QColor::fromString(value.trimmed());
            if (!color.isValid())
                return QStringLiteral("a colour as #RRGGBB or a colour name such as white");
            options.*member = color;
            return QString();
        } };
}

// The toolbar's one quality box serves the chosen target: JPG's quality, or the other lossy
// format's own. A target without a quality takes the value and ignores it, as the window does.
QString qualityKey(const Options &options)
{
    const QString extension = targetFormatAt(options.targeFileType).extension;
    for (const char *format : { "webp", "avif", "heic", "heif", "jxl" }) {
        if (extension.mid(1) == QLatin1String(format))
            return QLatin1String(format) + QStringLiteral("Quality");
    }
    return QStringLiteral("targeFileQuality");
}

QString applyQuality(Options &options, const QString &value)
{
    const SettingKey &key = keyNamed(qualityKey(options));
    int number = 0;
    if (!parseInt(value, key.minimum, key.maximum, &number))
        return QStringLiteral("a whole number from %1").arg(rangeText(key.minimum, key.maximum));
    key.assign(options, number, QFont());
    return QString();
}

QString applyLossless(Options &options, const QString &value)
{
    const QString extension = targetFormatAt(options.targeFileType).extension;
    bool Options::*member = extension == QLatin1String(".webp") ? &Options::webpLossless
        : extension == QLatin1String(".avif")                   ? &Options::avifLossless
        : extension == QLatin1String(".jxl")                    ? &Options::jxlLossless
                                                                : nullptr;
    const int index = indexOfName({ QStringLiteral("off"), QStringLiteral("on") }, value);
    if (!member || index < 0)
        return QStringLiteral("on or off with --format WEBP, AVIF or \"JPEG XL\"");
    options.*member = index == 1;
    return QString();
}

const QStringList &tiffCompressionNames()
{
    static const QStringList names
        = { QStringLiteral("None"), QStringLiteral("LZW"), QStringLiteral("Deflate") };
    return names;
}

// The toolbar's Compression: a level for PNG, a method for TIFF.
QString applyCompression(Options &options, const QString &value)
{
    const QString format = targetFormatAt(options.targeFileType).text;
    const SettingKey &level = keyNamed(QStringLiteral("pngCompression"));
    const QString allowed
        = QStringLiteral("a level from %1 with --format PNG, or %2 with --format TIFF")
              .arg(rangeText(level.minimum, level.maximum), quotedList(tiffCompressionNames()));
    if (format == QLatin1String("PNG")) {
        int number = 0;
        if (!parseInt(value, level.minimum, level.maximum, &number))
            return allowed;
        options.pngCompression = number;
        return QString();
    }
    const int method = indexOfName(tiffCompressionNames(), value);
    if (format != QLatin1String("TIFF") || method < 0)
        return allowed;
    options.tiffCompression = method;
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
    const QString &defaultAndRange, const std::function<QString(Options &, const QString &)> &apply)
{
    return { QLatin1String(name), QLatin1String(valueName), QLatin1String(help), defaultAndRange, apply };
}

SettingOption offOrNumberOption(const char *name, const char *valueName, const char *help,
    const QString &defaultAndRange, const OffOrNumber &rule)
{
    return customOption(name, valueName, help, defaultAndRange,
        [&rule](Options &options, const QString &value) { return applyOffOrNumber(rule, options, value); });
}

} // namespace

const QList<SettingOption> &settingOptions()
{
    static const QList<SettingOption> options = {
        customOption("format", "FORMAT", "Target format.",
            QStringLiteral("default AVIF; one of %1").arg(quotedList(formatNames())), &applyFormat),
        customOption("quality", "N",
            "Quality of the target's writer, as the toolbar's Quality: JPG (default 95), WEBP (75), "
            "AVIF (70), HEIC and HEIF (50), JPEG XL (90); each format keeps its own.",
            QStringLiteral("default 95, 0 to 99"), &applyQuality),
        customOption("lossless", "on|off", "Lossless, for WEBP, AVIF and JPEG XL.",
            QStringLiteral("default off"), &applyLossless),
        customOption("compression", "LEVEL|METHOD",
            "Compression: for PNG a level (0 is fastest, 9 makes the smallest file), for TIFF a method.",
            QStringLiteral("default 6 for PNG, None for TIFF; PNG 0 to 9, TIFF one of %1")
                .arg(quotedList(tiffCompressionNames())),
            &applyCompression),
        colorOption("background", &Options::backgroundColor,
            "Background for transparency, under transparent pictures written to a format without it."),
        customOption("file-name", "PATTERN",
            "File name: {name} the original name, {counter} the position in the list, {date} the date "
            "taken, {size} the size of the converted picture.",
            QStringLiteral("default {name}"),
            [](Options &options, const QString &value) {
                options.namePattern = value;
                return QString();
            }),
        choiceOption("when-exists", &Options::targetExistsAction,
            { QStringLiteral("Ask"), QStringLiteral("Skip"), QStringLiteral("Add a number") }, 0, "ACTION",
            "When the target exists: Ask and Skip leave it and list the file as skipped, Add a number "
            "writes \"name (2)\". Only --overwrite replaces a file."),
        onOffOption("keep-folder-structure", &Options::keepFolderStructure, false,
            "Keep the folder structure: the sources' subfolders recreated under the output folder."),
        onOffOption("save-next-to-original", &Options::saveNextToOriginal, false,
            "Save next to the original, in each source's own folder; then -o is needed only for PDF."),
        onOffOption("only-raw-of-pairs", &Options::convertOnlyRawOfPairs, false,
            "When a RAW and a JPEG of one shot are both given (IMG_0001.CR2 and IMG_0001.JPG), convert "
            "only the RAW."),
        offOrNumberOption("scale", "PERCENT%", "Scale Image by percentage, or off.",
            QStringLiteral("default off, 1% to 400%"), scaleNumber),
        sideOption("width", ToWidth,
            "Scale Image to this width; with --height, to that absolute size; alone, relative to width."),
        sideOption("height", ToHeight,
            "Scale Image to this height; with --width, to that absolute size; alone, relative to height."),
        sideOption("long-edge", ToLongEdge, "Scale Image relative to the long edge, to this length."),
        sideOption("short-edge", ToShortEdge, "Scale Image relative to the short edge, to this length."),
        onOffOption("keep-aspect-ratio", &Options::scaleKeepAspect, false,
            "Keep aspect ratio: --width with --height fit the picture within that box instead of "
            "stretching it."),
        onOffOption("do-not-enlarge", &Options::scaleNoEnlarge, false,
            "Do not enlarge: smaller pictures keep their size."),
        onOffOption("watermarks-after-resizing", &Options::watermarksAfterScaling, false,
            "Apply watermarks after resizing, so that they are drawn at the output size."),
        textOption("text", &Options::textContent, "TEXT", "Text watermark."),
        customOption("text-font", "FAMILY", "Font of the text watermark.",
            QStringLiteral("default the system font"),
            [](Options &options, const QString &value) {
                options.textFont = QFont(value);
                return QString();
            }),
        intOption("text-size", "textSize",
            "Size of the text watermark in points, or with --text-relative in percent of the image width."),
        onOffOption("text-relative", &Options::textSizeRelative, false,
            "Relative to image width: --text-size in percent of the picture's width."),
        colorOption("text-color", &Options::textColor, "Color of the text watermark."),
        positionOption("text-position", &Options::textPosition, "Position of the text watermark."),
        intOption("text-opacity", "textOpacity", "Opacity of the text watermark in percent."),
        intOption("text-margin", "textMargin", "Margin of the text watermark in pixels."),
        textOption("image", &Options::imagePath, "FILE", "Image watermark: a picture file."),
        intOption("image-size", "imageSize",
            "Size of the image watermark in percent of its own size, or with --image-relative of the image "
            "width."),
        onOffOption("image-relative", &Options::imageSizeRelative, false,
            "Relative to image width: --image-size in percent of the picture's width."),
        positionOption("image-position", &Options::imagePosition, "Position of the image watermark."),
        intOption("image-opacity", "imageOpacity", "Opacity of the image watermark in percent."),
        intOption("image-margin", "imageMargin", "Margin of the image watermark in pixels."),
        textOption("qr", &Options::qrCodeText, "TEXT", "QR Code watermark: the text it encodes."),
        intOption("qr-size", "qrCodeSize",
            "Size of the QR code in pixels, or with --qr-relative in percent of the image width (up to "
            "100)."),
        onOffOption("qr-relative", &Options::qrCodeSizeRelative, false,
            "Relative to image width: --qr-size in percent of the picture's width."),
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
        offOrNumberOption("pdf-margin", "SIZE", "Margin Size of the PDF pages, or off for No Margin.",
            QStringLiteral("default off, 0 to 99"), pdfMarginNumber),
        choiceOption("pdf-quality", &Options::pdfQuality,
            { QStringLiteral("96 dpi"), QStringLiteral("150 dpi"), QStringLiteral("300 dpi"),
                QStringLiteral("400 dpi"), QStringLiteral("600 dpi"), QStringLiteral("1200 dpi") },
            2, "DPI", "Resolution of the PDF."),
        onOffOption(
            "pdf-resize-to-paper", &Options::resizeImageToPaper, false, "Resize Image to Paper Size."),
        onOffOption("pdf-smooth-edges", &Options::pdfSmoothEdges, true, "Smooth Edges on Resize."),
        onOffOption("keep-metadata", &Options::keepMetadata, true,
            "Keep metadata (EXIF, XMP, IPTC) of the photos; GIF and PDF hold none."),
        onOffOption("remove-location", &Options::removeLocation, true,
            "Remove location (GPS) from the metadata that is kept."),
        intOption("threads", "threadLimit",
            "Cores to keep busy: files converted at once and their encoders' threads; 0 takes every "
            "core. Under GNU parallel give each job its share, as --threads 1 with one job per core."),
    };
    return options;
}
