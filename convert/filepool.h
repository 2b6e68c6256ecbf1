// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QMutex>
#include <QThreadPool>
#include <QWaitCondition>
#include <functional>
#include <map>
#include <set>

// The worker threads of one conversion job. The job's own thread starts files in list order and
// takes them back in list order; at most `threads` files run at once, and the files started but
// not yet taken stay within `budgetBytes` of expected peak memory, except that a file may always
// start when nothing else is held. A negative budget means the system gave no figure: threads
// alone bound the job. The destructor waits for every started file.
// Each entry has its turn, in list order; a file may finish early but is put in place only at its
// turn (awaitTurn), so that a stop before its turn leaves nothing of it behind.
class FilePool {
public:
    FilePool(int threads, qint64 budgetBytes, std::function<bool()> stopRequested);
    ~FilePool();
    FilePool(const FilePool &) = delete;
    FilePool &operator=(const FilePool &) = delete;

    // Starts `task` for entry `index` when a thread is free and `bytes` fit; false otherwise.
    // The task writes its result where the caller will look after take(index).
    bool tryStart(qsizetype index, qint64 bytes, std::function<void()> task);
    // Blocks until entry `index` has finished, calling `whileWaiting` (without the lock) after
    // each file that finishes meanwhile, the moment to start more; then frees its memory share.
    void take(qsizetype index, const std::function<void()> &whileWaiting);

    // The job's thread: entry `index` has its turn, unless a stop came first (false). Decided under
    // the lock that awaitTurn() reads, so an entry and its turn always agree.
    bool beginTurn(qsizetype index);
    // A pool thread: waits until entry `index` has its turn (true) or a stop comes first (false).
    // A file waiting does not count as running.
    bool awaitTurn(qsizetype index);
    // A pool thread: a stop came before entry `index` had its turn, so its work is wasted.
    bool abandoned(qsizetype index);

    int threads() const { return _threads; }
    // How far ahead of the turn files may start: some may wait for their turn meanwhile. One
    // thread starts each file at its turn, as a job without a pool would.
    int lookahead() const { return _threads > 1 ? 2 * _threads : 1; }

private:
    QThreadPool _pool;
    int _threads;
    qint64 _budget;
    std::function<bool()> _stopRequested;
    qsizetype _turn = -1;
    QWaitCondition _turnChanged;
    QMutex _mutex;
    QWaitCondition _changed;
    int _running = 0;
    int _finishedSinceWait = 0;
    qint64 _bytesHeld = 0;
    std::set<qsizetype> _finished;
    std::map<qsizetype, qint64> _held;
};

// How many files a job converts at once: PICTOMAT_FILES_AT_ONCE when set to a positive number
// (read once), otherwise the machine's core count, at most `threadLimit` when that is positive.
int defaultFilesAtOnce(int threadLimit = 0);
