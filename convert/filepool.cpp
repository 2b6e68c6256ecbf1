// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/filepool.h"

#include <QThread>

FilePool::FilePool(int threads, qint64 budgetBytes, std::function<bool()> stopRequested)
    : _threads(qMax(1, threads))
    , _budget(budgetBytes)
    , _stopRequested(std::move(stopRequested))
{
    // A file done before its turn waits on its thread without counting as running, so that
    // another may start meanwhile: twice the threads keep the cores busy when files differ in size.
    _pool.setMaxThreadCount(2 * _threads);
    // The threads stay for the job; the pool goes with it.
    _pool.setExpiryTimeout(-1);
}

FilePool::~FilePool()
{
    _pool.waitForDone();
}

bool FilePool::tryStart(qsizetype index, qint64 bytes, std::function<void()> task)
{
    {
        QMutexLocker lock(&_mutex);
        if (_running >= _threads)
            return false;
        if (_budget >= 0 && !_held.empty() && _bytesHeld + bytes > _budget)
            return false;
        ++_running;
        _bytesHeld += bytes;
        _held[index] = bytes;
    }
    _pool.start([this, index, task = std::move(task)] {
        task();
        QMutexLocker lock(&_mutex);
        --_running;
        ++_finishedSinceWait;
        _finished.insert(index);
        _changed.wakeAll();
    });
    return true;
}

void FilePool::take(qsizetype index, const std::function<void()> &whileWaiting)
{
    QMutexLocker lock(&_mutex);
    while (_finished.count(index) == 0) {
        if (_finishedSinceWait == 0)
            _changed.wait(&_mutex);
        _finishedSinceWait = 0;
        lock.unlock();
        whileWaiting();
        lock.relock();
    }
    _finished.erase(index);
    const auto held = _held.find(index);
    if (held != _held.end()) {
        _bytesHeld -= held->second;
        _held.erase(held);
    }
}

bool FilePool::beginTurn(qsizetype index)
{
    QMutexLocker lock(&_mutex);
    if (_stopRequested())
        return false;
    _turn = index;
    _turnChanged.wakeAll();
    return true;
}

bool FilePool::awaitTurn(qsizetype index)
{
    QMutexLocker lock(&_mutex);
    if (_turn >= index)
        return true;
    // Waiting is not work: the job may start another file in this one's place.
    --_running;
    ++_finishedSinceWait;
    _changed.wakeAll();
    for (;;) {
        if (_turn >= index || _stopRequested())
            break;
        // A stop is a flag set elsewhere, not a wake-up: look again now and then.
        _turnChanged.wait(&_mutex, QDeadlineTimer(50));
    }
    ++_running;
    return _turn >= index;
}

bool FilePool::abandoned(qsizetype index)
{
    QMutexLocker lock(&_mutex);
    return _turn < index && _stopRequested();
}

int defaultFilesAtOnce(int threadLimit)
{
    static const int fromEnvironment = [] {
        bool ok = false;
        const int files = qEnvironmentVariableIntValue("PICTOMAT_FILES_AT_ONCE", &ok);
        return ok && files > 0 ? files : 0;
    }();
    if (fromEnvironment > 0)
        return fromEnvironment;
    const int cores = qMax(1, QThread::idealThreadCount());
    return threadLimit > 0 ? qMin(cores, threadLimit) : cores;
}
