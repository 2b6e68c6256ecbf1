#pragma once

#include "cli/batchjob.h"
#include "cli/commandline.h"

#include <QTemporaryDir>
#include <memory>

// Standard input and output as pictures, as web back ends use converters: "-" as the only input
// reads one picture from standard input (its format from its content), "-o -" writes the one
// result to standard output (its format from --format). Both go through temporary files, so that
// the job, its checks and its atomic writes are the same as for files on disk.
class Pipes {
public:
    // Takes standard input into a temporary file and points the request at temporary places;
    // false with *error (exit 2) when the line uses the pipes in a way that cannot work.
    bool prepare(CliRequest *request, QString *error);
    // Copies the one converted file to standard output; false when there was none to copy.
    bool deliver(const QList<FileOutcome> &outcomes) const;
    bool writesToStdout() const { return toStdout; }

private:
    std::unique_ptr<QTemporaryDir> inputDir;
    std::unique_ptr<QTemporaryDir> outputDir;
    bool toStdout = false;
};
