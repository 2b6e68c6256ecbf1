// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "form/convertimageform.h"

#include <QSize>
#include <memory>

namespace TestSupport {

// The window's first-start size, for which the preview's fit numbers are made.
inline const QSize FirstStartSize(986, 513);

// The main form as the window starts it: the stored settings shown, at `size` when one is given.
inline std::unique_ptr<ConvertImageForm> startForm(QSize size = QSize())
{
    auto form = std::make_unique<ConvertImageForm>();
    form->restoreSettings();
    if (size.isValid())
        form->resize(size);
    form->show();
    return form;
}

} // namespace TestSupport
