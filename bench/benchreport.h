// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QElapsedTimer>
#include <QTextStream>

#include <sys/resource.h>

// Wall time, CPU time and peak memory of this process since construction, printed in the one
// format every benchmark command shares.
class BenchReport {
public:
    BenchReport()
        : cpuStart(cpuSeconds())
    {
        timer.start();
    }

    static double cpuSeconds()
    {
        rusage usage {};
        getrusage(RUSAGE_SELF, &usage);
        return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec
            + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }

    static double peakMegabytes()
    {
        rusage usage {};
        getrusage(RUSAGE_SELF, &usage);
        return usage.ru_maxrss / 1024.0;
    }

    void print(QTextStream &out, int images, int failed) const
    {
        const double wall = timer.nsecsElapsed() / 1e9;
        const double cpu = cpuSeconds() - cpuStart;
        out << "images: " << images << "  failed: " << failed << "\n";
        out << "wall s/image: " << (images ? wall / images : 0.0) << "  total wall s: " << wall << "\n";
        out << "cpu s/image: " << (images ? cpu / images : 0.0) << "  total cpu s: " << cpu << "\n";
        out << "peak memory MB: " << peakMegabytes() << "\n";
    }

private:
    QElapsedTimer timer;
    double cpuStart;
};
