// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "imaging/adjustrule.h"
#include "settings/settingkey.h"

#include <QFont>

// The options kept between runs: QSettings (organisation "Larkspan", application "ZirarurOvize",
// group "MainApp"), read once at start and written one item per change. GUI thread only.
namespace SettingsStore {

// Fills the live options from the store, with standardFont standing in for a missing text font.
// The rule list is left alone: the stored rules come back in list order for the caller to add.
AdjustRuleList loadOptions(const QFont &standardFont);

// Writes the keys of one item with the current values of their options.
void storeSetting(SettingItem item);

// Puts the scaling, text, image and QR code options back to their defaults and stores them; the
// target, the output folder, the PDF options and the rule list are left as they are.
void resetEffectOptions(const QFont &standardFont);

} // namespace SettingsStore
