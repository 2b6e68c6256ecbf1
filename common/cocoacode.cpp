// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/cocoacode.h"

CocoaCode::CocoaCode(QWidget *parent)
    : QWidget(parent)
{
}
