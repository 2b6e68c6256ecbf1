#pragma once

#include <QList>
#include <QVariant>
#include <array>

// One adjustment step of the ordered rule list. Slot 0 of `values` holds the rule's value;
// slots 1 to 4 are reserved and always empty.
struct AdjustRule
{
    enum Kind { Grayscale = 0, Sepia, Contrast, Brightness, Gamma, InvertColors, GaussianBlur };

    int ruleId = 0;
    int ruleIndex = 0;
    std::array<QVariant, 5> values;

    int value() const { return values[0].toInt(); }
};

using AdjustRuleList = QList<AdjustRule>;
