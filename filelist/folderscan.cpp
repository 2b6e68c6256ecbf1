// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "filelist/folderscan.h"

#include "common/pathcompare.h"
#include "common/undecodablenames.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace {

// The run of digits or of other characters that starts at `from`.
QStringView chunkAt(const QString &name, qsizetype from)
{
    const bool digits = name.at(from).isDigit();
    qsizetype end = from;
    while (end < name.size() && name.at(end).isDigit() == digits)
        ++end;
    return QStringView(name).mid(from, end - from);
}

QStringView withoutLeadingZeros(QStringView digits)
{
    qsizetype zeros = 0;
    while (zeros + 1 < digits.size() && digits.at(zeros) == u'0')
        ++zeros;
    return digits.mid(zeros);
}

// Natural order: runs of digits compare by their value (IMG_2 before IMG_10), the rest ignoring
// case; names equal so far keep a fixed order. Done by hand, since the system collation does not
// count in the C locale.
bool naturallyBefore(const QString &a, const QString &b)
{
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const QStringView x = chunkAt(a, i), y = chunkAt(b, j);
        int order = 0;
        if (x.front().isDigit() && y.front().isDigit()) {
            const QStringView u = withoutLeadingZeros(x), v = withoutLeadingZeros(y);
            order = u.size() != v.size() ? (u.size() < v.size() ? -1 : 1) : u.compare(v);
        } else {
            order = x.compare(y, Qt::CaseInsensitive);
        }
        if (order != 0)
            return order < 0;
        i += x.size();
        j += y.size();
    }
    if ((i < a.size()) != (j < b.size()))
        return j < b.size();
    return a < b;
}

void sortNaturally(QStringList *names)
{
    std::sort(names->begin(), names->end(), naturallyBefore);
}

} // namespace

FolderScan::FolderScan(const QString &folder, const std::atomic<bool> *stop, bool subfolders)
    : stop(stop)
    , subfolders(subfolders)
{
    enter(folder);
}

FolderScan::~FolderScan() = default;

void FolderScan::skipFolder(const QString &folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (!canonical.isEmpty())
        skipped.insert(canonical);
}

void FolderScan::enter(const QString &folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty() || visited.contains(canonical))
        return;
    visited.insert(canonical);
    const QDir dir(folder);
    Folder listed;
    listed.files = dir.entryList({ QStringLiteral("*.*") }, QDir::Files);
    // AllDirs keeps the name filter off folder names: a folder named "2024" is still walked.
    if (subfolders)
        listed.folders = dir.entryList(QDir::AllDirs | QDir::NoDotAndDotDot);
    sortNaturally(&listed.files);
    sortNaturally(&listed.folders);
    for (QString &name : listed.files)
        name = dir.filePath(name);
    for (QString &name : listed.folders)
        name = dir.filePath(name);
    stack.push_back(std::move(listed));
    for (const QString &path : undecodableNames(folder))
        unreachable.append(QDir::toNativeSeparators(path));
}

bool FolderScan::next(QString *path)
{
    while (!stack.empty()) {
        if (stop && stop->load())
            return false;
        Folder &top = stack.back();
        if (top.nextFile < top.files.size()) {
            *path = normalPath(top.files.at(top.nextFile++));
            return true;
        }
        if (top.nextFolder < top.folders.size()) {
            // enter() may grow the stack, so the reference is not used after it.
            const QString folder = top.folders.at(top.nextFolder++);
            if (!skipped.contains(QFileInfo(folder).canonicalFilePath()))
                enter(folder);
            continue;
        }
        stack.pop_back();
    }
    return false;
}
