// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The keyboard: Delete, Ctrl+A and Ctrl+Up/Down act on the file list where it has the focus;
// Ctrl+O, Ctrl+Shift+O, Ctrl+Return and F1 work anywhere in the window. Each acts only where its button
// would, so nothing happens while a conversion hides the toolbar or the list is empty.

#include "form/convertimageform.h"
#include "ui_convertimageform.h"

#include <QAbstractButton>
#include <QShortcut>

namespace {

void clickWhenUsable(QAbstractButton *button)
{
    if (button->isEnabled() && button->isVisible())
        button->click();
}

} // namespace

void ConvertImageForm::setUpShortcuts()
{
    const auto onList = [this](const QKeySequence &keys, const std::function<void()> &action) {
        for (QWidget *list :
            { static_cast<QWidget *>(ui->sourceTreeView), static_cast<QWidget *>(ui->sourceFrame) }) {
            auto *shortcut = new QShortcut(keys, list, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
            connect(shortcut, &QShortcut::activated, this, action);
        }
    };
    const auto anywhere = [this](const QKeySequence &keys, QAbstractButton *button) {
        auto *shortcut = new QShortcut(keys, this, nullptr, nullptr, Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, button, [button] { clickWhenUsable(button); });
    };

    onList(QKeySequence::Delete, [this] { clickWhenUsable(ui->removeButton); });
    onList(QKeySequence::SelectAll, [this] {
        if (ui->sourceTreeView->isVisible())
            ui->sourceTreeView->selectAll();
    });
    onList(QKeySequence(Qt::CTRL | Qt::Key_Up), [this] { clickWhenUsable(ui->upButton); });
    onList(QKeySequence(Qt::CTRL | Qt::Key_Down), [this] { clickWhenUsable(ui->downButton); });
    anywhere(QKeySequence::Open, ui->addFilesButton);
    anywhere(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O), ui->addFolderButton);
    anywhere(QKeySequence(Qt::CTRL | Qt::Key_Return), ui->convertButton);
    anywhere(QKeySequence(Qt::CTRL | Qt::Key_Enter), ui->convertButton);
    anywhere(QKeySequence(Qt::Key_F1), ui->aboutButton);
}
