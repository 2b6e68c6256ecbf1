// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QColor>
#include <QWidget>
#include <memory>

struct ConversionOptions;

namespace Ui {
class FileOptionsPanel;
}

// The Output tab's choices for file targets: the name pattern with a preview of the first name,
// what to do when a target exists, the folders, and the background under transparent parts.
// Shows values and reports the user's changes; the form writes and stores them. GUI thread only.
class FileOptionsPanel : public QWidget {
    Q_OBJECT

public:
    explicit FileOptionsPanel(QWidget *parent = nullptr);
    ~FileOptionsPanel() override;

    // Shows the options without reporting them back as changes.
    void showOptions(const ConversionOptions &options);
    void setNamePreview(const QString &fileName);
    // Names and folders mean nothing to a combined PDF; the background still does.
    void setFileTarget(bool fileTarget);

signals:
    void namePatternChanged(const QString &pattern);
    void targetExistsActionChanged(int action);
    void keepFolderStructureClicked(bool checked);
    void saveNextToOriginalClicked(bool checked);
    void convertOnlyRawOfPairsClicked(bool checked);
    void backgroundChosen(const QColor &color);
    void threadLimitChanged(int threads);

private:
    void chooseBackground();

    std::unique_ptr<Ui::FileOptionsPanel> ui;
};
