#pragma once

#include "platform/ClockSetter.h"

#include <QDBusConnection>

#include <functional>
#include <optional>

// Sets the clock through systemd-timedated on the system bus, the way a desktop user may change it:
// polkit decides, and may ask the user for a password meanwhile. The call is asynchronous and waited
// in a local event loop, so the window stays alive during those minutes.
class DbusClockSetter final : public ClockSetter {
public:
    using BusConnector = std::function<QDBusConnection()>;

    // `connectBus` is called on the first setUtc, not before: a run that never sets the clock never
    // opens the system bus.
    explicit DbusClockSetter(BusConnector connectBus);
    ClockSetResult setUtc(const QDateTime& utc) override;
    ClockSetResult shiftBy(qint64 microseconds) override;

    // Long enough for the user to type a password into the authorisation dialog.
    static constexpr int ReplyWaitMs = 120'000;

private:
    // timedated's SetTime: microseconds since 1970, or relative to now.
    ClockSetResult setTime(qint64 microseconds, bool relative);

    BusConnector connectBus_;
    std::optional<QDBusConnection> bus_;
};

// What a D-Bus error from timedated means for the caller.
ClockSetOutcome OutcomeForDbusError(const QString& errorName);
