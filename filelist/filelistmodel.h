// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QMultiHash>
#include <QStandardItemModel>
#include <memory>

class FilePathRegistry;

// The file list: a flat two-column model. Column 0 "File List" shows the caption and icon,
// the hidden column 1 "Path" holds the full path in normal form, the only source of a row's file.
// The model indexes its rows by path key, so that the duplicate test and the icon delivery
// are hash lookups, and keeps the registry the add worker checks against in step with its rows.
// GUI thread only.
class FileListModel : public QStandardItemModel {
    Q_OBJECT

public:
    enum Column { NameColumn = 0, PathColumn = 1 };

    explicit FileListModel(QObject *parent = nullptr);

    std::shared_ptr<FilePathRegistry> registry() const { return pathRegistry; }

    QString filePath(int row) const;
    // Every row's file, in row order: the sources of a conversion.
    QStringList filePaths() const;
    // The row holding the file (compared by path key), or -1.
    int rowOfFile(const QString &path) const;

    // Creates one row per file, in order, skipping files already listed; the files are then no
    // longer on their way in the registry. Returns the number of rows created.
    int appendFiles(const QStringList &paths);

    // Gives the row holding filePath its three-line caption and icon; false when no row holds it
    // (removed meanwhile).
    bool setFileIcon(const QString &filePath, const QImage &image, const QString &fileName,
        const QString &folder, const QString &sizeStr);

    // Moves one row; the items travel, so caption and icon go along.
    void moveFileRow(int from, int to);
    // Moves the rows (distinct, any order) to stand in ascending order before row `destination`
    // (rowCount() appends). Returns the new row of the first of them.
    int moveFileRows(QList<int> rows, int destination);

private:
    void onRowsInserted(const QModelIndex &parent, int first, int last);
    void onRowsAboutToBeRemoved(const QModelIndex &parent, int first, int last);
    void onDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight);
    void rebuildIndex();

    std::shared_ptr<FilePathRegistry> pathRegistry;
    QMultiHash<QString, QStandardItem *> pathItems;
    // Rows taken out only to be put back elsewhere stay indexed and listed.
    bool moving = false;
};
