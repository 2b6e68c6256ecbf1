// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "filelist/addurlscontroller.h"
#include "filelist/filelistmodel.h"
#include "filelist/skippedfiles.h"
#include "form/colorscheme.h"
#include "settings/settingsstore.h"

#include <QImage>
#include <QItemSelection>
#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class CocoaCode;
class FileOptionsPanel;
class LoadPreviewImageThread;
class PreviewDialog;
class QAbstractButton;
class QHBoxLayout;
class QLabel;
struct ConversionOptions;

namespace Ui {
class ConvertImageForm;
}

// The whole content of the main window: toolbar, file list pages, option tabs and preview.
// Every option widget writes its option, stores it at once and, where the option shapes the
// image, asks for a new preview. GUI thread only.
class ConvertImageForm : public QWidget {
    Q_OBJECT

public:
    explicit ConvertImageForm(QWidget *parent = nullptr);
    ~ConvertImageForm() override;

    // Start-up: loads the stored options into the form with the change handlers held back.
    void restoreSettings();

    void loadSettings();
    void storeSetting(SettingItem item);
    void resetSettings();

    void applyOptionsToForm();
    void applyTheme();
    void setBusy(bool busy);

    // The only way to ask for a new preview of the current file.
    void loadImage(const QString &path, bool reload);

    // Puts a conversion's progress page in place of the file list and hides the option areas
    // until the page reports the end of the conversion.
    void showConversionPage(QWidget *page);

    // The window is closing: stop listening to a preview or conversion and ask it to stop.
    // True while a conversion still finishes its current file; closeApp() follows when it has.
    bool abandonWork();
    bool hasRunningWork() const;

    ColorScheme colorScheme() const { return scheme; }

    // Adds the row of a rule read from the store, after the rules already there.
    void restoreRuleRow(const AdjustRule &rule);

    // Adjustment rows. A row made while the form is initialised refreshes and stores the list.
    void addRuleRow(const QString &label, int ruleIndex);
    void addValueRuleRow(const QString &label, int minimum, int maximum, int ruleIndex,
        std::optional<int> value = std::nullopt);

    // Files from outside the window (the command line, a later start): added as a drop adds
    // them, or, while a conversion runs, once it has ended.
    void addFromOutside(const QList<QUrl> &urls);

    // Every listed file in row order: the sources of a conversion.
    QStringList sourceFiles() const { return sourceModel.filePaths(); }

    // The live preview's size for a form of `formSize`: 400 x 231 up to the window's first-start
    // size, then half of every pixel beyond it.
    static QSize livePreviewSize(QSize formSize);

signals:
    void showToolbarSignal(bool show);
    void closeApp();
    // The toolbar's About, Update and Website buttons: the window that hosts the form opens them.
    void aboutRequested();
    void updateCheckRequested();
    void websiteRequested();
    // A short note for the window's status area.
    void statusMessage(const QString &text);
    // A conversion has ended (its closing message follows): for a note to the desktop.
    void conversionEnded(const QString &title, const QString &summary, qint64 elapsedMs);

public slots:
    void OnShowToolbarSignal(bool show);

    void onGrayscaleAction();
    void onSepiaAction();
    void onContrastAction();
    void onContrastAction(int value);
    void onBrightnessAction();
    void onBrightnessAction(int value);
    void onGammaAction();
    void onGammaAction(int value);
    void onInvertColorsAction();
    void onInvertColorsAction(int value);
    void onGaussianBlurRadiusAction();
    void onGaussianBlurRadiusAction(int value);
    void handleStartConvertSignal();
    void handleFinishConvertSignal();
    void handleUpdatePreviewImage(QImage image);

    // Callable by name, but connected explicitly: setupUi's connect-by-name finds no object
    // named "rule" or "itemSelection" and skips them with a warning of its own (silenced in
    // the constructor).
    void on_AddURLs(const QList<QUrl> &urls);
    void on_itemSelection_changed(const QItemSelection &selected, const QItemSelection &deselected);
    // Drops every rule; neither stores nor refreshes the preview.
    void removeAllAdjustment();
    void on_rule_slider_changed(int value);
    void on_rule_spinbox_changed(int value);
    void on_rule_up_clicked(bool checked);
    void on_rule_down_clicked(bool checked);
    void on_rule_delete_clicked(bool checked);

