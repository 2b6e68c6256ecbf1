#include "form/colorscheme.h"

#include <QGuiApplication>

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
