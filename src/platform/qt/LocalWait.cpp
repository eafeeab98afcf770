#include "platform/qt/LocalWait.h"

#include <QTimer>

#include <chrono>

void LocalWait::finish()
{
    finished_ = true;
    loop_.quit();
}

bool LocalWait::wait(QDeadlineTimer deadline)
{
    if (finished_)
        return true;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop_, &QEventLoop::quit);
    if (!deadline.isForever())
        timer.start(std::chrono::milliseconds(qMax<qint64>(deadline.remainingTime(), 0)));
    loop_.exec(QEventLoop::ExcludeUserInputEvents);
    return finished_;
}
