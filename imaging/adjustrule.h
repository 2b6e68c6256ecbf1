// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QVariant>
#include <array>
#include <optional>

// One adjustment step of the ordered rule list. Slot 0 of `values` holds the rule's value;
// slots 1 to 4 are reserved and always empty.
struct AdjustRule {
    enum Kind { Grayscale = 0, Sepia, Contrast, Brightness, Gamma, InvertColors, GaussianBlur };

    int ruleId = 0;
    int ruleIndex = 0;
    std::array<QVariant, 5> values;

    int value() const { return values[0].toInt(); }
};

using AdjustRuleList = QList<AdjustRule>;

// The stored text form: ruleId;ruleIndex;slot0;slot1;slot2;slot3;slot4 (3;2;50;;;; for a
// Contrast rule of row 3 with value 50).
QString adjustRuleToText(const AdjustRule &rule);

// Reads a stored text. The result carries the kind and, for kinds with a value, slot 0 as an
// integer; its ruleId is left 0 for the editor to assign. Nothing for a text without a kind
// field (fewer than two ";") or with a kind outside 0..6.
std::optional<AdjustRule> adjustRuleFromText(const QString &text);
