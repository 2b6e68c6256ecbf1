// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <QLoggingCategory>
#include <QtGlobal>

// The tests read the program's diagnostics, whose debug lines are off by default: every test
// executable turns them on before its main() runs.
static void enableProgramDiagnostics()
{
    QLoggingCategory::setFilterRules(QStringLiteral("pictomat.*.debug=true"));
}
Q_CONSTRUCTOR_FUNCTION(enableProgramDiagnostics)
