// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>

// The entries of `folder` whose names are not valid in the file-name encoding (UTF-8 on Unix),
// as paths with replacement characters for the bytes that did not decode. Qt's directory walks
// skip such entries without a word and no QString can name them, so this asks the system
// directly. Empty where every name decodes (Windows keeps names in UTF-16).
QStringList undecodableNames(const QString &folder);
