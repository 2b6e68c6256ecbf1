// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "imaging/adjustrule.h"

#include <QList>
#include <QString>

// The adjustment kinds as the rule editor offers them: a name for the command line and presets,
// and the value range of the editor's slider for the kinds that carry a value.
struct AdjustRuleKind {
    AdjustRule::Kind kind;
    QString name;
    bool hasValue;
    int minimum;
    int maximum;
};

const QList<AdjustRuleKind> &adjustRuleKinds();

// The kind of a rule index, null for an index outside the list.
const AdjustRuleKind *adjustRuleKind(int ruleIndex);

// Whether a rule's value lies in its kind's range (always, for kinds without a value).
bool adjustRuleInRange(const AdjustRule &rule);
