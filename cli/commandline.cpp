// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/commandline.h"

#include "cli/presetkeys.h"
#include "cli/settingoptions.h"
#include "convert/outputformats.h"
#include "settings/preset.h"
#include "settings/settingchoices.h"
#include "settings/settingkey.h"
#include "settings/settingsstore.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QImageReader>

namespace {

struct GeneralOption {
    QStringList names;
    QString valueName;
    QString help;
};

const QList<GeneralOption> &generalOptions()
{
    static const QList<GeneralOption> options = {
        { { QStringLiteral("o"), QStringLiteral("output") }, QStringLiteral("DIR"),
            QStringLiteral("Folder that receives the converted files (or the PDF); made when missing. "
                           "Default: the output folder of --settings or --preset.") },
        { { QStringLiteral("settings") }, QString(),
            QStringLiteral("Start from the settings the window saved last.") },
        { { QStringLiteral("preset") }, QStringLiteral("FILE"),
            QStringLiteral(
                "Start from a preset file saved by the window (\"Save preset...\") or written by hand; "
                "applied after --settings. Keys it cannot use are named on standard error.") },
        { { QStringLiteral("overwrite") }, QString(),
            QStringLiteral("Replace existing target files. Without it they are skipped and listed.") },
        { { QStringLiteral("recursive") }, QString(), QStringLiteral("Take the files of subfolders too.") },
        { { QStringLiteral("keep-folders") }, QString(),
            QStringLiteral(
                "Recreate the subfolders of a folder under the output folder (with --recursive).") },
        { { QStringLiteral("json") }, QString(),
            QStringLiteral("Print one JSON document on standard output: each file's source, target, result, "
                           "reason, pixel sizes, bytes and milliseconds; the version, options and totals. "
                           "Also on exit 2 and 3, with the error.") },
        { { QStringLiteral("json-lines") }, QString(),
            QStringLiteral("Print one JSON object a line on standard output for each file as it is "
                           "finished, so that the outputs of several runs join cleanly.") },
        { { QStringLiteral("q"), QStringLiteral("quiet") }, QString(),
            QStringLiteral("Print nothing but errors: no progress bar, no skipped files, no summary.") },
        { { QStringLiteral("verbose") }, QString(),
            QStringLiteral("Show the program's diagnostics (its debug log) on standard error.") },
        { { QStringLiteral("preset-keys") }, QString(),
            QStringLiteral("List the keys a preset may hold, with their values and defaults.") },
        { { QStringLiteral("h"), QStringLiteral("help") }, QString(), QStringLiteral("Show this help.") },
        { { QStringLiteral("version") }, QString(), QStringLiteral("Show the version.") },
    };
    return options;
}

QString optionSynopsis(const QStringList &names, const QString &valueName)
{
    QStringList forms;
    for (const QString &name : names)
        forms.append((name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name);
    QString text = forms.join(QLatin1String(", "));
    if (!valueName.isEmpty())
        text += QLatin1Char(' ') + valueName;
    return text;
}

void addOptions(QCommandLineParser &parser)
{
    for (const GeneralOption &option : generalOptions())
        parser.addOption(QCommandLineOption(option.names, option.help, option.valueName));
    for (const SettingOption &option : settingOptions())
        parser.addOption(QCommandLineOption(option.name, option.help, option.valueName));
    QCommandLineOption manPage(QStringLiteral("man-page"), QString(), QStringLiteral("FILE"));
    manPage.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(manPage);
    // The README's table of preset keys.
    QCommandLineOption markdown(QStringLiteral("preset-keys-markdown"), QString());
    markdown.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(markdown);
}

QString badOption(const QString &name, const QString &value, const QString &allowed)
{
    return QStringLiteral("--%1: \"%2\" is not allowed; use %3.").arg(name, printableText(value), allowed);
}

// Where a merged option came from, for a message: the line's option or the preset's key.
QString originOf(const QCommandLineParser &parser, const char *option, const char *key)
{
    return parser.isSet(QLatin1String(option)) ? QStringLiteral("--") + QLatin1String(option)
                                               : QStringLiteral("--preset/--settings: ") + QLatin1String(key);
}

// Options that pass one by one but cannot work: false with *message naming the option.
bool checkMergedOptions(const QCommandLineParser &parser, const ConversionOptions &options, QString *message)
{
    // A combined document is written inside the output folder, never beside or above it.
    const QString pdfName = options.pdfFileName;
    if (options.targeFileType == PdfTargetPosition
        && (pdfName.contains(QLatin1Char('/')) || pdfName.contains(QLatin1Char('\\'))
            || pdfName == QLatin1String("..") || pdfName == QLatin1String("."))) {
        *message = QStringLiteral("%1: \"%2\" is not allowed; use a file name without folders, written "
                                  "inside the output folder.")
                       .arg(originOf(parser, "pdf-file", "pdfFileName"), printableText(pdfName));
        return false;
    }
    // A watermark that cannot be read would leave every picture without it, unnoticed.
    if (!options.imagePath.isEmpty()) {
        const QFileInfo picture(options.imagePath);
        const QString why = !picture.exists() ? QStringLiteral("no such file")
            : !picture.isFile() || !QImageReader(options.imagePath).canRead()
            ? QStringLiteral("not a picture that can be read")
            : QString();
        if (!why.isEmpty()) {
            *message
                = QStringLiteral("%1: %2: %3.")
                      .arg(originOf(parser, "image", "imagePath"), printableText(options.imagePath), why);
            return false;
        }
    }
    return true;
}

// Defaults, then --settings, then --preset; false with *message set when the preset is unreadable.
bool startingOptions(
    const QCommandLineParser &parser, const QFont &standardFont, CliRequest *request, QString *message)
{
    resetOptions();
    updateOptions([&](ConversionOptions &o) { o.textFont = standardFont; });
    if (parser.isSet(QStringLiteral("settings"))) {
        const AdjustRuleList rules = SettingsStore::loadOptions(standardFont);
        updateOptions([&](ConversionOptions &o) { o.ruleList = rules; });
    }
    request->options = optionsSnapshot();
    if (parser.isSet(QStringLiteral("preset"))) {
        const Preset::LoadResult loaded
            = Preset::load(parser.value(QStringLiteral("preset")), &request->options, standardFont);
        if (!loaded.read) {
            *message = QStringLiteral("--preset: ") + loaded.error + QLatin1Char('.');
            return false;
        }
        request->ignoredPresetKeys = loaded.ignoredKeys;
        // A preset that sets nothing, or names its target wrongly, would convert with the wrong
        // settings without a word: better nothing at all.
        const QString formatKey = SettingKeys::GroupName + QStringLiteral("/targeFileType");
        if (loaded.usedKeys == 0 || loaded.ignoredKeys.contains(formatKey)) {
            QStringList named;
            for (const QString &key : std::as_const(loaded.ignoredKeys))
                named.append(printableText(key));
            *message = loaded.usedKeys == 0
                ? QStringLiteral("--preset: %1: no key could be used%2. See --preset-keys.")
                      .arg(printableText(parser.value(QStringLiteral("preset"))),
                          named.isEmpty()
                              ? QString()
                              : QStringLiteral(" (") + named.join(QLatin1String(", ")) + QLatin1Char(')'))
                : QStringLiteral("--preset: %1: targeFileType is not a target format; use one of %2.")
                      .arg(printableText(parser.value(QStringLiteral("preset"))),
                          SettingChoices::names(QStringLiteral("targeFileType")).join(QLatin1String(", ")));
            return false;
        }
    }
    return true;
}

// Options on the line, in table order; false with *message naming the first bad one.
bool applyLineOptions(const QCommandLineParser &parser, ConversionOptions *options, QString *message)
{
    for (const SettingOption &option : settingOptions()) {
        if (!parser.isSet(option.name))
            continue;
        const QString value = parser.value(option.name);
        const QString allowed = option.apply(*options, value);
        if (!allowed.isEmpty()) {
            *message = badOption(option.name, value, allowed);
            return false;
        }
    }
    if (parser.isSet(QStringLiteral("width")) && parser.isSet(QStringLiteral("height"))) {
        options->scaleType = 1;
        options->scaleAbsoluteWitdh = options->scaleRelativeWidth;
        options->scaleAbsoluteHeight = options->scaleRelativeHeight;
    }
    return true;
}

QString exitStatusText()
{
    return QStringLiteral(
        "0 every file converted, or skipped because its target exists and skipping was asked for "
        "(--when-exists skip, or a preset saying so); 1 some file failed, or was skipped because its "
        "target exists without skipping asked for (give --overwrite or --when-exists skip); 2 bad "
        "command line or preset, nothing done; 3 nothing to do: no picture the program reads in the "
        "files and folders given (a message says so).");
}

} // namespace

ReportKind requestedReport(const QStringList &arguments)
{
    // The last of the two wins, as for any option given twice; "--" ends the options.
    ReportKind kind = ReportKind::Text;
    for (const QString &argument : arguments) {
        if (argument == QLatin1String("--"))
            break;
        if (argument == QLatin1String("--json"))
            kind = ReportKind::Json;
        else if (argument == QLatin1String("--json-lines"))
            kind = ReportKind::JsonLines;
    }
    return kind;
}

QString printableText(const QString &text)
{
    QString result;
    const QList<uint> codePoints = text.toUcs4();
    for (const uint c : codePoints) {
        if (QChar::isPrint(char32_t(c)))
            result += QString::fromUcs4(reinterpret_cast<const char32_t *>(&c), 1);
        else if (c < 0x100)
            result += QStringLiteral("\\x%1").arg(c, 2, 16, QLatin1Char('0'));
        else
            result += QStringLiteral("\\u%1").arg(c, 4, 16, QLatin1Char('0'));
    }
    return result;
}

CliParseResult parseCommandLine(const QStringList &arguments, const QFont &standardFont)
{
    CliParseResult result;
    QCommandLineParser parser;
    addOptions(parser);
    parser.addPositionalArgument(QStringLiteral("FILE|FOLDER"), QString());
    if (!parser.parse(arguments)) {
        result.status = CliParseResult::BadCommandLine;
        result.message = parser.errorText() + QStringLiteral(" See --help.");
        return result;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        result.status = CliParseResult::ShowHelp;
        return result;
    }
    if (parser.isSet(QStringLiteral("preset-keys"))) {
        result.status = CliParseResult::ShowPresetKeys;
        return result;
    }
    if (parser.isSet(QStringLiteral("preset-keys-markdown"))) {
        result.status = CliParseResult::ShowPresetKeysMarkdown;
        return result;
    }
    if (parser.isSet(QStringLiteral("man-page"))) {
        result.status = CliParseResult::ShowManPage;
        result.request.outputFolder = parser.value(QStringLiteral("man-page"));
        return result;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        result.status = CliParseResult::ShowVersion;
        return result;
    }

    CliRequest &request = result.request;
    if (!startingOptions(parser, standardFont, &request, &result.message)
        || !applyLineOptions(parser, &request.options, &result.message)
        || !checkMergedOptions(parser, request.options, &result.message)) {
        result.status = CliParseResult::BadCommandLine;
        return result;
    }
    request.inputs = parser.positionalArguments();
    request.outputFolder = parser.isSet(QStringLiteral("output")) ? parser.value(QStringLiteral("output"))
                                                                  : request.options.outputFolder;
    request.overwrite = parser.isSet(QStringLiteral("overwrite"));
    request.recursive = parser.isSet(QStringLiteral("recursive"));
    request.keepFolders = parser.isSet(QStringLiteral("keep-folders"));
    request.json = parser.isSet(QStringLiteral("json"));
    request.jsonLines = parser.isSet(QStringLiteral("json-lines"));
    request.quiet = parser.isSet(QStringLiteral("quiet"));
    request.verbose = parser.isSet(QStringLiteral("verbose"));

    if (request.inputs.isEmpty()) {
        result.status = CliParseResult::BadCommandLine;
        result.message = QStringLiteral("No FILE or FOLDER given. See --help.");
    } else if (request.outputFolder.isEmpty()
        && !(request.options.saveNextToOriginal && request.options.targeFileType != PdfTargetPosition)) {
        result.status = CliParseResult::BadCommandLine;
        result.message
            = QStringLiteral("-o/--output: missing; give the folder that receives the converted files.");
    }
    return result;
}

QString wrapped(const QString &text, int indent, int columns)
{
    const QString margin(indent, QLatin1Char(' '));
    // Too narrow a terminal still gets some words a line.
    const int width = qMax(20, columns - 1);
    QString result;
    QString line = margin;
    const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &word : words) {
        if (line.size() > indent && line.size() + 1 + word.size() > width) {
            result += line + QLatin1Char('\n');
            line = margin;
        }
        if (line.size() > indent)
            line += QLatin1Char(' ');
        line += word;
    }
    return result + line + QLatin1Char('\n');
}

