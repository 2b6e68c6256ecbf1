// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "plugins/imageformats/common/decodelimits.h"

#include <QImageReader>
#include <QLoggingCategory>
#include <QtGlobal>

// Every test executable starts as the program does, before its main() runs: with the reader's
// allocation limit the program's main() sets, and with the program's diagnostics turned on (their
// debug lines are off by default), which the tests read.
static void startAsTheProgram()
{
    QImageReader::setAllocationLimit(DecodeLimits::AllocationLimitMB);
    QLoggingCategory::setFilterRules(QStringLiteral("pictomat.*.debug=true"));
}
Q_CONSTRUCTOR_FUNCTION(startAsTheProgram)
