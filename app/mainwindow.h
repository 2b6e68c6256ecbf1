// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QIcon>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>

class ConvertImageForm;
class JobNotifier;
class QStackedLayout;
class RemoveThumbnailsDialog;

namespace Ui {
class MainWindow;
}

// The one window of the program: hosts the main form, keeps its own position and size between
// runs and holds the first close back until the cached thumbnails are removed.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    ConvertImageForm *form() const { return convertForm; }
    JobNotifier *jobNotifier() const { return notifier; }

    // The program's icon: the installed theme's when there is one, else the compiled-in set.
    static QIcon programIcon();

    // Files and folders from the command line or a later start: added as a drop adds them, and
    // the window comes to the front.
    void openPaths(const QStringList &paths);

public slots:
    void OnCloseApp();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    static constexpr int StatusMessageMs = 5000;
    Ui::MainWindow *ui;
    QStackedLayout *stackedLayout = nullptr;
    ConvertImageForm *convertForm = nullptr;
    QPointer<RemoveThumbnailsDialog> cleanupDialog;
    JobNotifier *notifier = nullptr;
};
