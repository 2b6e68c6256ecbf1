#pragma once

#include <QIODevice>
#include <QString>
#include <functional>
#include <memory>

class QSaveFile;

// The one way a writer puts a file in place. The encoder writes to device(), which passes the
// bytes to a temporary file in the target folder and remembers the first write that failed or
// fell short (encoders ignore short writes, and Qt reports none). commit() renames the file into
// place only when every byte reached the disk: the device flushed without error and the file on
// disk is as long as what was written. Otherwise the temporary file is removed and the old
// target, if any, is untouched. A target that is a symbolic link is replaced by the new file;
// the file the link points to is never written. Lives on one thread.
class CheckedSaveFile {
public:
    explicit CheckedSaveFile(const QString &targetPath);
    ~CheckedSaveFile();
    CheckedSaveFile(const CheckedSaveFile &) = delete;
    CheckedSaveFile &operator=(const CheckedSaveFile &) = delete;

    bool open(QString *error);
    QIODevice *device() const;
    bool commit(QString *error);
    // Why a write to device() failed, in words; empty while every write went through.
    QString writeFailure() const;
    // Discards what was written; the target stays as it was.
    void cancel();

private:
    class Output;

    QString _target;
    QString _writePath;
    std::unique_ptr<QSaveFile> _file;
    std::unique_ptr<Output> _output;
};

// While one lives on a thread, every commit() on that thread first asks `mayCommit`, which may
// wait, and discards the file when it says no. A job converting several files at once puts each
// one in place only at its turn in the list, so that a cancelled job leaves no file it never
// reported.
class CommitGate {
public:
    explicit CommitGate(std::function<bool()> mayCommit);
    ~CommitGate();
    CommitGate(const CommitGate &) = delete;
    CommitGate &operator=(const CommitGate &) = delete;

private:
    std::function<bool()> _mayCommit;
    const std::function<bool()> *_outer;
};

// A file error in the words of the failure list: "disk full", "permission denied", "folder no
// longer exists", or the system's own text for anything else.
QString fileFailureReason(const QString &systemText, const QString &targetPath);
