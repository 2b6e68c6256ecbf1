// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/filesystemnames.h"

#include "common/pathcompare.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QTemporaryFile>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif
#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace {

bool existsAt(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

QString nearestExistingFolder(QString folder)
{
    folder = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    while (!QFileInfo(folder).isDir()) {
        const QString parent = QFileInfo(folder).path();
        if (parent == folder)
            break;
        folder = parent;
    }
    return folder;
}

#ifdef Q_OS_LINUX
// ext4 and f2fs folders made with `chattr +F`.
bool hasCaseFoldingAttribute(const QString &folder)
{
#ifdef FS_CASEFOLD_FL
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    const bool folding = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_CASEFOLD_FL);
    ::close(fd);
    return folding;
#else
    Q_UNUSED(folder)
    return false;
#endif
}
#endif

} // namespace

QString otherCase(const QString &name)
{
    QString turned = name;
    for (QChar &c : turned)
        c = c.isUpper() ? c.toLower() : c.toUpper();
    return turned;
}

bool FileSystemNames::ignoresCase(const QString &folder)
{
    const auto asked = folderRule.constFind(folder);
    if (asked != folderRule.constEnd())
        return *asked;
    const QString existing = nearestExistingFolder(folder);
    const auto known = folderRule.constFind(existing);
    if (known != folderRule.constEnd())
        return *known;
    const bool ignores = probeIgnoresCase(existing);
    folderRule.insert(existing, ignores);
    folderRule.insert(folder, ignores);
    return ignores;
}

// Asks the folder: a name of it spelled with other case is found, or not. Without a name to
// ask with, a probe file of our own is made and removed; without that either, the platform's
// rule holds.
bool FileSystemNames::probeIgnoresCase(const QString &folder)
{
#ifdef Q_OS_LINUX
    if (hasCaseFoldingAttribute(folder))
        return true;
#endif
    const QDir dir(folder);
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QString name = QFileInfo(it.next()).fileName();
        const QString turned = otherCase(name);
        if (turned == name)
            continue;
        if (!existsAt(dir.filePath(turned)))
            return false;
        // Found, but listed too: two files the folder tells apart.
        return !dir.entryList({ turned }, QDir::AllEntries | QDir::Hidden | QDir::System).contains(turned);
    }
    QTemporaryFile probe(dir.filePath(QStringLiteral(".pictomat-case-probe-XXXXXX")));
    if (probe.open()) {
        const QString name = QFileInfo(probe.fileName()).fileName();
        return existsAt(dir.filePath(otherCase(name)));
    }
    return pathCaseSensitivity() == Qt::CaseInsensitive;
}

QString FileSystemNames::storedName(const QString &folder, const QString &name)
{
    auto listing = entries.find(folder);
    if (listing == entries.end()) {
        QHash<QString, QString> names;
        QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        while (it.hasNext()) {
            const QString stored = QFileInfo(it.next()).fileName();
            names.insert(stored.toCaseFolded(), stored);
        }
        listing = entries.insert(folder, names);
    }
    return listing->value(name.toCaseFolded(), name);
}

FileSystemNames::Spelled FileSystemNames::spelledFolder(const QString &folder)
{
    const auto known = folders.constFind(folder);
    if (known != folders.constEnd())
        return *known;
    Spelled spelled { folder, QFileInfo(folder).isDir() };
    const QString parent = QFileInfo(folder).path();
    if (parent != folder) {
        const Spelled above = spelledFolder(parent);
        QString name = QFileInfo(folder).fileName();
        if (above.exists && ignoresCase(above.path))
            name = storedName(above.path, name);
        spelled.path = QDir(above.path).filePath(name);
        spelled.exists = above.exists && QFileInfo(spelled.path).isDir();
    }
    folders.insert(folder, spelled);
    return spelled;
}

QString FileSystemNames::storedSpelling(const QString &path)
{
    const QString absolute = QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(path)).absoluteFilePath());
    const QString parent = QFileInfo(absolute).path();
    if (parent == absolute)
        return normalPath(absolute);
    const Spelled folder = spelledFolder(parent);
    QString name = QFileInfo(absolute).fileName();
    if (folder.exists && ignoresCase(folder.path))
        name = storedName(folder.path, name);
    return normalPath(QDir(folder.path).filePath(name));
}

QString FileSystemNames::key(const QString &path)
{
    const QString spelled = QDir::fromNativeSeparators(storedSpelling(path));
    const QString existing = nearestExistingFolder(spelled);
    if (existing == spelled || existsAt(spelled))
        return spelled;
    if (!ignoresCase(existing))
        return spelled;
    // The part not written yet takes the folder's rule.
    const QString tail = spelled.mid(existing.size());
    return existing + tail.toCaseFolded();
}

bool FileSystemNames::sameFile(const QString &a, const QString &b)
{
#ifdef Q_OS_UNIX
    struct stat sa, sb;
    if (::stat(QFile::encodeName(a).constData(), &sa) == 0
        && ::stat(QFile::encodeName(b).constData(), &sb) == 0 && sa.st_dev == sb.st_dev
        && sa.st_ino == sb.st_ino)
        return true;
#endif
    return key(a) == key(b);
}
