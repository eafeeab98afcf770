#pragma once

#include "platform/ClockSetter.h"

#include <QByteArray>

#include <ctime>

// Sets the clock directly with clock_settime; only a process holding CAP_SYS_TIME may.
class KernelClockSetter final : public ClockSetter {
public:
    ClockSetResult setUtc(const QDateTime& utc) override;
    ClockSetResult shiftBy(qint64 microseconds) override;
};

// The instant as clock_settime takes it: seconds since 1970 and the nanoseconds within that second.
timespec TimespecFromMsecs(qint64 msecsSinceEpoch);
// `now` moved by `microseconds`, the nanoseconds kept within 0 to 999,999,999.
timespec ShiftedTimespec(timespec now, qint64 microseconds);

// Whether the "CapEff:" line of a /proc/<pid>/status text has the capability bit set.
bool EffectiveCapabilityInStatus(const QByteArray& procStatus, int capabilityBit);
// Whether this process may set the clock itself (CAP_SYS_TIME in its effective set).
bool ProcessMaySetClock();

// The clock backend for this process: the kernel call when it may set the clock itself, otherwise
// systemd-timedated on the system bus.
ClockSetter* NewLinuxClockSetter();
