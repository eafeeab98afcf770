#pragma once

#include <QDateTime>
#include <QString>

enum class ClockSetOutcome {
    Done,
    NotAllowed,      // the user may not change the clock (or declined to authenticate)
    AutomaticSyncOn, // the system keeps the clock in step by itself and refuses manual changes
    NoService,       // nothing on this system can be asked to set the clock
    Failed,          // any other refusal; detail says what
};

struct ClockSetResult {
    ClockSetOutcome outcome = ClockSetOutcome::Failed;
    QString detail;
};

// Sets the computer's clock.
class ClockSetter {
public:
    virtual ~ClockSetter() = default;
    // `utc` is a UTC date-time with milliseconds.
    virtual ClockSetResult setUtc(const QDateTime& utc) = 0;
    // Moves the clock by `microseconds` (forward when positive) from wherever it stands when the
    // change is made, so that time spent on the way (an authorisation dialog) costs nothing.
    virtual ClockSetResult shiftBy(qint64 microseconds) = 0;
};
