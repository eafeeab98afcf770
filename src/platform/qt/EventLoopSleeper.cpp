#include "platform/qt/EventLoopSleeper.h"

#include "platform/qt/LocalWait.h"

void EventLoopSleeper::sleepMs(int milliseconds)
{
    LocalWait pause;
    pause.wait(QDeadlineTimer(qMax(milliseconds, 0), Qt::PreciseTimer));
}
