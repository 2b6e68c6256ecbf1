// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QHash>
#include <QMutex>
#include <QSet>
#include <QString>
#include <QStringList>

// The files of the list as path keys (pathKey), shared by the list model on the GUI thread and
// the add worker on its thread. A key is "listed" while a row holds it and "on its way" from the
// moment the worker decides to add it until the row is created, so that the worker's duplicate
// test sees both. Every member takes the one lock.
class FilePathRegistry {
public:
    // Worker side: true and marks the key on its way when it is neither listed nor on its way.
    bool reserve(const QString &key);

    // Listed or on its way.
    bool contains(const QString &key) const;
    bool isListed(const QString &key) const;

    // Model side: rows holding these keys were created or removed.
    void addListed(const QStringList &keys);
    void removeListed(const QStringList &keys);
    void setListed(const QStringList &keys);

    // The rows of these keys were created, or will never be.
    void release(const QStringList &keys);
    void releaseAll();

private:
    mutable QMutex mutex;
    QHash<QString, int> listed;
    QSet<QString> onTheirWay;
};
