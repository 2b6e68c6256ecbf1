// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QMetaType>
#include <QString>

// One source that a job could not convert, with a short reason a person can read.
struct ConversionFailure {
    QString source;
    QString target;
    QString reason;
};

using ConversionFailureList = QList<ConversionFailure>;

Q_DECLARE_METATYPE(ConversionFailure)
