#include "app/cocoacode.h"

CocoaCode::CocoaCode(QWidget *parent)
    : QWidget(parent)
{
}
