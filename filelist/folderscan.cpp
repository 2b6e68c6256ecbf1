#include "filelist/folderscan.h"

#include "common/pathcompare.h"
#include "common/undecodablenames.h"

#include <QDirIterator>
#include <QFileInfo>

FolderScan::FolderScan(const QString &folder, const std::atomic<bool> *stop)
    : stop(stop)
{
    enter(folder);
}

FolderScan::~FolderScan() = default;

void FolderScan::enter(const QString &folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty() || visited.contains(canonical))
        return;
    visited.insert(canonical);
    // AllDirs keeps the name filter off folder names: a folder named "2024" is still walked.
    stack.push_back(std::make_unique<QDirIterator>(
        folder, QStringList { QStringLiteral("*.*") }, QDir::Files | QDir::AllDirs | QDir::NoDotAndDotDot));
    for (const QString &path : undecodableNames(folder))
        unreachable.append(QDir::toNativeSeparators(path));
}

bool FolderScan::next(QString *path)
{
    while (!stack.empty()) {
        if (stop && stop->load())
            return false;
        QDirIterator &it = *stack.back();
        if (!it.hasNext()) {
            stack.pop_back();
            continue;
        }
        it.next();
        const QFileInfo info = it.fileInfo();
        if (info.isDir()) {
            enter(info.filePath());
            continue;
        }
        *path = normalPath(info.filePath());
        return true;
    }
    return false;
}
