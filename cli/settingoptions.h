// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "convert/conversionoptions.h"

#include <QList>
#include <QString>
#include <functional>

// One option of the command line that sets conversion options, named after what the window
// calls the setting.
struct SettingOption {
    QString name; // without the leading "--"
    QString valueName;
    QString help;
    QString defaultAndRange; // shown by --help and the man page
    // Applies a value; returns empty when it was accepted, otherwise the values the option allows.
    std::function<QString(ConversionOptions &, const QString &)> apply;
};

// In the order they are applied, which is the order of the window's tabs.
const QList<SettingOption> &settingOptions();
