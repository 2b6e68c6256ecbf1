#include "convert/checkedsavefile.h"

#include "imaging/failurereasons.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QStorageInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

thread_local const std::function<bool()> *commitGate = nullptr;

QString systemText(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// Qt words some errors itself, in English, whatever the locale of the system's texts.
bool isError(const QString &text, int code, const char *englishText)
{
    return text == systemText(code) || text == QLatin1String(englishText);
}

// A free name beside the target, shaped like the save file's own temporary names.
QString siblingName(const QString &target)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString name = target + QLatin1Char('.');
        for (int i = 0; i < 6; ++i)
            name += QLatin1Char(letters[QRandomGenerator::global()->bounded(int(sizeof(letters) - 1))]);
        const QFileInfo info(name);
        if (!info.exists() && !info.isSymLink())
            return name;
    }
    return QString();
}

} // namespace

// Passes every byte on to the save file at the position the encoder chose, and keeps the first
// write that failed or fell short and how far the file reaches. Reads back what was written, so
// that a writer can check its file before it is put in place.
class CheckedSaveFile::Output : public QIODevice {
public:
    Output(QSaveFile *file, const QString &target)
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
    QSaveFile *_file;
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
    // A save file destroyed while open removes its temporary file.
    _output.reset();
    _file.reset();
}

bool CheckedSaveFile::open(QString *error)
{
    // The save file would follow a link and write into the file it points to; write beside it
    // instead and rename over the link.
    _writePath = QFileInfo(_target).isSymLink() ? siblingName(_target) : _target;
    if (_writePath.isEmpty()) {
        if (error)
            *error = fileFailureReason(systemText(EEXIST), _target);
        return false;
    }
    _file = std::make_unique<QSaveFile>(_writePath);
    if (!_file->open(QIODevice::WriteOnly)) {
        if (error)
            *error = fileFailureReason(_file->errorString(), _target);
        _file.reset();
        return false;
    }
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
    if (_file)
        _file->cancelWriting();
    _output.reset();
    _file.reset();
}

bool CheckedSaveFile::commit(QString *error)
{
    if (!_file)
        return false;
    QString failure = _output->failure();
    // Qt's commit() ignores a failure of its own final flush, so flush and look first.
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
    if (failure.isEmpty() && !_file->commit())
        failure = _file->errorString();
    const bool aside = _writePath != _target;
    if (failure.isEmpty() && aside
        && std::rename(QFile::encodeName(_writePath).constData(), QFile::encodeName(_target).constData())
            != 0) {
        failure = systemText(errno);
        QFile::remove(_writePath);
    }
    if (failure.isEmpty()) {
        _output.reset();
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

QString fileFailureReason(const QString &text, const QString &targetPath)
{
    if (!QFileInfo(QFileInfo(targetPath).absolutePath()).isDir())
        return FailureReason::folderGone();
    if (isError(text, ENOSPC, "No space left on device") || isError(text, EDQUOT, "Disk quota exceeded"))
        return FailureReason::diskFull();
    if (isError(text, EACCES, "Permission denied") || isError(text, EPERM, "Operation not permitted")
        || isError(text, EROFS, "Read-only file system"))
        return FailureReason::permissionDenied();
    // Qt gives no text for a write that fell short, which a regular file does only when the
    // disk or the user's quota is full.
    const QStorageInfo storage(QFileInfo(targetPath).absolutePath());
    if (storage.isValid() && storage.bytesAvailable() < (qint64(1) << 20))
        return FailureReason::diskFull();
    return text;
}
