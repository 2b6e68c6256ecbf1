// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDateTime>
#include <QIODevice>
#include <QString>
#include <functional>
#include <memory>

class QFile;

// The one way a writer puts a file in place. The encoder writes to device(), which passes the
// bytes to a temporary file in the target folder and remembers the first write that failed or
// fell short (encoders ignore short writes, and Qt reports none). commit() renames the file into
// place only when every byte reached the disk: the device flushed without error and the file on
// disk is as long as what was written. Otherwise the temporary file is removed and the old
// target, if any, is untouched. The temporary file is named ".NAME.pictomat-XXXXXX" (see
// isTemporaryName()). Where the thread's TargetPlacement says so, nothing at the target is
// replaced. A target that is a symbolic link is replaced by the new file; the file the link
// points to is never written. Lives on one thread.
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
    // Where commit() put the file: the target, or the next free numbered name.
    QString placedPath() const { return _target; }

    // Whether a file name is one of the temporary names this class gives.
    static bool isTemporaryName(const QString &fileName);
    // Removes what killed jobs left in `folder`: files of our temporary names last changed before
    // `jobStart` that no program has open for writing. The number removed.
    static int removeStaleTemporaryFiles(const QString &folder, const QDateTime &jobStart);

private:
    class Output;

    bool place(QString *failure);

    QString _target;
    QString _tempPath;
    std::unique_ptr<QFile> _file;
    std::unique_ptr<Output> _output;
};

// While one lives on a thread, commit() on that thread replaces nothing unless `mayReplace`
// (a confirmed overwrite of a sound source); when the target's name is taken, `nextName` (if
// given) names the next file to try, else the commit fails with "already exists". Without one,
// commit() replaces the target.
class TargetPlacement {
public:
    explicit TargetPlacement(bool mayReplace, std::function<QString(const QString &)> nextName = {});
    ~TargetPlacement();
    TargetPlacement(const TargetPlacement &) = delete;
    TargetPlacement &operator=(const TargetPlacement &) = delete;

    bool mayReplace() const { return _mayReplace; }
    QString nextName(const QString &taken) const { return _nextName ? _nextName(taken) : QString(); }
    static const TargetPlacement *current();

private:
    bool _mayReplace;
    std::function<QString(const QString &)> _nextName;
    const TargetPlacement *_outer;
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
