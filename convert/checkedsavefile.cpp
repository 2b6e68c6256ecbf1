// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/checkedsavefile.h"

#include "common/fileplacement.h"
#include "imaging/failurereasons.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStorageInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

thread_local const std::function<bool()> *commitGate = nullptr;
thread_local const TargetPlacement *placement = nullptr;

const QLatin1String temporaryMark(".pictomat-");

QString systemText(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// Qt words some errors itself, in English, whatever the locale of the system's texts.
bool isError(const QString &text, int code, const char *englishText)
{
    return text == systemText(code) || text == QLatin1String(englishText);
}

// A new temporary file beside the target: hidden, and named so that what a killed job left can be
// told from the user's files.
std::unique_ptr<QFile> createTemporary(const QString &target, QString *error)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const QFileInfo info(target);
    auto file = std::make_unique<QFile>();
    // A name of 255 bytes, the most a file system takes, is shortened to leave room for ours.
    QString stem = info.fileName();
    while (!stem.isEmpty() && QFile::encodeName(stem).size() > 255 - 1 - temporaryMark.size() - 6)
        stem.chop(stem.size() > 1 && stem.at(stem.size() - 1).isLowSurrogate() ? 2 : 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString name = QLatin1Char('.') + stem + temporaryMark;
        for (int i = 0; i < 6; ++i)
            name += QLatin1Char(letters[QRandomGenerator::global()->bounded(int(sizeof(letters) - 1))]);
        file->setFileName(info.absolutePath() + QLatin1Char('/') + name);
        if (file->open(QIODevice::ReadWrite | QIODevice::NewOnly)) {
            FilePlacement::markInUse(file->handle());
            return file;
        }
        if (file->exists())
            continue;
        *error = file->errorString();
        return nullptr;
    }
    *error = systemText(EEXIST);
    return nullptr;
}

} // namespace

// Passes every byte on to the save file at the position the encoder chose, and keeps the first
// write that failed or fell short and how far the file reaches. Reads back what was written, so
// that a writer can check its file before it is put in place.
class CheckedSaveFile::Output : public QIODevice {
public:
    Output(QFile *file, const QString &target)
        : _file(file)
        , _target(target)
    {
        QIODevice::open(QIODevice::ReadWrite | QIODevice::Unbuffered);
    }

    QString failure() const { return _failure; }
    qint64 end() const { return _end; }

    bool isSequential() const override { return false; }
    qint64 size() const override { return _end; }
    bool seek(qint64 position) override { return QIODevice::seek(position) && _file->seek(position); }

protected:
    // Through the temporary file's own handle, which the save file opens for reading too; its
    // position is put back for the writes that follow.
    qint64 readData(char *data, qint64 maxSize) override
    {
        QFile reader;
        if (!_file->flush()
            || !reader.open(
                _file->handle(), QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle))
            return -1;
        const qint64 read = reader.seek(pos()) ? reader.read(data, maxSize) : -1;
        _file->seek(_file->pos());
        return read;
    }

    qint64 writeData(const char *data, qint64 length) override
    {
        if (!_failure.isEmpty())
            return -1;
        const qint64 start = _file->pos();
        errno = 0;
        const qint64 written = _file->write(data, length);
        const int code = errno;
        if (written != length) {
            // Qt reports a write that fell short with no text; the system's last word says why.
            _failure = written < 0 && _file->error() != QFileDevice::NoError
                    && _file->errorString() != QLatin1String("Unknown error")
                ? _file->errorString()
                : systemText(code != 0 ? code : ENOSPC);
            // Encoders that word their own failure quote this.
            setErrorString(fileFailureReason(_failure, _target));
            return -1;
        }
        _end = qMax(_end, start + written);
        return written;
    }

private:
    QFile *_file;
    QString _target;
    QString _failure;
    qint64 _end = 0;
};

CheckedSaveFile::CheckedSaveFile(const QString &targetPath)
    : _target(targetPath)
{
}

CheckedSaveFile::~CheckedSaveFile()
{
    // A file never committed leaves no temporary file behind.
    cancel();
}

bool CheckedSaveFile::open(QString *error)
{
    // An existing file the user made read-only is not replaced.
    const QFileInfo existing(_target);
    QString failure;
    if (existing.exists() && !existing.isSymLink() && !existing.isWritable())
        failure = systemText(EACCES);
    else
        _file = createTemporary(_target, &failure);
    if (!_file) {
        if (error)
            *error = fileFailureReason(failure, _target);
        return false;
    }
    _tempPath = _file->fileName();
    _output = std::make_unique<Output>(_file.get(), _target);
    return true;
}

QIODevice *CheckedSaveFile::device() const
{
    return _output.get();
}

