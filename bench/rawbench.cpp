// Camera RAW: a DNG of a 24-megapixel camera (6000x4000, 14-bit RGGB mosaic, a 1600x1067 preview
// JPEG as cameras embed), made as the tests make theirs. Prints the list icon's time (from the
// embedded preview), the first live preview's, and the whole development's CPU time against
// dcraw_emu's (LibRaw's own developer) on the same file with the same settings: white balance as
// shot, sRGB, 16 bits, the sRGB curve. Medians of ROUNDS runs; the file stays in the page cache.
// Goals: icon at most 20 ms, development within 1.10x of dcraw_emu's CPU time.
// usage: pictomat_bench_raw [ROUNDS]
#include "benchscene.h"
#include "convert/conversionoptions.h"
#include "dngfile.h"
#include "filelist/listicon.h"
#include "imaging/renderpipeline.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImageReader>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <ctime>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double processCpuSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// dcraw_emu's CPU time (user and system, its threads included) on `path`; -1 when it cannot run.
double dcrawEmuCpuSeconds(const QString &path)
{
    const QByteArray file = path.toLocal8Bit();
    const pid_t child = fork();
    if (child == 0) {
        if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr))
            _exit(127);
        execlp("dcraw_emu", "dcraw_emu", "-w", "-o", "1", "-6", "-T", "-g", "2.4", "12.92", "-Z", "-",
            file.constData(), static_cast<char *>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage {};
    if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status)
        || WEXITSTATUS(status) != 0)
        return -1;
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QImageReader::setAllocationLimit(256);
    const int rounds = argc > 1 ? qMax(1, QString::fromLocal8Bit(argv[1]).toInt()) : 5;
    QTextStream out(stdout);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("IMG_0001.DNG"));
    DngFile::Recipe recipe;
    recipe.scene = makeScene(6000, 4000);
    recipe.preview = recipe.scene.scaled(1600, 1067, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    recipe.white = 16383;
    if (!DngFile::write(path, recipe)) {
        out << "cannot write the DNG\n";
        return 1;
    }
    recipe = {};
    out << "file: 6000x4000 DNG, " << QFileInfo(path).size() / 1048576 << " MB, preview 1600x1067 JPEG\n";

    std::vector<double> icons, previews, ours, theirs;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        const ListIcon icon = makeListIcon(path);
        icons.push_back(timer.nsecsElapsed() / 1e6);
        if (icon.sizeStr != QLatin1String("6000x4000"))
            out << "icon caption wrong: " << icon.sizeStr << "\n";

        clearLoadCache();
        timer.restart();
        const QImage preview = renderFittedPreview(
            path, optionsSnapshot(), [](QSize size) { return size.scaled(400, 231, Qt::KeepAspectRatio); });
        previews.push_back(timer.nsecsElapsed() / 1e6);
        if (preview.isNull())
            out << "no preview\n";

        const double start = processCpuSeconds();
        const QImage whole = QImageReader(path).read();
        ours.push_back(processCpuSeconds() - start);
        if (whole.size() != QSize(6000, 4000))
            out << "development failed\n";
        theirs.push_back(dcrawEmuCpuSeconds(path));
    }
    const double ourCpu = median(ours), theirCpu = median(theirs);
    out << "rounds: " << rounds << " (medians)\n";
    out << "list icon (embedded preview): " << median(icons) << " ms  (goal <= 20 ms)\n";
    out << "first live preview: " << median(previews) << " ms\n";
    out << "whole development, CPU: ours " << ourCpu << " s, dcraw_emu ";
    if (theirCpu < 0)
        out << "not run (libraw-bin missing)\n";
    else
        out << theirCpu << " s, ratio " << ourCpu / theirCpu << "  (goal <= 1.10)\n";
    return 0;
}
