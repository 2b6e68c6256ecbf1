// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

// pictomat-cli: the window's conversion from the command line, on the engine library alone.

#include "cli/batchjob.h"
#include "cli/commandline.h"
#include "cli/presetkeys.h"
#include "cli/report.h"
#include "common/processmemory.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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

int run(const CliRequest &request)
{
    verboseLog = request.verbose;
    for (const QString &key : request.ignoredPresetKeys)
        writeTo(stderr,
            QStringLiteral("preset: ignored %1 (unknown or not a valid value)\n").arg(printableText(key)));

    // Saving next to the originals needs no output folder.
    const QFileInfo output(request.outputFolder);
    if (!request.outputFolder.isEmpty()
        && ((output.exists() && !output.isDir()) || !QDir().mkpath(request.outputFolder))) {
        writeTo(stderr,
            QStringLiteral("-o/--output: %1 is not a folder and cannot be made.\n")
                .arg(request.outputFolder));
        return 2;
    }
    const BatchPlan plan = planBatch(request);
    if (plan.sourceCount() == 0 && plan.unusable.isEmpty()) {
        writeTo(
            stderr, QStringLiteral("Nothing to do: no supported picture in the given files and folders.\n"));
        return 3;
    }

    const bool terminal = isatty(fileno(stderr));
    ProgressBar bar;
    const QList<FileOutcome> outcomes = runBatch(request, plan, [&](int done, int total) {
        if (terminal)
            bar.update(done, total);
    });
    bar.finish();
    printOutcomes(outcomes);
    if (request.json)
        writeTo(stdout,
            QString::fromUtf8(outcomesJson(QFileInfo(request.outputFolder).absoluteFilePath(), outcomes)));
    return exitCodeFor(outcomes);
}

} // namespace

int main(int argc, char *argv[])
{
    shareOneMallocArena();
    // Text watermarks need fonts, so the platform is a real one, without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(filterMessages);
    // The blur of the adjustments draws through QGraphicsScene, which needs a QApplication.
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pictomat-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PICTOMAT_VERSION));
    QCoreApplication::addLibraryPath(QDir(QCoreApplication::applicationDirPath())
                                         .absoluteFilePath(QStringLiteral(PICTOMAT_PLUGIN_RELDIR)));

    const CliParseResult parsed = parseCommandLine(QCoreApplication::arguments(), QApplication::font());
    switch (parsed.status) {
    case CliParseResult::ShowHelp:
        writeTo(stdout, cliHelpText());
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
        writeTo(stderr, QStringLiteral("pictomat-cli: ") + parsed.message + QLatin1Char('\n'));
        return 2;
    case CliParseResult::Run:
        break;
    }
    return run(parsed.request);
}
