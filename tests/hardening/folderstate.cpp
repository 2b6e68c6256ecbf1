// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "folderstate.h"

#include "testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

FolderState FolderState::capture(const QString &folder)
{
    FolderState state;
    const QDir root(folder);
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
        QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        const QString name = root.relativeFilePath(path);
        if (info.isSymLink())
            state._entries.insert(name, "link:" + info.symLinkTarget().toUtf8());
        else if (info.isDir())
            state._entries.insert(name, "dir");
        else
            state._entries.insert(name, TestSupport::fileDigest(path));
    }
    return state;
}

int FolderState::fileCount() const
{
    int count = 0;
    for (const QByteArray &digest : _entries)
        count += digest != "dir" && !digest.startsWith("link:") ? 1 : 0;
    return count;
}

QStringList FolderState::changedSince(const FolderState &before) const
{
    QStringList changes;
    for (auto it = before._entries.cbegin(); it != before._entries.cend(); ++it) {
        if (!_entries.contains(it.key()))
            changes.append(it.key() + QStringLiteral(": gone"));
        else if (_entries.value(it.key()) != it.value())
            changes.append(it.key() + QStringLiteral(": changed"));
    }
    return changes;
}

QStringList FolderState::addedSince(const FolderState &before) const
{
    QStringList added;
    for (auto it = _entries.cbegin(); it != _entries.cend(); ++it) {
        if (!before._entries.contains(it.key()))
            added.append(it.key());
    }
    return added;
}
