// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/rulekinds.h"

const QList<AdjustRuleKind> &adjustRuleKinds()
{
    // Gamma takes the editor's restored maximum: a stored rule may hold 1000.
    static const QList<AdjustRuleKind> kinds = {
        { AdjustRule::Grayscale, QStringLiteral("Grayscale"), false, 0, 0 },
        { AdjustRule::Sepia, QStringLiteral("Sepia"), false, 0, 0 },
        { AdjustRule::Contrast, QStringLiteral("Contrast"), true, -255, 255 },
        { AdjustRule::Brightness, QStringLiteral("Brightness"), true, -255, 255 },
        { AdjustRule::Gamma, QStringLiteral("Gamma"), true, -100, 1000 },
        { AdjustRule::InvertColors, QStringLiteral("InvertColors"), true, 0, 255 },
        { AdjustRule::GaussianBlur, QStringLiteral("GaussianBlur"), true, 0, 50 },
    };
    return kinds;
}

const AdjustRuleKind *adjustRuleKind(int ruleIndex)
{
    for (const AdjustRuleKind &kind : adjustRuleKinds()) {
        if (kind.kind == ruleIndex)
            return &kind;
    }
    return nullptr;
}

bool adjustRuleInRange(const AdjustRule &rule)
{
    const AdjustRuleKind *kind = adjustRuleKind(rule.ruleIndex);
    if (!kind)
        return false;
    return !kind->hasValue || (rule.value() >= kind->minimum && rule.value() <= kind->maximum);
}
