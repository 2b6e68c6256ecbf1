// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "filelist/convertimagetreeview.h"

#include "common/logging.h"
#include "filelist/filelistdelegate.h"
#include "filelist/filelistmodel.h"
#include "imaging/renderpipeline.h"

#include <QDebug>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <algorithm>

namespace {

// Whether an outside drag may land: its first URL decides, the add worker vets the others.
bool acceptableExternalDrop(const QMimeData *mimeData)
{
    if (!mimeData || !mimeData->hasUrls() || mimeData->urls().isEmpty())
        return false;
    const QString path = mimeData->urls().constFirst().toLocalFile();
    return QFileInfo(path).isDir() || isSupportedImageFile(path);
}

} // namespace

ConvertImageTreeView::ConvertImageTreeView(QWidget *parent)
    : QTreeView(parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setIconSize(QSize(64, 64));
    // Every row has the same 64-pixel square (the delegate keeps it, icon or not) and three-line
    // caption. Without uniform heights the view walks all rows above an item to place it, once
    // per arriving icon: seconds of a frozen window for a folder of thousands of images.
    setItemDelegate(new FileListDelegate(this));
    setUniformRowHeights(true);
    setAcceptDrops(true);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::InternalMove);
    setDefaultDropAction(Qt::MoveAction);
}

const char *ConvertImageTreeView::indicatorName(DropIndicatorPosition position)
{
    switch (position) {
    case QAbstractItemView::OnItem:
        return "QAbstractItemView::OnItem";
    case QAbstractItemView::AboveItem:
        return "QAbstractItemView::AboveItem";
    case QAbstractItemView::BelowItem:
        return "QAbstractItemView::BelowItem";
    case QAbstractItemView::OnViewport:
        break;
    }
    return "QAbstractItemView::OnViewport";
}

void ConvertImageTreeView::setModel(QAbstractItemModel *model)
{
    QTreeView::setModel(model);
    if (model)
        hideColumn(FileListModel::PathColumn);
}

FileListModel *ConvertImageTreeView::fileModel() const
{
    return qobject_cast<FileListModel *>(model());
}

QString ConvertImageTreeView::rowFile(int row) const
{
    return model() ? model()->index(row, FileListModel::PathColumn).data().toString() : QString();
}

QList<int> ConvertImageTreeView::selectedRowNumbers() const
{
    QList<int> rows;
    if (!selectionModel())
        return rows;
    const QModelIndexList indexes = selectionModel()->selectedRows(FileListModel::NameColumn);
    for (const QModelIndex &index : indexes)
        rows.append(index.row());
    return rows;
}

ConvertImageTreeView::SelectionState ConvertImageTreeView::selectionState(
    const QItemSelection &selected) const
{
    SelectionState state;
    if (selected.isEmpty() || !selectionModel() || !model())
        return state;
    state.hasSelection = true;
    const QModelIndexList indexes = selectionModel()->selectedIndexes();
    if (indexes.isEmpty())
        return state;
    state.filePath = rowFile(indexes.constFirst().row());
    // Up and Down are offered only when no selected row sits at that edge, so that a row at
    // the edge is never pushed past it.
    const QList<int> rows = selectedRowNumbers();
    const int lastRow = model()->rowCount() - 1;
    state.canMoveUp = std::none_of(rows.cbegin(), rows.cend(), [](int row) { return row == 0; });
    state.canMoveDown
        = std::none_of(rows.cbegin(), rows.cend(), [lastRow](int row) { return row == lastRow; });
    return state;
}

void ConvertImageTreeView::selectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    QTreeView::selectionChanged(selected, deselected);
    if (!selectionModel())
        return;
    const QModelIndexList indexes = selectionModel()->selectedIndexes();
    selectedFilePath = indexes.isEmpty() ? QString() : rowFile(indexes.constFirst().row());
}

