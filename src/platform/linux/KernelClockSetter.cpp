#include "platform/linux/KernelClockSetter.h"

#include "platform/linux/DbusClockSetter.h"

#include <QDBusConnection>
#include <QFile>

#include <linux/capability.h>

#include <cerrno>
#include <cstring>
#include <ctime>

timespec TimespecFromMsecs(qint64 msecsSinceEpoch)
{
    // Whole seconds round down, so that the nanoseconds stay within 0 to 999,999,999 also before 1970.
    const qint64 remainder = ((msecsSinceEpoch % 1000) + 1000) % 1000;
    timespec when{};
    when.tv_sec = time_t((msecsSinceEpoch - remainder) / 1000);
    when.tv_nsec = long(remainder) * 1'000'000L;
    return when;
}

timespec ShiftedTimespec(timespec now, qint64 microseconds)
{
    const qint64 nanoseconds = qint64(now.tv_nsec) + (microseconds % 1'000'000) * 1000;
    const qint64 carry = nanoseconds < 0 ? -1 : nanoseconds / 1'000'000'000;
    now.tv_sec += time_t(microseconds / 1'000'000 + carry);
    now.tv_nsec = long(nanoseconds - carry * 1'000'000'000);
    return now;
}

namespace {

ClockSetResult setRealTimeClock(const timespec& when)
{
    if (clock_settime(CLOCK_REALTIME, &when) == 0)
        return {ClockSetOutcome::Done, {}};
    const int error = errno;
    const QString detail = QString::fromLocal8Bit(std::strerror(error));
    return {error == EPERM ? ClockSetOutcome::NotAllowed : ClockSetOutcome::Failed, detail};
}

} // namespace

ClockSetResult KernelClockSetter::setUtc(const QDateTime& utc)
{
    return setRealTimeClock(TimespecFromMsecs(utc.toMSecsSinceEpoch()));
}

ClockSetResult KernelClockSetter::shiftBy(qint64 microseconds)
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return setRealTimeClock(ShiftedTimespec(now, microseconds));
}

bool EffectiveCapabilityInStatus(const QByteArray& procStatus, int capabilityBit)
{
    for (const QByteArray& line : procStatus.split('\n')) {
        if (!line.startsWith("CapEff:"))
            continue;
        bool ok = false;
        const quint64 mask = line.mid(7).trimmed().toULongLong(&ok, 16);
        return ok && capabilityBit >= 0 && capabilityBit < 64 && (mask >> capabilityBit) & 1U;
    }
    return false;
}

bool ProcessMaySetClock()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return false;
    return EffectiveCapabilityInStatus(status.readAll(), CAP_SYS_TIME);
}

ClockSetter* NewLinuxClockSetter()
{
    if (ProcessMaySetClock())
        return new KernelClockSetter();
    return new DbusClockSetter([] { return QDBusConnection::systemBus(); });
}
