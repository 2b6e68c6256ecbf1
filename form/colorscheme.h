// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QPalette>

class QWidget;

enum class ColorScheme { Light, Dark };

// Qt 6.4 has no colour-scheme hint, so the palette decides: a window colour darker than the
// window text means a dark scheme.
ColorScheme colorSchemeOf(const QPalette &palette);
ColorScheme currentColorScheme();

// Gives the check boxes and radio buttons under `root` indicators that show in `scheme`.
void fitIndicators(QWidget *root, ColorScheme scheme);
