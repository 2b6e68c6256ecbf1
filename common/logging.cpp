// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/logging.h"

Q_LOGGING_CATEGORY(lcApp, "pictomat.app", QtInfoMsg)
Q_LOGGING_CATEGORY(lcShell, "pictomat.shell", QtInfoMsg)
Q_LOGGING_CATEGORY(lcForm, "pictomat.form", QtInfoMsg)
Q_LOGGING_CATEGORY(lcFileList, "pictomat.filelist", QtInfoMsg)
Q_LOGGING_CATEGORY(lcConvert, "pictomat.convert", QtInfoMsg)
Q_LOGGING_CATEGORY(lcImaging, "pictomat.imaging", QtInfoMsg)
Q_LOGGING_CATEGORY(lcSettings, "pictomat.settings", QtInfoMsg)
Q_LOGGING_CATEGORY(lcMetadata, "pictomat.metadata", QtInfoMsg)
