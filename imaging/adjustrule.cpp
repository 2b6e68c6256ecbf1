// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "imaging/adjustrule.h"
#include "common/logging.h"

#include <QDebug>

QString adjustRuleToText(const AdjustRule &rule)
{
    QString text = QString::number(rule.ruleId) + QLatin1Char(';') + QString::number(rule.ruleIndex);
    for (const QVariant &slot : rule.values)
        text += QLatin1Char(';') + slot.toString();
    return text;
}

std::optional<AdjustRule> adjustRuleFromText(const QString &text)
{
    // Only fields followed by a ";" are read; the text after the last ";" is ignored.
    const QStringList parts = text.split(QLatin1Char(';'));
    const int fieldCount = int(parts.size()) - 1;
    bool haveIndex = false;
    int ruleIndex = 0;
    QString fields[5];
    for (int i = 0; i < fieldCount; ++i) {
        qDebug().noquote() << "val: " + parts.at(i);
        if (i == 1) {
            ruleIndex = parts.at(i).toInt();
            haveIndex = true;
        } else if (i >= 2 && i - 2 < 5) {
            fields[i - 2] = parts.at(i);
        }
    }
    qDebug().noquote() << "valRuleIndex: " + QString::number(ruleIndex);
    if (!haveIndex || ruleIndex < AdjustRule::Grayscale || ruleIndex > AdjustRule::GaussianBlur)
        return std::nullopt;

    AdjustRule rule;
    rule.ruleIndex = ruleIndex;
    if (ruleIndex >= AdjustRule::Contrast)
        rule.values[0] = fields[0].toInt();
    return rule;
}