QString cliHelpText(int columns)
{
    QString text
        = wrapped(QStringLiteral("Usage: pictomat-cli [OPTIONS] FILE|FOLDER... -o OUTDIR"), 0, columns)
        + wrapped(QStringLiteral("Converts pictures as the Pictomat window does."), 0, columns)
        + QLatin1Char('\n');
    const auto add = [&](const QString &synopsis, const QString &help, const QString &defaults) {
        text += QStringLiteral("  ") + synopsis + QLatin1Char('\n');
        text += wrapped(help, 6, columns);
        if (!defaults.isEmpty())
            text += wrapped(QLatin1Char('(') + defaults + QLatin1Char(')'), 6, columns);
    };
    for (const GeneralOption &option : generalOptions())
        add(optionSynopsis(option.names, option.valueName), option.help, QString());
    text += QLatin1Char('\n')
        + wrapped(QStringLiteral("Conversion settings (they win over --settings and --preset):"), 0, columns);
    for (const SettingOption &option : settingOptions())
        add(optionSynopsis({ option.name }, option.valueName), option.help, option.defaultAndRange);
    text += QLatin1Char('\n') + wrapped(QStringLiteral("Exit status: ") + exitStatusText(), 0, columns);
    return text;
}

QString cliManPage()
{
    // Backslashes and leading dots would be read as troff requests.
    const auto escaped = [](QString text) {
        text.replace(QLatin1Char('\\'), QLatin1String("\\e"));
        text.replace(QLatin1Char('-'), QLatin1String("\\-"));
        return text;
    };
    QString page
        = QStringLiteral(".TH PICTOMAT\\-CLI 1 \"\" \"Pictomat %1\" \"User Commands\"\n"
                         ".SH NAME\npictomat\\-cli \\- convert pictures as the Pictomat window does\n"
                         ".SH SYNOPSIS\n.B pictomat\\-cli\n[\\fIOPTIONS\\fR] \\fIFILE\\fR|\\fIFOLDER\\fR... "
                         "\\fB\\-o\\fR \\fIOUTDIR\\fR\n"
                         ".SH DESCRIPTION\nConverts every picture given, and those found in every folder "
                         "given, with the render, writers, naming rule and failure list of the window. "
                         "Existing targets are never replaced unless \\fB\\-\\-overwrite\\fR is given. "
                         "A progress bar goes to standard error when it is a terminal.\n"
                         ".SH OPTIONS\n")
              .arg(QCoreApplication::applicationVersion());
    const auto add = [&](const QString &synopsis, const QString &help, const QString &defaults) {
        page += QStringLiteral(".TP\n\\fB") + escaped(synopsis) + QStringLiteral("\\fR\n") + escaped(help);
        if (!defaults.isEmpty())
            page += QStringLiteral(" (") + escaped(defaults) + QLatin1Char(')');
        page += QLatin1Char('\n');
    };
    for (const GeneralOption &option : generalOptions())
        add(optionSynopsis(option.names, option.valueName), option.help, QString());
    page += QStringLiteral(
        ".SS Conversion settings\nThey win over \\fB\\-\\-settings\\fR and \\fB\\-\\-preset\\fR.\n");
    for (const SettingOption &option : settingOptions())
        add(optionSynopsis({ option.name }, option.valueName), option.help, option.defaultAndRange);
    page += presetKeysTroff();
    page += QStringLiteral(".SH EXIT STATUS\n") + escaped(exitStatusText())
        + QStringLiteral(
            "\n"
            ".SH FILES\nPresets are INI files with the keys of the group [MainApp] of the window's "
            "settings, listed under PRESET KEYS.\n");
    return page;
}
