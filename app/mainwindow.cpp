// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/mainwindow.h"

#include "app/formrequests.h"
#include "app/jobnotifier.h"
#include "app/windowgeometry.h"
#include "common/lkglobal.h"
#include "filelist/removethumbnailsdialog.h"
#include "form/convertimageform.h"
#include "ui_mainwindow.h"

#include <QCloseEvent>
#include <QScreen>
#include <QStackedLayout>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
{
    ui->setupUi(this);

    // The screen's work area stands in for the full-screen client size of the original checks.
    const QRect available = screen()->availableGeometry();
    setGeometry(
        fitWindowGeometry(readWindowGeometry(), quint32(available.width()), quint32(available.height())));

    stackedLayout = new QStackedLayout;
    convertForm = new ConvertImageForm(this);
    connect(convertForm, &ConvertImageForm::closeApp, this, &MainWindow::OnCloseApp);
    connectFormRequests(convertForm);
    notifier = new JobNotifier(this, this);
    connect(convertForm, &ConvertImageForm::conversionEnded, notifier, &JobNotifier::conversionEnded);
    // The status bar shows only while it has something to say, so the window's layout is as before.
    statusBar()->hide();
    connect(convertForm, &ConvertImageForm::statusMessage, this, [this](const QString &text) {
        statusBar()->show();
        statusBar()->showMessage(text, StatusMessageMs);
    });
    connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString &text) {
        if (text.isEmpty())
            statusBar()->hide();
    });
    convertForm->restoreSettings();
    convertForm->show();
    stackedLayout->addWidget(convertForm);
    ui->centralwidget->setLayout(stackedLayout);

    setWindowTitle(LKGlobal::productName());
    setWindowIcon(programIcon());
}

QIcon MainWindow::programIcon()
{
    QIcon builtIn;
    for (int size : { 16, 24, 32, 48, 64, 128, 256 })
        builtIn.addFile(QStringLiteral(":/resources/icons/pictomat-%1.png").arg(size), QSize(size, size));
    return QIcon::fromTheme(QStringLiteral("pictomat"), builtIn);
}

void MainWindow::openPaths(const QStringList &paths)
{
    QList<QUrl> urls;
    urls.reserve(paths.size());
    for (const QString &path : paths)
        urls.append(QUrl::fromLocalFile(path));
    convertForm->addFromOutside(urls);
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

MainWindow::~MainWindow()
{
    delete ui;
}

void MainWindow::OnCloseApp()
{
    if (cleanupDialog)
        cleanupDialog->close();
    close();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    writeWindowGeometry(geometry());

    if (convertForm->hasRunningWork() && convertForm->abandonWork()) {
        event->ignore();
        return;
    }

    if (thumbnailsCleanupPending()) {
        if (!cleanupDialog) {
            cleanupDialog = new RemoveThumbnailsDialog(this);
            connect(cleanupDialog, &RemoveThumbnailsDialog::closeApp, this, &MainWindow::OnCloseApp);
            cleanupDialog->show();
            // Started once this close has been refused: the dialog's closeApp() closes the window
            // again, which cannot happen from inside this event.
            QTimer::singleShot(0, cleanupDialog, &RemoveThumbnailsDialog::removeThumbnailFiles);
        }
        event->ignore();
        return;
    }
    event->accept();
}

void MainWindow::changeEvent(QEvent *event)
{
    // Qt 6.4 has no colour-scheme hint; a scheme switch reaches us as a theme or palette change.
    switch (event->type()) {
    case QEvent::ThemeChange:
    case QEvent::ApplicationPaletteChange:
    case QEvent::PaletteChange:
        if (convertForm)
            convertForm->applyTheme();
        break;
    default:
        break;
    }
    QMainWindow::changeEvent(event);
}
