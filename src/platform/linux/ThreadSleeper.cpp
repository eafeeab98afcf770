#include "platform/linux/ThreadSleeper.h"

#include <QThread>

void ThreadSleeper::sleepMs(int milliseconds)
{
    QThread::msleep(static_cast<unsigned long>(milliseconds));
}
