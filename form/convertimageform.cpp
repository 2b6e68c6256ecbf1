// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "form/convertimageform.h"

#include "common/cocoacode.h"
#include "convert/conversionoptions.h"
#include "convert/convertimagesthread.h"
#include "convert/convertprogressform.h"
#include "form/compacttabstyle.h"
#include "form/optioncolumnwidth.h"
#include "ui_convertimageform.h"

#include <QLineEdit>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleFactory>
#include <QTabBar>

namespace {

QString resourceImage(const char *name)
{
    return QStringLiteral(":/resources/images/") + QLatin1String(name);
}

QLoggingCategory::CategoryFilter previousLogFilter = nullptr;

void quietConnectByName(QLoggingCategory *category)
{
    if (previousLogFilter)
        previousLogFilter(category);
    if (qstrcmp(category->categoryName(), "qt.core.qmetaobject.connectslotsbyname") == 0)
        category->setEnabled(QtWarningMsg, false);
}

// The slots connected explicitly have names that connect-by-name reads as object and signal;
// it warns about each on every form made. GUI thread only.
template <typename Setup> void withoutConnectByNameWarnings(Setup setup)
{
    previousLogFilter = QLoggingCategory::installFilter(quietConnectByName);
    setup();
    QLoggingCategory::installFilter(previousLogFilter);
}

} // namespace

ConvertImageForm::ConvertImageForm(QWidget *parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::ConvertImageForm>())
    , cocoaCode(std::make_unique<CocoaCode>())
{
    withoutConnectByNameWarnings([this] { ui->setupUi(this); });

    setupFileList();
    setupLivePreview();
    setUpOutputTab();
    setUpTextTab();
    setUpPictureTab();
    setUpQrCodeTab();
    setUpShortcuts();
    setUpRelativeSizes();
    connect(cocoaCode.get(), &CocoaCode::folderSelected, this, &ConvertImageForm::on_FolderSelected);

    auto *tabStyle = new CompactTabStyle(QStyleFactory::create(style()->name()));
    tabStyle->setParent(ui->tabWidget->tabBar());
    ui->tabWidget->tabBar()->setStyle(tabStyle);
    ui->tabWidget->setCurrentWidget(ui->outputFolderTab);
    // A screen reader names each tab's scrolling page after its tab, and the font field inside
    // the editable font list after its caption.
    for (int i = 0; i < ui->tabWidget->count(); ++i) {
        const auto areas = ui->tabWidget->widget(i)->findChildren<QScrollArea *>(Qt::FindDirectChildrenOnly);
        for (QScrollArea *area : areas)
            area->setAccessibleName(ui->tabWidget->tabText(i).remove(QLatin1Char('&')));
    }
    ui->fontComboBox->lineEdit()->setAccessibleName(tr("Font"));
    ui->sourceStackedWidget->setCurrentWidget(ui->sourceFrame);

    setUpAdjustmentEditor();
    new OptionColumnWidth(ui->tabWidget, ui->tabWidget->minimumWidth());

    applyTheme();
    uiReady = true;
}

ConvertImageForm::~ConvertImageForm()
{
    // Hiding the children while QWidget's destructor runs moves the list's scroll bar, whose
    // signal would reach this half-destroyed form.
    ui->sourceTreeView->verticalScrollBar()->disconnect(this);
    addUrls.stopAndWait();
    waitForPreviewWorkers();
}

void ConvertImageForm::restoreSettings()
{
    uiReady = false;
    ui->adjustDeleteButton->setChecked(true);
    loadSettings();
    uiReady = true;
}

void ConvertImageForm::loadSettings()
{
    const AdjustRuleList rules = SettingsStore::loadOptions(font());
    for (const AdjustRule &rule : rules)
        restoreRuleRow(rule);
    applyOptionsToForm();
}

void ConvertImageForm::storeSetting(SettingItem item)
{
    SettingsStore::storeSetting(item);
}

