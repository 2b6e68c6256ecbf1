// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Runs one conversion job with a real ConvertImagesThread and reports it on stdout, one line per
// event, so that a test can watch it, kill it mid-write, or run it as an ordinary user:
//   conversionchild [--overwrite] [--drop-privileges] [--pdf NAME] [--quality Q] FOLDER EXT SOURCE...
// Lines: STARTED, UPDATE <source>, FAILED <source> <target> <reason>, EXISTS <target> <source>,
// then COMPLETED or TERMINATED (fields separated by tabs).
#include "convert/conversionoptions.h"
#include "jobrun.h"
#include "plugins/imageformats/common/decodelimits.h"

#include <QGuiApplication>
#include <QImageReader>
#include <QStringList>
#include <cstdio>
#include <grp.h>
#include <unistd.h>

namespace {

void say(const QStringList &fields)
{
    std::fputs(qPrintable(fields.join(QLatin1Char('\t')) + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

// Becomes "nobody", so that permission bits apply to the job even when the test runs as root.
bool dropPrivileges()
{
    if (geteuid() != 0)
        return true;
    const gid_t nobodyGroup = 65534;
    const uid_t nobody = 65534;
    return setgroups(0, nullptr) == 0 && setgid(nobodyGroup) == 0 && setuid(nobody) == 0 && geteuid() != 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    bool overwrite = false;
    QString pdfName;
    int quality = 95;
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
        const QString option = args.takeFirst();
        if (option == QLatin1String("--overwrite")) {
            overwrite = true;
        } else if (option == QLatin1String("--drop-privileges")) {
            if (!dropPrivileges()) {
                std::fputs("cannot drop privileges\n", stderr);
                return 3;
            }
        } else if (option == QLatin1String("--pdf") && !args.isEmpty()) {
            pdfName = args.takeFirst();
        } else if (option == QLatin1String("--quality") && !args.isEmpty()) {
            quality = args.takeFirst().toInt();
        } else {
            std::fprintf(stderr, "unknown option %s\n", qPrintable(option));
            return 2;
        }
    }
    if (args.size() < 2) {
        std::fputs("usage: conversionchild [--overwrite] [--drop-privileges] [--pdf NAME] [--quality Q] "
                   "FOLDER EXT SOURCE...\n",
            stderr);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QImageReader::setAllocationLimit(DecodeLimits::AllocationLimitMB);

    const QString folder = args.takeFirst();
    const QString ext = args.takeFirst();
    updateOptions([&](ConversionOptions &o) {
        o.outputFolder = folder;
        o.pdfFileName = pdfName;
        o.targeFileQuality = quality;
    });

    JobRun job(args, folder, ext);
    job.overwriteExisting = overwrite;
    job.onSignal = say;
    say({ QStringLiteral("STARTED") });
    job.run();
    return 0;
}
