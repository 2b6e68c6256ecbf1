// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDialog>
#include <QStringList>
#include <memory>

namespace Ui {
class OverwriteFileDialog;
}

// Lists the targets a job found already existing, each with its source, and lets the user tick
// the ones to write over. Answers through exactly one of its two signals, then deletes itself.
class OverwriteFileDialog : public QDialog {
    Q_OBJECT

public:
    explicit OverwriteFileDialog(QWidget *parent = nullptr);
    ~OverwriteFileDialog() override;

    // One row per existing target, ticked unless the target is its own source (marked "replaces
    // the original"); both lists have the same length.
    void setFiles(const QStringList &fileExistsList, const QStringList &fileSourceList);

Q_SIGNALS:
    void overwriteFiles(QStringList urls);
    void convertFinish();

public Q_SLOTS:
    void on_cancelButton_clicked();
    void on_overwriteButton_clicked();
    // Ticks or unticks every row, "replaces the original" ones included: the user asks for it.
    void on_selectAllButton_clicked();
    void on_selectNoneButton_clicked();
    // Escape and the window's close control answer like Cancel.
    void reject() override;

private:
    static bool replacesOriginal(const QString &target, const QString &source);
    void finish(int result);
    void setAllChecked(Qt::CheckState state);

    std::unique_ptr<Ui::OverwriteFileDialog> ui;
    QStringList overwriteList;
    bool answered = false;
};