void ConvertImageForm::resetSettings()
{
    const QMessageBox::StandardButton answer = QMessageBox::question(this, tr("Reset Settings"),
        tr("Are you sure you want to reset all settings to their default values?"),
        QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;

    // The defaults are stored here rather than left to the widgets' change notifications: a
    // widget that already shows the default (or a clamped value equal to it), and the check
    // box and swatch that report only user clicks, would otherwise leave old values stored.
    SettingsStore::resetEffectOptions(font());
    applyOptionsToForm();
    removeAllAdjustment();
    loadImage(currentSelectedFile, true);
    storeSetting(SettingItem::AdjustRules);
}

// In tab order; the Output tab first, since it may correct the stored target and folder.
void ConvertImageForm::applyOptionsToForm()
{
    applyOutputOptions();
    applyScalingOptions();
    applyTextOptions();
    applyPictureOptions();
    applyQrCodeOptions();
    applyRelativeSizes();
}

void ConvertImageForm::applyTheme()
{
    scheme = currentColorScheme();
    const bool dark = scheme == ColorScheme::Dark;
    ui->previewImage->update();
    ui->tabToolbarWidget->setStyleSheet(
        dark ? QStringLiteral("background-color:#3F3F3F;") : QStringLiteral("background-color:#E2E2E2;"));
    fitIndicators(this, scheme);

    setButtonIcon(ui->convertButton, "_Convert24.png", "_ConvertWhite24.png", "_ConvertGray24.png");
    setButtonIcon(ui->addFilesButton, "_AddFile24.png", "_AddFileWhite24.png");
    setButtonIcon(ui->addFolderButton, "_AddFolder24.png", "_AddFolderWhite24.png");
    setButtonIcon(ui->removeButton, "_Delete24.png", "_DeleteWhite24.png", "_DeleteGray24.png");
    setButtonIcon(ui->clearButton, "_shortcut24.png", "_shortcutWhite24.png", "_shortcutGray24.png");
    setButtonIcon(ui->upButton, "_ArrowUp24.png", "_ArrowUpWhite24.png", "_ArrowUpGray24.png");
    setButtonIcon(ui->downButton, "_ArrowDown24.png", "_ArrowDownWhite24.png", "_ArrowDownGray24.png");
    setButtonIcon(ui->updateButton, "Update24.png", "UpdateWhite24.png");
    setButtonIcon(ui->websiteButton, "_websiteIcon24.png", "_websiteWhiteIcon24.png");
    setButtonIcon(ui->aboutButton, "_About24.png", "_AboutWhite24.png");
    setButtonIcon(ui->adjustAddButton, "_AddIcon24.png", "_AddWhiteIcon24.png");
    setButtonIcon(
        ui->adjustDeleteButton, "_SettingsIcon24.png", "_SettingsWhiteIcon24.png", "_SettingsGrayIcon24.png");
    setButtonIcon(ui->adjustDeleteAllButton, "_Reset24.png", "_ResetWhite24.png");
    setButtonIcon(ui->tabResetButton, "_Reset24.png", "_ResetWhite24.png");
    setButtonIcon(ui->outputFolderButton, "_folder16.png", "_folderWhite16.png");
    setButtonIcon(ui->pdfFilenameButton, "_folder16.png", "_folderWhite16.png");
    setButtonIcon(ui->pdfPageOrientationPortraitButton, "Portrait.png", "PortraitWhite.png");
    setButtonIcon(ui->pdfPageOrientationLanscapeButton, "Landscape.png", "LandscapeWhite.png");
    setButtonIcon(ui->pdfNoMarginButton, "Image.png", "ImageWhite.png");
    setButtonIcon(ui->pdfAddMarginButton, "ImageBorder.png", "ImageBorderWhite.png");
    ui->label_2->setPixmap(QPixmap(resourceImage(dark ? "_DropLogoWhite.png" : "_DropLogo.png")));
    refreshAdjustmentIcons();
}

// The disabled variant goes into the icon's disabled mode, so it shows whenever the button is
// disabled, whatever the scheme.
void ConvertImageForm::setButtonIcon(
    QAbstractButton *button, const char *light, const char *dark, const char *disabled)
{
    QIcon icon;
    icon.addFile(resourceImage(scheme == ColorScheme::Dark ? dark : light), QSize(), QIcon::Normal);
    if (disabled)
        icon.addFile(resourceImage(disabled), QSize(), QIcon::Disabled);
    button->setIcon(icon);
}

void ConvertImageForm::setBusy(bool busy)
{
    ui->addFilesButton->setEnabled(!busy);
    ui->addFolderButton->setEnabled(!busy);
    const bool selected = !busy && hasSelection;
    ui->removeButton->setEnabled(selected);
    ui->upButton->setEnabled(selected && canMoveUp);
    ui->downButton->setEnabled(selected && canMoveDown);
    ui->clearButton->setEnabled(!busy);
    ui->targetComboBox->setEnabled(!busy);
    ui->convertButton->setEnabled(!busy);
    ui->sourceTreeView->setEnabled(!busy);
    ui->sourceFrame->setEnabled(!busy);
    applyTheme();
}

void ConvertImageForm::showConversionPage(QWidget *page)
{
    conversionStarting = true;
    progressPage = page;
    ui->sourceStackedWidget->addWidget(page);
    ui->sourceStackedWidget->setCurrentWidget(page);
    setOptionAreasVisible(false);
}

void ConvertImageForm::setOptionAreasVisible(bool visible)
{
    ui->toolbarWidget->setVisible(visible);
    ui->tabToolbarWidget->setVisible(visible);
    ui->tabWidget->setVisible(visible);
    ui->previewImage->setVisible(visible);
}

void ConvertImageForm::OnShowToolbarSignal(bool show)
{
    emit showToolbarSignal(show);
}

void ConvertImageForm::handleStartConvertSignal()
{
    conversionStarting = false;
    if (closePending) {
        emit closeApp();
        close();
    }
    setBusy(true);
}

void ConvertImageForm::handleFinishConvertSignal()
{
    conversionStarting = false;
    if (closePending) {
        emit closeApp();
        close();
    }
    setBusy(false);
    setOptionAreasVisible(true);
    ui->sourceStackedWidget->setCurrentWidget(ui->sourceTreeView);
    if (!waitingForConversion.isEmpty() && !closePending)
        startAddUrls(std::exchange(waitingForConversion, {}));
}

bool ConvertImageForm::abandonWork()
{
    closePending = true;
    dropPreviewWorker();
    addUrls.stopAndWait();
    if (!progressPage)
        return false;
    disconnect(progressPage, nullptr, this, nullptr);
    // The page's Cancel without its closing message: the job stops after the file it is writing.
    QMetaObject::invokeMethod(progressPage, "abandon");
    auto *page = qobject_cast<ConvertProgressForm *>(progressPage.data());
    ConvertImagesThread *job = page ? page->worker() : nullptr;
    if (!job)
        return false;
    // The window stays painted while that file is finished, and is closed again once it is.
    connect(job, &QThread::finished, this, &ConvertImageForm::closeApp, Qt::UniqueConnection);
    return !job->isFinished();
}

bool ConvertImageForm::hasRunningWork() const
{
    return previewBusy || addUrls.addUrlsRunning() || !progressPage.isNull();
}

void ConvertImageForm::changeOption(
    SettingItem item, bool refreshesPreview, const OptionWrite &write, const std::function<void()> &then)
{
    if (!uiReady)
        return;
    uiReady = false;
    updateOptions(write);
    storeSetting(item);
    if (then)
        then();
    // The first file's name depends on most options (folder, pattern, target, numbering, size).
    if (fileOptions)
        updateNamePreview();
    if (refreshesPreview)
        loadImage(currentSelectedFile, true);
    uiReady = true;
}

void ConvertImageForm::writeAndStore(SettingItem item, const OptionWrite &write)
{
    updateOptions(write);
    storeSetting(item);
}

// The window opens these: the dialogs and the browser are the program's, not the form's.
void ConvertImageForm::on_updateButton_clicked()
{
    emit updateCheckRequested();
}

void ConvertImageForm::on_websiteButton_clicked()
{
    emit websiteRequested();
}

void ConvertImageForm::on_aboutButton_clicked()
{
    emit aboutRequested();
}

void ConvertImageForm::on_tabResetButton_clicked()
{
    resetSettings();
}
