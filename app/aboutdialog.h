// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class AboutDialog;
}

// Product name, version and the maker's web site. Close deletes the dialog; Escape only hides it.
class AboutDialog : public QDialog {
    Q_OBJECT

public:
    explicit AboutDialog(QWidget *parent);
    ~AboutDialog() override;

private slots:
    void on_closeButton_clicked();

private:
    std::unique_ptr<Ui::AboutDialog> ui;
};
