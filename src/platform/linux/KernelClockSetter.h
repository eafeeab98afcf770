#pragma once

#include "platform/ClockSetter.h"

#include <QByteArray>

// Sets the clock directly with clock_settime; only a process holding CAP_SYS_TIME may.
class KernelClockSetter final : public ClockSetter {
public:
    ClockSetResult setUtc(const QDateTime& utc) override;
};

// Whether the "CapEff:" line of a /proc/<pid>/status text has the capability bit set.
bool EffectiveCapabilityInStatus(const QByteArray& procStatus, int capabilityBit);
// Whether this process may set the clock itself (CAP_SYS_TIME in its effective set).
bool ProcessMaySetClock();

// The clock backend for this process: the kernel call when it may set the clock itself, otherwise
// systemd-timedated on the system bus.
ClockSetter* NewLinuxClockSetter();