    // Connected explicitly (the folder chooser's relay, the colour swatch, the preview label and
    // dialog, the add worker, the preview timer), and callable by name.
    void on_FolderSelected(const QString &path);
    void on_ColorUpdated(const QColor &color);
    void on_ImageFilesSelected(const QList<QString> &pathList);
    void on_PreviewImage_DoubleClick();
    // The full preview may open again however it was closed.
    void on_previewDialogClosed();
    void on_updateTimer();
    // The add worker's start and end need nothing of the form: the toolbar follows its finishes.
    void onAddUrlsThreadBegin() { }
    void onAddUrlsThreadEnd() { }
    void onAddUrlsFinish(const QString &lastPath);
    void onAddUrlsThreadDestroy();
    // An icon for row `index`, ignored when the row is gone.
    void onGetItemIconProcessFinish(
        QPixmap pixmap, QString fileName, QString path, QString sizeStr, int index);

protected:
    void resizeEvent(QResizeEvent *event) override;

private slots:
    void on_convertButton_clicked();
    void on_updateButton_clicked();
    void on_websiteButton_clicked();
    void on_aboutButton_clicked();
    void on_tabResetButton_clicked();
    void on_savePresetButton_clicked();
    void on_loadPresetButton_clicked();
    void on_addFilesButton_clicked();
    void on_addFolderButton_clicked();
    void on_removeButton_clicked();
    void on_clearButton_clicked();
    void on_upButton_clicked();
    void on_downButton_clicked();

    // Output tab (outputtab.cpp; its two choosers are in convertcommand.cpp).
    void on_targetComboBox_currentIndexChanged(int index);
    void on_qualitySpinBox_valueChanged(int value);
    void on_outputFolderLineEdit_textChanged(const QString &text);
    void on_outputFolderButton_clicked();
    void on_pdfFilenameLineEdit_textChanged(const QString &text);
    void on_pdfFilenameButton_clicked();
    void on_pdfPaperSizeComboBox_currentIndexChanged(int index);
    void on_pdfQualityComboBox_currentIndexChanged(int index);
    void on_pdfPageOrientationPortraitButton_clicked();
    void on_pdfPageOrientationLanscapeButton_clicked();
    void on_pdfNoMarginButton_clicked();
    void on_pdfAddMarginButton_clicked();
    void on_pdfMarginSizeSpinBox_valueChanged(int value);
    void on_pdfResizeImageToPaperCheckBox_clicked();
    void on_pdfSmoothEdgesCheckBox_clicked();
    void on_keepMetadataCheckBox_clicked();
    void on_removeLocationCheckBox_clicked();

    // Scaling tab (scalingtab.cpp).
    void on_scaleImageCheckBox_clicked();
    void on_percentageRadioButton_toggled(bool checked);
    void on_absoluteRadioButton_toggled(bool checked);
    void on_relativeRadioButton_toggled(bool checked);
    void on_percentageSpinBox_valueChanged(int value);
    void on_absoluteWidthLineEdit_textChanged(const QString &text);
    void on_absoluteHeightLineEdit_textChanged(const QString &text);
    void on_relativeToComboBox_currentIndexChanged(int index);
    void on_relativeValueLineEdit_textChanged(const QString &text);
    void on_keepAspectCheckBox_clicked();
    void on_noEnlargeCheckBox_clicked();

    // Text tab (texttab.cpp).
    void on_textLineEdit_textChanged(const QString &text);
    void on_textClearButton_clicked();
    void on_fontComboBox_currentFontChanged(const QFont &font);
    void on_sizeSpinBox_valueChanged(int value);
    void on_colorButton_clicked();
    void on_positionComboBox_currentIndexChanged(int index);
    void on_opacitySpinBox_valueChanged(int value);
    void on_marginSpinBox_valueChanged(int value);

    // Picture tab (picturetab.cpp).
    void on_imageSelectButton_clicked();
    void on_imageClearButton_clicked();
    void on_imageSizeSpinBox_valueChanged(int value);
    void on_imagePositionComboBox_currentIndexChanged(int index);
    void on_imageOpacitySpinBox_valueChanged(int value);
    void on_imageMarginSpinBox_valueChanged(int value);

    // QR Code tab (qrcodetab.cpp).
    void on_qrCodeTextEdit_textChanged();
    void on_qrCodeTextClearButton_clicked();
    void on_qrCodeSizeSpinBox_valueChanged(int value);
    void on_qrCodePositionComboBox_currentIndexChanged(int index);
    void on_qrCodeMarginSpinBox_valueChanged(int value);

    // Adjust tab (adjustmentruleeditor.cpp).
    void on_adjustDeleteButton_clicked();
    void on_adjustDeleteAllButton_clicked();

private:
    using OptionWrite = std::function<void(ConversionOptions &)>;

