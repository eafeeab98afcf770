#include "platform/qt/WidgetsBell.h"

#include <QApplication>

void WidgetsBell::beep()
{
    QApplication::beep();
}
