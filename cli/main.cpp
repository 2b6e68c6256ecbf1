// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

// pictomat-cli: the window's conversion from the command line, on the engine library alone.

#include "cli/batchjob.h"
#include "cli/commandline.h"
#include "cli/pipes.h"
#include "cli/presetkeys.h"
#include "cli/report.h"
#include "common/processmemory.h"
#include "plugins/imageformats/common/decodelimits.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QJsonObject>
#include <cstdio>
#include <unistd.h>

namespace {

bool verboseLog = false;

// The engine logs every step for the window's debug output; here it would drown the report.
void filterMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (!verboseLog && type != QtCriticalMsg && type != QtFatalMsg)
        return;
    const QByteArray bytes = message.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

void writeTo(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

void writeBytes(FILE *stream, const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

// An error before any file: the message on standard error, and the report a script waits for.
int stopEarly(ReportKind report, const ReportHeader &header, int exitCode, const QString &message)
{
    writeTo(stderr, message + QLatin1Char('\n'));
    if (report == ReportKind::Json)
        writeBytes(stdout, reportJson(header, {}, exitCode, message));
    else if (report == ReportKind::JsonLines)
        writeBytes(stdout, errorJsonLine(exitCode, message));
    return exitCode;
}

int run(CliRequest request, ReportKind report)
{
    verboseLog = request.verbose;
    Pipes pipes;
    QString pipeError;
    if (!pipes.prepare(&request, &pipeError))
        return stopEarly(
            report, { QString(), QJsonObject() }, 2, QStringLiteral("pictomat-cli: ") + pipeError);
    for (const QString &key : request.ignoredPresetKeys)
        writeTo(stderr,
            QStringLiteral("preset: ignored %1 (unknown or not a valid value)\n").arg(printableText(key)));

    const ReportHeader header { QFileInfo(request.outputFolder).absoluteFilePath(), optionsJson(request) };
    // Saving next to the originals needs no output folder.
    const QFileInfo output(request.outputFolder);
    if (!request.outputFolder.isEmpty()
        && ((output.exists() && !output.isDir()) || !QDir().mkpath(request.outputFolder))) {
        return stopEarly(report, header, 2,
            QStringLiteral("-o/--output: %1 is not a folder and cannot be made.")
                .arg(printableText(request.outputFolder)));
    }
    const BatchPlan plan = planBatch(request);
    if (plan.sourceCount() == 0 && plan.unusable.isEmpty()) {
        return stopEarly(report, header, 3,
            QStringLiteral("Nothing to do: no supported picture in the given files and folders."));
    }

    const bool terminal = isatty(fileno(stderr)) && !request.quiet;
    ProgressBar bar(terminalColumns(stderr));
    const QList<FileOutcome> outcomes
        = runBatch(request, plan, [&](const FileOutcome &outcome, int done, int total) {
              if (report == ReportKind::JsonLines)
                  writeBytes(stdout, fileJsonLine(outcome));
              if (terminal)
                  bar.update(done, total);
          });
    bar.finish();
    printOutcomes(outcomes, request.quiet);
    int exitCode = exitCodeFor(outcomes);
    if (pipes.writesToStdout() && !pipes.deliver(outcomes) && exitCode == 0)
        exitCode = 1;
    if (report == ReportKind::Json)
        writeBytes(stdout, reportJson(header, outcomes, exitCode));
    return exitCode;
}

} // namespace

int main(int argc, char *argv[])
{
    shareOneMallocArena();
    // One value for the whole process in Qt: set before any thread decodes.
    QImageReader::setAllocationLimit(DecodeLimits::AllocationLimitMB);
    // Text watermarks need fonts, so the platform is a real one, without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(filterMessages);
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pictomat-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PICTOMAT_VERSION));
    QCoreApplication::addLibraryPath(QDir(QCoreApplication::applicationDirPath())
                                         .absoluteFilePath(QStringLiteral(PICTOMAT_PLUGIN_RELDIR)));

    const ReportKind report = requestedReport(QCoreApplication::arguments());
    const CliParseResult parsed = parseCommandLine(QCoreApplication::arguments(), QGuiApplication::font());
    switch (parsed.status) {
    case CliParseResult::ShowHelp:
        writeTo(stdout, cliHelpText(terminalColumns(stdout)));
        return 0;
    case CliParseResult::ShowPresetKeys:
        writeTo(stdout, presetKeysText());
        return 0;
    case CliParseResult::ShowPresetKeysMarkdown:
        writeTo(stdout, presetKeysMarkdown());
        return 0;
    case CliParseResult::ShowManPage: {
        QFile page(parsed.request.outputFolder);
        return page.open(QIODevice::WriteOnly) && page.write(cliManPage().toUtf8()) >= 0 ? 0 : 1;
    }
    case CliParseResult::ShowVersion:
        writeTo(stdout, QStringLiteral("pictomat-cli %1\n").arg(QCoreApplication::applicationVersion()));
        return 0;
    case CliParseResult::BadCommandLine:
        return stopEarly(
            report, { QString(), QJsonObject() }, 2, QStringLiteral("pictomat-cli: ") + parsed.message);
    case CliParseResult::Run:
        break;
    }
    return run(parsed.request, report);
}