    // The change-handler rule: act only while uiReady, write the option, store its item at
    // once and, for options that shape the image, ask for a new preview.
    void changeOption(SettingItem item, bool refreshesPreview, const OptionWrite &write,
        const std::function<void()> &then = {});
    void writeAndStore(SettingItem item, const OptionWrite &write);

    void setOptionAreasVisible(bool visible);
    void setButtonIcon(
        QAbstractButton *button, const char *light, const char *dark, const char *disabled = nullptr);

    // Each tab's set-up, its part of applyOptionsToForm and its helpers, in the tab's file.
    void setUpOutputTab();
    void applyOutputOptions();
    void updateTargetWidgets(int target);
    void updateMarginSizeVisibility();
    void setPdfOrientation(int orientation);
    void setPdfMargin(int margin);
    // The encoder choices beside the quality (encodercontrols.cpp) and the file names, folders
    // and background (fileoptions.cpp).
    void setUpEncoderControls();
    void updateEncoderWidgets(int target);
    void setUpFileOptions();
    void setUpShortcuts();
    void setUpRelativeSizes();
    void applyRelativeSizes();
    void showRelativeSizeUnits();
    void applyFileOptions();
    void updateNamePreview();

    void applyScalingOptions();
    void setScaleType(int type, bool checked);
    void updateRelativeValueField();

    void setUpTextTab();
    void applyTextOptions();

    void setUpPictureTab();
    void applyPictureOptions();
    void showWatermarkThumbnail(const QString &path);

    void setUpQrCodeTab();
    void applyQrCodeOptions();

    void setUpAdjustmentEditor();
    void refreshAdjustmentIcons();
    void refreshAndStoreRules();
    void appendRuleRow(const AdjustRule &rule, QWidget *row, QHBoxLayout *layout);
    void setRuleRowIcons(QWidget *row);
    void ruleValueChanged(const QString &prefix, int value);
    QString senderRuleId(const QString &prefix) const;
    int ruleRowIndex(const QString &ruleId) const;
    void moveRule(int from, int to);
    void takeRuleRow(int index);

    void setupFileList();
    void startAddUrls(const QList<QUrl> &urls);
    void nothingAdded(bool explained);
    void setUpFileCount();
    void setupLivePreview();
    void dropPreviewsOfRemovedFiles();
    // Tells the add worker which rows the list shows, for their icons to come first.
    void sendRowsInView();
    void updateMetadataWidgets();
    void startPreviewWorker(const QString &path, bool reload);
    void onPreviewRetryTimeout();
    void dropPreviewWorker();
    void waitForPreviewWorkers();

    // The convert command (convertcommand.cpp).
    QString pdfDocumentPath();
    QString askForPdfPath();
    void askForOutputFolderThenConvert();
    void startConversion(const QStringList &sources, const QString &target, const QString &extension);

    std::unique_ptr<Ui::ConvertImageForm> ui;
    FileListModel sourceModel;
    AddUrlsController addUrls { &sourceModel };
    std::unique_ptr<CocoaCode> cocoaCode;
    QPointer<QWidget> progressPage;
    FileOptionsPanel *fileOptions = nullptr;

    bool uiReady = false;
    bool previewBusy = false;
    bool closePending = false;
    bool conversionStarting = false;
    bool hasSelection = false;
    bool canMoveUp = false;
    bool canMoveDown = false;
    bool convertAfterFolderChoice = false;
    QString currentSelectedFile;
    QString selectedBeforeAdd;
    QList<QUrl> waitingForConversion;
    SkippedFiles skippedInAdd;
    QLabel *fileCountLabel = nullptr;
    QString pendingPreviewPath;
    bool pendingPreviewReload = false;
    QTimer previewDelayTimer;
    int updateDelayIndex = 0;
    QTimer previewRetryTimer;
    QString retryPreviewPath;
    bool retryPreviewReload = false;
    QPointer<LoadPreviewImageThread> previewWorker;
    QString previewWorkerPath;
    // The file whose picture the preview label shows; empty while it shows a text.
    QString shownPreviewPath;
    // Superseded workers may still be rendering; the form waits for them before it goes.
    QList<QPointer<LoadPreviewImageThread>> cancelledPreviewWorkers;
    QPointer<PreviewDialog> previewDialog;
    bool previewDialogOpen = false;
    ColorScheme scheme = ColorScheme::Light;
    int nextRuleId = 0;
    QList<QWidget *> ruleRowWidgets;
};
