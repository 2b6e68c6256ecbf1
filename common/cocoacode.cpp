#include "common/cocoacode.h"

CocoaCode::CocoaCode(QWidget *parent)
    : QWidget(parent)
{
}
