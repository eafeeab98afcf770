// The bounded waits of the platform layer: they end when told or at their deadline, and the thread
// keeps handling its events (timers, replies, repaints) meanwhile.
#include "platform/qt/EventLoopSleeper.h"
#include "platform/qt/LocalWait.h"

#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

TEST(LocalWait, EndsWhenFinishedOrAtTheDeadline)
{
    struct Case {
        const char* name;
        int finishAfterMs; // -1: never; 0: before the wait starts
        int deadlineMs;
        bool finished;
    };
    const Case cases[] = {
        {"finished before it starts", 0, 5'000, true},
        {"finished by an event while it waits", 50, 5'000, true},
        {"deadline first", -1, 100, false},
        {"deadline already passed", -1, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LocalWait wait;
        QTimer finisher;
        finisher.setSingleShot(true);
        QObject::connect(&finisher, &QTimer::timeout, [&] { wait.finish(); });
        if (c.finishAfterMs == 0)
            wait.finish();
        else if (c.finishAfterMs > 0)
            finisher.start(c.finishAfterMs);
        QElapsedTimer elapsed;
        elapsed.start();

        EXPECT_EQ(wait.wait(QDeadlineTimer(c.deadlineMs)), c.finished);

        EXPECT_EQ(wait.finished(), c.finished);
        EXPECT_LT(elapsed.elapsed(), 4'000) << "the wait hung";
        if (!c.finished) {
            EXPECT_GE(elapsed.elapsed(), c.deadlineMs);
        }
    }
}

TEST(EventLoopSleeper, SleepsTheWholeTimeWhileTimersStillRun)
{
    EventLoopSleeper sleeper;
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(20);
    QElapsedTimer elapsed;
    elapsed.start();

    sleeper.sleepMs(300);

    EXPECT_GE(elapsed.elapsed(), 300);
    EXPECT_LT(elapsed.elapsed(), 4'000) << "the pause hung";
    EXPECT_GE(ticks, 3) << "events were not handled during the pause";
}

} // namespace
