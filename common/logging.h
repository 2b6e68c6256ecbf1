// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLoggingCategory>

// The program's step-by-step diagnostics, one category per area. Their debug lines are off
// unless enabled (QT_LOGGING_RULES="pictomat.*.debug=true", or one area); warnings stay on.
Q_DECLARE_LOGGING_CATEGORY(lcApp)
Q_DECLARE_LOGGING_CATEGORY(lcShell)
Q_DECLARE_LOGGING_CATEGORY(lcForm)
Q_DECLARE_LOGGING_CATEGORY(lcFileList)
Q_DECLARE_LOGGING_CATEGORY(lcConvert)
Q_DECLARE_LOGGING_CATEGORY(lcImaging)
Q_DECLARE_LOGGING_CATEGORY(lcSettings)
Q_DECLARE_LOGGING_CATEGORY(lcMetadata)
