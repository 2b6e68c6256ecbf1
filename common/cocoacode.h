// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QWidget>

// Never shown: it only carries the folder chooser's answer back to the form.
class CocoaCode : public QWidget {
    Q_OBJECT

public:
    explicit CocoaCode(QWidget *parent = nullptr);

signals:
    void folderSelected(const QString &path);
};
