// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "filelist/filelistdelegate.h"

#include <QAbstractItemView>

namespace {

QSize iconBox(const QStyleOptionViewItem &option)
{
    const auto *view = qobject_cast<const QAbstractItemView *>(option.widget);
    return view ? view->iconSize() : option.decorationSize;
}

} // namespace

void FileListDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.column() != 0)
        return;
    // A row still waiting for its icon keeps the square empty, so its caption does not jump.
    option->features |= QStyleOptionViewItem::HasDecoration;
    option->decorationSize = iconBox(*option);
}

QSize FileListDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (index.column() == 0)
        size.setHeight(qMax(size.height(), iconBox(option).height() + 4));
    return size;
}
