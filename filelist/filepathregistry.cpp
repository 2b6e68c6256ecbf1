// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "filelist/filepathregistry.h"

bool FilePathRegistry::reserve(const QString &key)
{
    QMutexLocker locker(&mutex);
    if (listed.contains(key) || onTheirWay.contains(key))
        return false;
    onTheirWay.insert(key);
    return true;
}

bool FilePathRegistry::contains(const QString &key) const
{
    QMutexLocker locker(&mutex);
    return listed.contains(key) || onTheirWay.contains(key);
}

bool FilePathRegistry::isListed(const QString &key) const
{
    QMutexLocker locker(&mutex);
    return listed.contains(key);
}

void FilePathRegistry::addListed(const QStringList &keys)
{
    QMutexLocker locker(&mutex);
    for (const QString &key : keys)
        ++listed[key];
}

void FilePathRegistry::removeListed(const QStringList &keys)
{
    QMutexLocker locker(&mutex);
    for (const QString &key : keys) {
        const auto it = listed.find(key);
        if (it == listed.end())
            continue;
        if (--it.value() <= 0)
            listed.erase(it);
    }
}

void FilePathRegistry::setListed(const QStringList &keys)
{
    QMutexLocker locker(&mutex);
    listed.clear();
    for (const QString &key : keys)
        ++listed[key];
}

void FilePathRegistry::release(const QStringList &keys)
{
    QMutexLocker locker(&mutex);
    for (const QString &key : keys)
        onTheirWay.remove(key);
}

void FilePathRegistry::releaseAll()
{
    QMutexLocker locker(&mutex);
    onTheirWay.clear();
}