QString CheckedSaveFile::writeFailure() const
{
    const QString failure = _output ? _output->failure() : QString();
    return failure.isEmpty() ? failure : fileFailureReason(failure, _target);
}

void CheckedSaveFile::cancel()
{
    _output.reset();
    if (_file) {
        _file->close();
        QFile::remove(_tempPath);
    }
    _file.reset();
}

bool CheckedSaveFile::isTemporaryName(const QString &fileName)
{
    const qsizetype mark = fileName.lastIndexOf(temporaryMark);
    return fileName.startsWith(QLatin1Char('.')) && mark > 1
        && fileName.size() == mark + temporaryMark.size() + 6;
}

int CheckedSaveFile::removeStaleTemporaryFiles(const QString &folder, const QDateTime &jobStart)
{
    int removed = 0;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &entry : entries) {
        if (isTemporaryName(entry.fileName()) && !entry.isSymLink() && entry.lastModified() < jobStart
            && FilePlacement::removeIfUnused(entry.absoluteFilePath()))
            ++removed;
    }
    return removed;
}

// Renames the finished temporary file into place: over the target only when the placement in
// force allows it, else at the target or the next free name.
bool CheckedSaveFile::place(QString *failure)
{
    const TargetPlacement *rule = placement;
    int code = 0;
    if (!rule || rule->mayReplace()) {
        // The new file takes the permissions of the one it replaces.
        const QFileInfo existing(_target);
        if (existing.exists() && !existing.isSymLink())
            QFile::setPermissions(_tempPath, existing.permissions());
        if (FilePlacement::renameReplacing(_tempPath, _target, &code))
            return true;
        *failure = systemText(code);
        return false;
    }
    for (int attempt = 0; attempt < 1000; ++attempt) {
        if (FilePlacement::renameWithoutReplacing(_tempPath, _target, &code))
            return true;
        const QString next = code == EEXIST ? rule->nextName(_target) : QString();
        if (next.isEmpty())
            break;
        _target = next;
    }
    *failure = systemText(code);
    return false;
}

bool CheckedSaveFile::commit(QString *error)
{
    if (!_file)
        return false;
    QString failure = _output->failure();
    // A failure of the last flush is not reported by close(), so flush and look first.
    if (failure.isEmpty() && (!_file->flush() || _file->error() != QFileDevice::NoError))
        failure = _file->errorString();
    if (failure.isEmpty() && _file->size() != _output->end())
        failure = systemText(ENOSPC);
    if (failure.isEmpty() && commitGate && !(*commitGate)()) {
        if (error)
            *error = QCoreApplication::translate("CheckedSaveFile", "the conversion was cancelled");
        cancel();
        return false;
    }
    if (failure.isEmpty()) {
        FilePlacement::syncToDisk(_file->handle());
        _output.reset();
        _file->close();
        if (_file->error() != QFileDevice::NoError)
            failure = _file->errorString();
    }
    if (failure.isEmpty() && place(&failure)) {
        _file.reset();
        return true;
    }
    // Worded while the temporary file still holds its share of the disk.
    if (error)
        *error = fileFailureReason(failure, _target);
    cancel();
    return false;
}

CommitGate::CommitGate(std::function<bool()> mayCommit)
    : _mayCommit(std::move(mayCommit))
    , _outer(commitGate)
{
    commitGate = &_mayCommit;
}

CommitGate::~CommitGate()
{
    commitGate = _outer;
}

TargetPlacement::TargetPlacement(bool mayReplace, std::function<QString(const QString &)> nextName)
    : _mayReplace(mayReplace)
    , _nextName(std::move(nextName))
    , _outer(placement)
{
    placement = this;
}

TargetPlacement::~TargetPlacement()
{
    placement = _outer;
}

const TargetPlacement *TargetPlacement::current()
{
    return placement;
}

QString fileFailureReason(const QString &text, const QString &targetPath)
{
    if (!QFileInfo(QFileInfo(targetPath).absolutePath()).isDir())
        return FailureReason::folderGone();
    if (isError(text, ENOSPC, "No space left on device") || isError(text, EDQUOT, "Disk quota exceeded"))
        return FailureReason::diskFull();
    if (isError(text, EACCES, "Permission denied") || isError(text, EPERM, "Operation not permitted")
        || isError(text, EROFS, "Read-only file system"))
        return FailureReason::permissionDenied();
    if (isError(text, EEXIST, "File exists"))
        return FailureReason::nameTaken();
    // Qt gives no text for a write that fell short, which a regular file does only when the
    // disk or the user's quota is full.
    const QStorageInfo storage(QFileInfo(targetPath).absolutePath());
    if (storage.isValid() && storage.bytesAvailable() < (qint64(1) << 20))
        return FailureReason::diskFull();
    return text;
}
