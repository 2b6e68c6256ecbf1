// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QTreeView>
#include <QUrl>

class FileListModel;

// The file list view: rows are reordered by dragging them within the view, files and folders
// dropped from outside are handed on through addURLs. It hides the Path column of any model it
// is given. Moving and removing act on a FileListModel.
class ConvertImageTreeView : public QTreeView {
    Q_OBJECT

public:
    explicit ConvertImageTreeView(QWidget *parent = nullptr);

    void setModel(QAbstractItemModel *model) override;

    // What a selection change means for the list buttons and the preview.
    struct SelectionState {
        bool hasSelection = false;
        QString filePath; // file of the first selected row; empty when none
        bool canMoveUp = false;
        bool canMoveDown = false;
    };
    SelectionState selectionState(const QItemSelection &selected) const;

    // The list buttons. Each acts on the current selection and leaves the selection the way
    // the list's user expects to continue from.
    void removeSelectedRows();
    void moveSelectedRowsUp();
    void moveSelectedRowsDown();

    // The current file: kept by the view itself from its selection (also while the form's
    // selection handler is held off), read when an internal drag enters.
    QString selectedFilePath;

Q_SIGNALS:
    void addURLs(QList<QUrl> urls);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override;

private:
    FileListModel *fileModel() const;
    QString rowFile(int row) const;
    QList<int> selectedRowNumbers() const;
    void moveDroppedRows(QDropEvent *event);
    void makeOnlyCurrent(int row);
    static const char *indicatorName(DropIndicatorPosition position);
};
