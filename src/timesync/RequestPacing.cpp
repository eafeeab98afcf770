#include "timesync/RequestPacing.h"

#include "platform/Sleeper.h"

#include <QElapsedTimer>

RequestPacing::RequestPacing(MonotonicMs now) : now_(std::move(now)) {}

void RequestPacing::waitTurn(const QString& host, Sleeper& sleeper)
{
    const auto last = lastAsked_.constFind(host.toLower());
    if (last == lastAsked_.cend())
        return;
    const qint64 remaining = MinimumGapMs - (now_() - *last);
    if (remaining > 0)
        sleeper.sleepMs(int(remaining));
}

void RequestPacing::markAsked(const QString& host)
{
    lastAsked_.insert(host.toLower(), now_());
}

RequestPacing& TimeServerPacing()
{
    static QElapsedTimer steady = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    static RequestPacing pacing([] { return steady.elapsed(); });
    return pacing;
}
