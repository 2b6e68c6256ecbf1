#include "form/optioncolumnwidth.h"

#include <QEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>

namespace {

QList<QScrollArea *> pageAreas(QTabWidget *tabs)
{
    QList<QScrollArea *> areas;
    for (int i = 0; i < tabs->count(); ++i)
        areas += tabs->widget(i)->findChildren<QScrollArea *>(Qt::FindDirectChildrenOnly);
    return areas;
}

} // namespace

OptionColumnWidth::OptionColumnWidth(QTabWidget *tabs, int startWidth)
    : QObject(tabs)
    , tabs(tabs)
    , startWidth(startWidth)
{
    // A page's contents ask for a new layout whenever a text, a font or a shown widget changes.
    const auto areas = pageAreas(tabs);
    for (QScrollArea *area : areas) {
        if (area->widget())
            area->widget()->installEventFilter(this);
    }
    tabs->tabBar()->installEventFilter(this);
    update();
}

bool OptionColumnWidth::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::LayoutRequest:
    case QEvent::FontChange:
    case QEvent::StyleChange:
        update();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void OptionColumnWidth::update()
{
    // A scroll area asks for little room whatever it holds; it is told its contents' width, with
    // room for the vertical scroll bar a short window needs.
    int pages = 0;
    const auto areas = pageAreas(tabs);
    for (QScrollArea *area : areas) {
        if (!area->widget())
            continue;
        const int width = area->widget()->minimumSizeHint().width() + 2 * area->frameWidth()
            + area->verticalScrollBar()->sizeHint().width();
        area->setMinimumWidth(width);
        pages = qMax(pages, width);
    }
    // The pages sit inside the tab widget's frame; the tab bar needs every tab in full.
    const int frame = 2 * tabs->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, tabs);
    const int needed = qMax(startWidth, qMax(pages + frame, tabs->tabBar()->sizeHint().width()));
    tabs->setMinimumWidth(needed);
    if (tabs->maximumWidth() < needed)
        tabs->setMaximumWidth(needed);
}
