// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/report.h"

#include "cli/commandline.h"
#include "imaging/adjustrule.h"
#include "settings/settingchoices.h"
#include "settings/settingkey.h"

#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

QString resultName(FileOutcome::Result result)
{
    switch (result) {
    case FileOutcome::Converted:
        return QStringLiteral("converted");
    case FileOutcome::Failed:
        return QStringLiteral("failed");
    case FileOutcome::Skipped:
        return QStringLiteral("skipped");
    }
    return QString();
}

int countOf(const QList<FileOutcome> &outcomes, FileOutcome::Result result)
{
    return int(std::count_if(
        outcomes.cbegin(), outcomes.cend(), [result](const FileOutcome &o) { return o.result == result; }));
}

QString clockText(qint64 seconds)
{
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

void writeError(const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

} // namespace

int terminalColumns(FILE *stream)
{
    winsize size {};
    if (isatty(fileno(stream)) && ioctl(fileno(stream), TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

ProgressBar::ProgressBar(int columns)
    : columns(columns)
{
    clock.start();
}

void ProgressBar::update(int done, int total)
{
    const double seconds = clock.elapsed() / 1000.0;
    const double rate = seconds > 0 ? done / seconds : 0;
    const QString left = rate > 0 ? clockText(qint64((total - done) / rate + 0.5)) : QStringLiteral("-:--");
    QString counts = QStringLiteral(" %1/%2 files  %3 files/s  %4 left")
                         .arg(done)
                         .arg(total)
                         .arg(rate, 0, 'f', 1)
                         .arg(left);
    // The bar takes what the counts leave, up to 30; a line one column short of the terminal's
    // width never wraps, so "\r" always returns to its start.
    const int room = columns - 1 - int(counts.size()) - 2;
    QString line;
    if (room >= 5) {
        const int width = qMin(30, room);
        const int filled = total > 0 ? width * done / total : width;
        line = QStringLiteral("[%1%2]").arg(
                   QString(filled, QLatin1Char('#')), QString(width - filled, QLatin1Char(' ')))
            + counts;
    } else {
        line = counts.trimmed().left(qMax(1, columns - 1));
    }
    writeError(QStringLiteral("\r") + line + QStringLiteral("\x1b[K"));
    std::fflush(stderr);
    drawn = true;
}

void ProgressBar::finish()
{
    if (drawn)
        writeError(QStringLiteral("\n"));
    drawn = false;
}

void printOutcomes(const QList<FileOutcome> &outcomes, bool quiet)
{
    for (const FileOutcome &outcome : outcomes) {
        if (quiet && outcome.result != FileOutcome::Failed)
            continue;
        if (outcome.result == FileOutcome::Failed)
            writeError(QStringLiteral("failed: %1: %2\n")
                           .arg(printableText(QDir::toNativeSeparators(outcome.source)), outcome.reason));
        else if (outcome.result == FileOutcome::Skipped)
            writeError(QStringLiteral("skipped: %1: %2 exists (use --overwrite to replace it)\n")
                           .arg(printableText(QDir::toNativeSeparators(outcome.source)),
                               printableText(QDir::toNativeSeparators(outcome.target))));
    }
    if (quiet)
        return;
    writeError(QStringLiteral("%1 converted, %2 failed, %3 skipped\n")
                   .arg(countOf(outcomes, FileOutcome::Converted))
                   .arg(countOf(outcomes, FileOutcome::Failed))
                   .arg(countOf(outcomes, FileOutcome::Skipped)));
}

namespace {

QJsonValue sizeJson(QSize size)
{
    if (!size.isValid())
        return QJsonValue::Null;
    return QJsonObject { { QStringLiteral("width"), size.width() },
        { QStringLiteral("height"), size.height() } };
}

QJsonObject fileJson(const FileOutcome &outcome)
{
    return QJsonObject { { QStringLiteral("source"), QDir::toNativeSeparators(outcome.source) },
        { QStringLiteral("target"), QDir::toNativeSeparators(outcome.target) },
        { QStringLiteral("result"), resultName(outcome.result) },
        { QStringLiteral("reason"), outcome.reason }, { QStringLiteral("skipAsked"), outcome.skipAsked },
        { QStringLiteral("sourceSize"), sizeJson(outcome.sourceSize) },
        { QStringLiteral("targetSize"), sizeJson(outcome.targetSize) },
        { QStringLiteral("bytes"),
            outcome.bytes >= 0 ? QJsonValue(outcome.bytes) : QJsonValue(QJsonValue::Null) },
        { QStringLiteral("ms"), outcome.ms >= 0 ? QJsonValue(outcome.ms) : QJsonValue(QJsonValue::Null) } };
}

QJsonValue settingJson(const SettingKey &key, const ConversionOptions &options)
{
    const QVariant value = key.value(options);
    switch (key.kind) {
    case SettingKey::Int: {
        const QStringList choices = SettingChoices::names(key.key);
        if (!choices.isEmpty() && value.toInt() >= 0 && value.toInt() < choices.size())
            return choices.at(value.toInt());
        return value.toInt();
    }
    case SettingKey::Bool:
        return value.toBool();
    case SettingKey::Color:
        return value.value<QColor>().name();
    case SettingKey::Font:
        return value.value<QFont>().family();
    case SettingKey::String:
        return value.toString();
    }
    return QJsonValue::Null;
}

} // namespace

QJsonObject optionsJson(const CliRequest &request)
{
    QJsonObject settings;
    for (const SettingKey &key : settingKeys()) {
        if (key.key != QLatin1String("lastPicturesDir"))
            settings.insert(key.key, settingJson(key, request.options));
    }
    QJsonArray rules;
    for (const AdjustRule &rule : request.options.ruleList)
        rules.append(adjustRuleToText(rule));
    settings.insert(QStringLiteral("adjustRules"), rules);
    return QJsonObject { { QStringLiteral("settings"), settings },
        { QStringLiteral("overwrite"), request.overwrite },
        { QStringLiteral("recursive"), request.recursive },
        { QStringLiteral("keepFolders"), request.keepFolders } };
}

QByteArray reportJson(
    const ReportHeader &header, const QList<FileOutcome> &outcomes, int exitCode, const QString &error)
{
    QJsonArray files;
    for (const FileOutcome &outcome : outcomes)
        files.append(fileJson(outcome));
    const QJsonObject totals { { QStringLiteral("files"), int(outcomes.size()) },
        { QStringLiteral("converted"), countOf(outcomes, FileOutcome::Converted) },
        { QStringLiteral("failed"), countOf(outcomes, FileOutcome::Failed) },
        { QStringLiteral("skipped"), countOf(outcomes, FileOutcome::Skipped) } };
    QJsonObject document { { QStringLiteral("schemaVersion"), ReportSchemaVersion },
        { QStringLiteral("program"), QStringLiteral("pictomat-cli") },
        { QStringLiteral("version"), QCoreApplication::applicationVersion() },
        { QStringLiteral("outputFolder"), QDir::toNativeSeparators(header.outputFolder) },
        { QStringLiteral("options"), header.options }, { QStringLiteral("files"), files },
        { QStringLiteral("totals"), totals }, { QStringLiteral("exitCode"), exitCode },
        { QStringLiteral("error"), error.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(error) } };
    // The totals also at the top, where the first reports had them.
    for (const QString &key :
        { QStringLiteral("converted"), QStringLiteral("failed"), QStringLiteral("skipped") })
        document.insert(key, totals.value(key));
    return QJsonDocument(document).toJson(QJsonDocument::Indented);
}

QByteArray fileJsonLine(const FileOutcome &outcome)
{
    QJsonObject line = fileJson(outcome);
    line.insert(QStringLiteral("schemaVersion"), ReportSchemaVersion);
    return QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n';
}

QByteArray errorJsonLine(int exitCode, const QString &error)
{
    return QJsonDocument(QJsonObject { { QStringLiteral("schemaVersion"), ReportSchemaVersion },
                             { QStringLiteral("exitCode"), exitCode }, { QStringLiteral("error"), error } })
               .toJson(QJsonDocument::Compact)
        + '\n';
}

int exitCodeFor(const QList<FileOutcome> &outcomes)
{
    if (outcomes.isEmpty())
        return 3;
    const bool fault = std::any_of(outcomes.cbegin(), outcomes.cend(), [](const FileOutcome &o) {
        return o.result == FileOutcome::Failed || (o.result == FileOutcome::Skipped && !o.skipAsked);
    });
    return fault ? 1 : 0;
}
