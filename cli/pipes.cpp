#include "cli/pipes.h"

#include "imaging/sourcecheck.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <cstdio>

namespace {

bool isPipe(const QString &argument)
{
    return argument == QLatin1String("-");
}

// Standard input whole, as bytes.
QByteArray readStandardInput()
{
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return QByteArray();
    return in.readAll();
}

// The suffix that names a picture of this content, empty when it is none of ours.
QString suffixForContent(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format().toLower();
    if (format.isEmpty() || !SourceCheck::isSupportedFormat(format))
        return QString();
    return format == "jpeg" ? QStringLiteral("jpg") : QString::fromLatin1(format);
}

} // namespace

bool Pipes::prepare(CliRequest *request, QString *error)
{
    const bool fromStdin = request->inputs.contains(QStringLiteral("-"));
    toStdout = isPipe(request->outputFolder);
    if (fromStdin && request->inputs.size() != 1) {
        *error = QStringLiteral("-: standard input can only be the one input.");
        return false;
    }
    if (toStdout) {
        const QFileInfo input(request->inputs.value(0));
        if (request->inputs.size() != 1 || (!fromStdin && input.isDir())) {
            *error = QStringLiteral("-o -: standard output takes the result of one picture; give one file.");
            return false;
        }
        if (request->json || request->jsonLines) {
            *error = QStringLiteral("-o -: standard output holds the picture; --json and --json-lines cannot "
                                    "share it.");
            return false;
        }
        outputDir = std::make_unique<QTemporaryDir>();
        if (!outputDir->isValid()) {
            *error = QStringLiteral("-o -: no temporary folder: ") + outputDir->errorString();
            return false;
        }
        request->outputFolder = outputDir->path();
        request->overwrite = false;
        request->options.saveNextToOriginal = false;
        request->options.keepFolderStructure = false;
        request->options.namePattern = QStringLiteral("{name}");
    }
    if (fromStdin) {
        if (request->options.saveNextToOriginal && !toStdout) {
            *error = QStringLiteral("-: a picture from standard input has no folder to be saved next to; "
                                    "give -o.");
            return false;
        }
        const QByteArray bytes = readStandardInput();
        const QString suffix = suffixForContent(bytes);
        if (suffix.isEmpty()) {
            *error = bytes.isEmpty()
                ? QStringLiteral("-: standard input is empty.")
                : QStringLiteral("-: standard input holds no picture the program reads.");
            return false;
        }
        inputDir = std::make_unique<QTemporaryDir>();
        QFile file(inputDir->filePath(QStringLiteral("stdin.") + suffix));
        if (!inputDir->isValid() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()
            || !file.flush()) {
            *error = QStringLiteral("-: standard input could not be kept in a temporary file.");
            return false;
        }
        request->inputs = { file.fileName() };
    }
    return true;
}

bool Pipes::deliver(const QList<FileOutcome> &outcomes) const
{
    if (!toStdout || outcomes.size() != 1 || outcomes.first().result != FileOutcome::Converted)
        return false;
    QFile result(outcomes.first().target);
    if (!result.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = result.readAll();
    const bool written
        = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size());
    return std::fflush(stdout) == 0 && written;
}
