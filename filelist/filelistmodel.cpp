// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "filelist/filelistmodel.h"

#include "common/logging.h"
#include "common/pathcompare.h"
#include "filelist/filepathregistry.h"
#include "filelist/listicon.h"

#include <QDebug>
#include <QFileInfo>
#include <QIcon>
#include <QPixmap>
#include <algorithm>

FileListModel::FileListModel(QObject *parent)
    : QStandardItemModel(parent)
    , pathRegistry(std::make_shared<FilePathRegistry>())
{
    setHorizontalHeaderLabels({ tr("File List"), tr("Path") });
    connect(this, &QAbstractItemModel::rowsInserted, this, &FileListModel::onRowsInserted);
    connect(this, &QAbstractItemModel::rowsAboutToBeRemoved, this, &FileListModel::onRowsAboutToBeRemoved);
    connect(this, &QAbstractItemModel::dataChanged, this, &FileListModel::onDataChanged);
    connect(this, &QAbstractItemModel::modelReset, this, &FileListModel::rebuildIndex);
}

QString FileListModel::filePath(int row) const
{
    const QStandardItem *pathItem = item(row, PathColumn);
    return pathItem ? pathItem->text() : QString();
}

QStringList FileListModel::filePaths() const
{
    QStringList paths;
    paths.reserve(rowCount());
    for (int row = 0; row < rowCount(); ++row)
        paths.append(filePath(row));
    return paths;
}

int FileListModel::rowOfFile(const QString &path) const
{
    const QStandardItem *pathItem = pathItems.value(pathKey(path));
    return pathItem ? pathItem->row() : -1;
}

int FileListModel::appendFiles(const QStringList &paths)
{
    QStringList keys;
    keys.reserve(paths.size());
    int created = 0;
    for (const QString &path : paths) {
        const QString normal = normalPath(path);
        const QString key = pathKey(normal);
        keys.append(key);
        if (normal.isEmpty() || pathItems.contains(key)) {
            qDebug() << "isDuplicate=true";
            continue;
        }
        appendRow({ new QStandardItem(QFileInfo(normal).fileName()), new QStandardItem(normal) });
        ++created;
    }
    // Released only now: the rows are listed, so the key is never free in between.
    pathRegistry->release(keys);
    return created;
}

bool FileListModel::setFileIcon(const QString &filePath, const QImage &image, const QString &fileName,
    const QString &folder, const QString &sizeStr)
{
    const int row = rowOfFile(filePath);
    if (row < 0)
        return false;
    // One change notification for both roles.
    setItemData(index(row, NameColumn),
        { { Qt::DisplayRole, listCaption(fileName, sizeStr, folder) },
            { Qt::DecorationRole, QIcon(QPixmap::fromImage(image)) } });
    return true;
}

void FileListModel::moveFileRow(int from, int to)
{
    if (from == to || from < 0 || from >= rowCount() || to < 0 || to >= rowCount())
        return;
    moving = true;
    insertRow(to, takeRow(from));
    moving = false;
}

int FileListModel::moveFileRows(QList<int> rows, int destination)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(
        std::remove_if(rows.begin(), rows.end(), [this](int row) { return row < 0 || row >= rowCount(); }),
        rows.end());
    destination = std::clamp(destination, 0, rowCount());
    if (rows.isEmpty())
        return -1;

    moving = true;
    QList<QList<QStandardItem *>> taken;
    for (auto it = rows.crbegin(); it != rows.crend(); ++it) {
        taken.prepend(takeRow(*it));
        if (*it < destination)
            --destination;
    }
    for (int i = 0; i < taken.size(); ++i)
        insertRow(destination + i, taken.at(i));
    moving = false;
    return destination;
}

void FileListModel::onRowsInserted(const QModelIndex &parent, int first, int last)
{
    if (moving || parent.isValid())
        return;
    QStringList keys;
    for (int row = first; row <= last; ++row) {
        QStandardItem *pathItem = item(row, PathColumn);
        if (!pathItem || pathItem->text().isEmpty())
            continue;
        const QString key = pathKey(pathItem->text());
        pathItems.insert(key, pathItem);
        keys.append(key);
    }
    pathRegistry->addListed(keys);
}

void FileListModel::onRowsAboutToBeRemoved(const QModelIndex &parent, int first, int last)
{
    if (moving || parent.isValid())
        return;
    QStringList keys;
    for (int row = first; row <= last; ++row) {
        QStandardItem *pathItem = item(row, PathColumn);
        if (!pathItem || pathItem->text().isEmpty())
            continue;
        const QString key = pathKey(pathItem->text());
        pathItems.remove(key, pathItem);
        keys.append(key);
    }
    pathRegistry->removeListed(keys);
}

// Path items are written once at row creation; anything that rewrites one later (a generic
// drop into this model, say) costs a full re-index rather than a stale one.
void FileListModel::onDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight)
{
    if (topLeft.parent().isValid() || bottomRight.column() < PathColumn)
        return;
    rebuildIndex();
}

void FileListModel::rebuildIndex()
{
    pathItems.clear();
    QStringList keys;
    for (int row = 0; row < rowCount(); ++row) {
        QStandardItem *pathItem = item(row, PathColumn);
        if (!pathItem || pathItem->text().isEmpty())
            continue;
        const QString key = pathKey(pathItem->text());
        pathItems.insert(key, pathItem);
        keys.append(key);
    }
    pathRegistry->setListed(keys);
}
