#pragma once

#include <QHash>
#include <QString>
#include <QtGlobal>

#include <functional>

class Sleeper;

// NIST refuses clients that ask one server more often than once every 4 seconds, whatever the
// protocol. Before each exchange the caller waits its turn, which sleeps out whatever remains of the
// interval since the previous exchange with that host ended; after it the caller marks the host as
// just asked.
class RequestPacing final {
public:
    static constexpr qint64 MinimumGapMs = 4000;
    using MonotonicMs = std::function<qint64()>; // a clock that never jumps, unlike the wall clock

    explicit RequestPacing(MonotonicMs now);

    void waitTurn(const QString& host, Sleeper& sleeper);
    void markAsked(const QString& host);

private:
    MonotonicMs now_;
    QHash<QString, qint64> lastAsked_; // by host name in lower case
};

// The pacing shared by every request of the program to a time server (daytime and NTP), on the
// steady clock.
RequestPacing& TimeServerPacing();
