#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <atomic>
#include <memory>
#include <vector>

class QDirIterator;

// Walks a folder and all its subfolders lazily, yielding the regular, non-hidden files whose
// name contains a dot, in the order the file system lists them (a subfolder's files come right
// where the subfolder is met). Linked folders are followed, but every folder is entered once by
// its canonical path, so a link that points back up the tree cannot make the walk endless.
class FolderScan {
public:
    // `stop` (may be null) is tested between entries so that a caller can end a long walk.
    explicit FolderScan(const QString &folder, const std::atomic<bool> *stop = nullptr);
    ~FolderScan();

    // The next file in normal form (common/pathcompare.h); false when the walk is done or stopped.
    bool next(QString *path);

    // Entries of the folders entered so far whose names are not valid in the file-name encoding
    // (UTF-8), as paths with replacement characters: no Qt file name reaches them, so they are
    // not yielded, and a caller reports them instead of leaving them out without a word.
    QStringList unreachableNames() const { return unreachable; }

private:
    void enter(const QString &folder);

    std::vector<std::unique_ptr<QDirIterator>> stack;
    QSet<QString> visited;
    const std::atomic<bool> *stop;
    QStringList unreachable;
};
