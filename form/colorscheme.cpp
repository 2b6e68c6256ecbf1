// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "form/colorscheme.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QRadioButton>

ColorScheme colorSchemeOf(const QPalette &palette)
{
    const int window = palette.color(QPalette::Window).lightness();
    const int text = palette.color(QPalette::WindowText).lightness();
    return window < text ? ColorScheme::Dark : ColorScheme::Light;
}

ColorScheme currentColorScheme()
{
    return colorSchemeOf(QGuiApplication::palette());
}

void fitIndicators(QWidget *root, ColorScheme scheme)
{
    // Fusion frames an indicator with the window colour darkened and fills it with the base
    // colour: in a dark scheme both are dark, and an unticked box vanishes into the window. The
    // frame is drawn from the text colour instead, which the scheme keeps apart from the window.
    QPalette palette; // inherits every colour it does not set
    if (scheme == ColorScheme::Dark)
        palette.setColor(QPalette::Window, QGuiApplication::palette().color(QPalette::WindowText));
    const QList<QAbstractButton *> buttons = root->findChildren<QAbstractButton *>();
    for (QAbstractButton *button : buttons) {
        if (qobject_cast<QCheckBox *>(button) || qobject_cast<QRadioButton *>(button))
            button->setPalette(palette);
    }
}
