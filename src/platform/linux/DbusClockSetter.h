#pragma once

#include "platform/ClockSetter.h"

#include <QDBusConnection>

// Sets the clock through systemd-timedated on the system bus, the way a desktop user may change it:
// polkit decides, and may ask the user for a password meanwhile.
class DbusClockSetter final : public ClockSetter {
public:
    explicit DbusClockSetter(const QDBusConnection& bus);
    ClockSetResult setUtc(const QDateTime& utc) override;

    // Long enough for the user to type a password into the authorisation dialog.
    static constexpr int ReplyWaitMs = 120'000;

private:
    QDBusConnection bus_;
};

// What a D-Bus error from timedated means for the caller.
ClockSetOutcome OutcomeForDbusError(const QString& errorName);
