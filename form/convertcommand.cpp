// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The convert command of the main form: finds a usable output location, asking where needed,
// turns the file list and the target into a job and hands it to a progress page.

#include "form/convertimageform.h"

#include "common/cocoacode.h"
#include "common/lkglobal.h"
#include "convert/conversionoptions.h"
#include "convert/convertprogressform.h"
#include "convert/outputformats.h"
#include "convert/rawpairs.h"
#include "imaging/scaling.h"
#include "ui_convertimageform.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>
#include <utility>

namespace {

bool somethingExistsAt(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// The user's word before an existing document is replaced; Escape and the close control say No.
bool confirmOverwrite(const QString &path)
{
    QMessageBox box;
    box.setWindowTitle(LKGlobal::productName());
    box.setText(QObject::tr("Confirm overwrite"));
    box.setInformativeText(QObject::tr("Are you sure you want to overwrite ") + path + QStringLiteral("?"));
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

// The save prompt for the PDF document. A name typed without ".pdf" gets it before the dialog
// checks for an existing file, so the overwrite question names the file that will be written.
QString askForPdfFile(QWidget *parent, const QString &start)
{
    QFileDialog dialog(
        parent, ConvertImageForm::tr("Save to PDF File"), start, ConvertImageForm::tr("PDF files (*.pdf)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

enum class MissingFolderAnswer { Create, ChooseAnother, Cancel };

// A typed output folder that is not there yet: made on the user's word, or another one chosen.
MissingFolderAnswer askAboutMissingFolder(const QString &folder)
{
    QMessageBox box;
    box.setIcon(QMessageBox::Question);
    box.setWindowTitle(LKGlobal::productName());
    box.setText(QObject::tr("The output folder %1 does not exist.").arg(QDir::toNativeSeparators(folder)));
    box.setInformativeText(QObject::tr("Create it, or choose another folder?"));
    QPushButton *create = box.addButton(QObject::tr("Create Folder"), QMessageBox::AcceptRole);
    QPushButton *choose = box.addButton(QObject::tr("Choose Another Folder…"), QMessageBox::ActionRole);
    box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(create);
    box.setEscapeButton(QMessageBox::Cancel);
    box.exec();
    if (box.clickedButton() == create)
        return MissingFolderAnswer::Create;
    return box.clickedButton() == choose ? MissingFolderAnswer::ChooseAnother : MissingFolderAnswer::Cancel;
}

bool createFolder(const QString &folder)
{
    if (QDir().mkpath(folder) && QFileInfo(folder).isDir())
        return true;
    QMessageBox::warning(nullptr, LKGlobal::productName(),
        QObject::tr("The folder %1 could not be created.").arg(QDir::toNativeSeparators(folder)));
    return false;
}

} // namespace

void ConvertImageForm::on_convertButton_clicked()
{
    // A size that gives no picture would fail every file: said once, before anything is made.
    const QString problem = scalingProblem(conversionOptions());
    if (!problem.isEmpty()) {
        QMessageBox::warning(this, LKGlobal::productName(), problem);
        return;
    }
    const int target = ui->targetComboBox->currentIndex();
    QString targetFolder;
    if (target == PdfTargetPosition) {
        targetFolder = pdfDocumentPath();
        if (targetFolder.isEmpty())
            return;
    } else {
        const QString folder = conversionOptions().outputFolder;
        if (conversionOptions().saveNextToOriginal) {
            // Every file goes beside its source; no output folder is needed.
            targetFolder = folder;
        } else if (folder.size() > 1 && !somethingExistsAt(folder)) {
            const MissingFolderAnswer answer = askAboutMissingFolder(folder);
            if (answer == MissingFolderAnswer::ChooseAnother)
                askForOutputFolderThenConvert();
            if (answer != MissingFolderAnswer::Create || !createFolder(folder))
                return;
            targetFolder = folder;
        } else if (folder.size() <= 1 || !QFileInfo(folder).isDir()) {
            askForOutputFolderThenConvert();
            return;
        } else {
            targetFolder = folder;
            ui->outputFolderLineEdit->setText(folder);
        }
    }

    // The button is enabled only while the list has rows, so an empty list never gets here. A
    // combined PDF takes every listed picture; the file options are for file targets.
    QStringList sources = sourceModel.filePaths();
    if (target != PdfTargetPosition && conversionOptions().convertOnlyRawOfPairs)
        sources = RawPairs::withoutPairedJpegs(sources);
    startConversion(sources, targetFolder, targetFormatAt(target).extension);
}

// The document a PDF job writes, or empty when the command has to end here (the user cancelled,
// or the folder chooser is open and will run the command again).
QString ConvertImageForm::pdfDocumentPath()
{
    if (conversionOptions().pdfFileName.isEmpty())
        return askForPdfPath();
    // The document is written inside the output folder, never beside or above it.
    const QString name = conversionOptions().pdfFileName;
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) || name == QLatin1String(".")
        || name == QLatin1String("..")) {
        QMessageBox::warning(this, LKGlobal::productName(),
            tr("The PDF file name %1 cannot contain folders: type a name only. The document is written "
               "inside the output folder.")
                .arg(name));
        return QString();
    }
    if (conversionOptions().outputFolder.isEmpty()) {
        askForOutputFolderThenConvert();
        return QString();
    }
    if (!conversionOptions().pdfFileName.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        updateOptions([](ConversionOptions &o) { o.pdfFileName += QStringLiteral(".pdf"); });

    const QString path
        = conversionOptions().outputFolder + QLatin1Char('/') + conversionOptions().pdfFileName;
    if (!QFileInfo(QFileInfo(path).path()).isDir())
        return askForPdfPath();
    if (somethingExistsAt(path) && !confirmOverwrite(path))
        return askForPdfPath();
    return path;
}

// The save prompt of the command: the chosen document becomes the output folder and PDF file
// name, both stored. Returns the document path, empty when cancelled.
QString ConvertImageForm::askForPdfPath()
{
    const QString folder = conversionOptions().outputFolder;
    const QString start = !folder.isEmpty() && somethingExistsAt(folder)
        ? folder
        : QStandardPaths::locate(
            QStandardPaths::DocumentsLocation, QString(), QStandardPaths::LocateDirectory);
    const QString answer = askForPdfFile(nullptr, start);
    if (answer.isEmpty())
        return QString();

    const QString file = QDir::toNativeSeparators(answer);
    const QFileInfo info(file);
    updateOptions([&info](ConversionOptions &o) {
        o.outputFolder = info.path();
        o.pdfFileName = info.fileName();
    });
    // The options are written and stored here; the line edits only show them.
    const bool wasReady = std::exchange(uiReady, false);
    ui->outputFolderLineEdit->setText(info.path());
    ui->pdfFilenameLineEdit->setText(info.fileName());
    uiReady = wasReady;
    storeSetting(SettingItem::OutputFolder);
    storeSetting(SettingItem::PdfFile);
    return file;
}

void ConvertImageForm::askForOutputFolderThenConvert()
{
    convertAfterFolderChoice = true;
    LKGlobal::selectOutputFolder(cocoaCode.get());
}

void ConvertImageForm::startConversion(
    const QStringList &sources, const QString &target, const QString &extension)
{
    auto *page = new ConvertProgressForm(this);
    connect(
        page, &ConvertProgressForm::startConvertSignal, this, &ConvertImageForm::handleStartConvertSignal);
    connect(
        page, &ConvertProgressForm::finishConvertSignal, this, &ConvertImageForm::handleFinishConvertSignal);
    connect(page, &ConvertProgressForm::showToolbarSignal, this, &ConvertImageForm::OnShowToolbarSignal);
    connect(page, &ConvertProgressForm::conversionEnded, this, &ConvertImageForm::conversionEnded);
    // Shown before the job starts: the page counts as starting until it reports the start.
    showConversionPage(page);
    page->startConvert(sources, target, extension, false);
}

void ConvertImageForm::on_outputFolderButton_clicked()
{
    if (!uiReady)
        return;
    uiReady = false;
    convertAfterFolderChoice = false;
    LKGlobal::selectOutputFolder(cocoaCode.get());
    uiReady = true;
}

// The folder chooser's answer; after a command that had to ask for it, the command runs again.
void ConvertImageForm::on_FolderSelected(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return;
    updateOptions([&path](ConversionOptions &o) { o.outputFolder = path; });
    const bool wasReady = std::exchange(uiReady, false);
    ui->outputFolderLineEdit->setText(path);
    uiReady = wasReady;
    storeSetting(SettingItem::OutputFolder);
    updateNamePreview();
    if (convertAfterFolderChoice)
        on_convertButton_clicked();
}

void ConvertImageForm::on_pdfFilenameButton_clicked()
{
    if (!uiReady)
        return;
    uiReady = false;
    const QString folder = conversionOptions().outputFolder;
    const QString start
        = !folder.isEmpty() && somethingExistsAt(folder) ? folder : LKGlobal::picturesFolder();
    const QString file = QDir::toNativeSeparators(askForPdfFile(this, start));
    if (!file.isEmpty()) {
        const QFileInfo info(file);
        // Only the file item is stored; the folder follows with the next store of the output folder.
        updateOptions([&info](ConversionOptions &o) {
            o.outputFolder = info.path();
            o.pdfFileName = info.fileName();
        });
        ui->outputFolderLineEdit->setText(info.path());
        ui->pdfFilenameLineEdit->setText(info.fileName());
        storeSetting(SettingItem::PdfFile);
    }
    uiReady = true;
}