void ConvertImageTreeView::removeSelectedRows()
{
    QAbstractItemModel *listModel = model();
    if (!listModel || !selectionModel())
        return;
    const QModelIndexList indexes = selectionModel()->selectedIndexes();
    if (indexes.isEmpty())
        return;
    // Distinct rows, highest first, so that removing one leaves the others' numbers intact.
    QList<int> deleteList;
    for (const QModelIndex &index : indexes) {
        const int row = index.row();
        if (!deleteList.contains(row))
            deleteList.insert(
                std::upper_bound(deleteList.begin(), deleteList.end(), row, std::greater<int>()), row);
    }
    qDebug().noquote() << "modelIndex.count(): " + QString::number(indexes.count());
    for (const int row : std::as_const(deleteList)) {
        qDebug().noquote() << "deleteList: " + QString::number(row);
        const int countBefore = listModel->rowCount();
        listModel->removeRow(row);
        int next = row;
        if (row == countBefore - 1 && countBefore > 1)
            next = row - 1;
        const QModelIndex nextIndex = listModel->index(next, FileListModel::NameColumn);
        if (nextIndex.isValid())
            selectionModel()->setCurrentIndex(nextIndex,
                QItemSelectionModel::Select | QItemSelectionModel::Current | QItemSelectionModel::Rows);
    }
    qDebug().noquote() << "sourceModel.children().count(): " + QString::number(listModel->rowCount());
}

// Selects just that row whatever keys are held (setCurrentIndex would toggle with Ctrl down).
void ConvertImageTreeView::makeOnlyCurrent(int row)
{
    selectionModel()->setCurrentIndex(model()->index(row, FileListModel::NameColumn),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ConvertImageTreeView::moveSelectedRowsUp()
{
    FileListModel *list = fileModel();
    QList<int> rows = selectedRowNumbers();
    if (!list || rows.isEmpty())
        return;
    // Topmost first: each row then steps over an unselected row. A row at the top, or right
    // below a selected row that could not move, stays where it is.
    std::sort(rows.begin(), rows.end());
    int top = list->rowCount() - 1;
    int blocked = -1;
    for (const int row : std::as_const(rows)) {
        top = std::min(top, row);
        if (row - 1 <= blocked) {
            blocked = row;
            continue;
        }
        list->moveFileRow(row, row - 1);
    }
    makeOnlyCurrent(std::max(top - 1, 0));
}

void ConvertImageTreeView::moveSelectedRowsDown()
{
    FileListModel *list = fileModel();
    QList<int> rows = selectedRowNumbers();
    if (!list || rows.isEmpty())
        return;
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    int top = list->rowCount() - 1;
    int blocked = list->rowCount();
    for (const int row : std::as_const(rows)) {
        top = std::min(top, row);
        if (row + 1 >= blocked) {
            blocked = row;
            continue;
        }
        list->moveFileRow(row, row + 1);
    }
    makeOnlyCurrent(top + 1 < list->rowCount() ? top + 1 : list->rowCount() - 1);
}

void ConvertImageTreeView::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->source() == this) {
        qDebug() << "event->source(): self";
        qDebug().noquote() << "url: " + selectedFilePath;
        QTreeView::dragEnterEvent(event);
        event->setAccepted(isSupportedImageFile(selectedFilePath));
        return;
    }
    if (acceptableExternalDrop(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void ConvertImageTreeView::dragMoveEvent(QDragMoveEvent *event)
{
    setDropIndicatorShown(true);
    event->accept();
    QTreeView::dragMoveEvent(event);
}

void ConvertImageTreeView::dropEvent(QDropEvent *event)
{
    if (event->source() != this) {
        Q_EMIT addURLs(event->mimeData()->urls());
        event->acceptProposedAction();
        return;
    }
    const DropIndicatorPosition position = dropIndicatorPosition();
    qDebug().noquote() << indicatorName(position);
    if (position == AboveItem || position == BelowItem) {
        setDropIndicatorShown(false);
        moveDroppedRows(event);
    } else {
        // Onto a row would nest rows; below the last row is no place in the order.
        event->ignore();
    }
    setState(NoState);
    viewport()->update();
}

// The rows are moved here, items and all, so the list stays flat and every row keeps its icon.
// The drop is accepted with no action: the drag then has nothing left to remove at its source.
void ConvertImageTreeView::moveDroppedRows(QDropEvent *event)
{
    FileListModel *list = fileModel();
    const QModelIndex target = indexAt(event->position().toPoint());
    const QList<int> rows = selectedRowNumbers();
    if (!list || !target.isValid() || rows.isEmpty()) {
        event->ignore();
        return;
    }
    const int destination = target.row() + (dropIndicatorPosition() == BelowItem ? 1 : 0);
    const int first = list->moveFileRows(rows, destination);
    QItemSelection moved(list->index(first, FileListModel::NameColumn),
        list->index(first + rows.size() - 1, FileListModel::NameColumn));
    selectionModel()->setCurrentIndex(
        list->index(first, FileListModel::NameColumn), QItemSelectionModel::NoUpdate);
    selectionModel()->select(moved, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
}
