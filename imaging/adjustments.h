#pragma once

#include "imaging/adjustrule.h"

#include <QImage>

// Every rule of `rules` applied in list order; the input is not modified.
QImage applyAdjustments(const QImage &image, const AdjustRuleList &rules);
