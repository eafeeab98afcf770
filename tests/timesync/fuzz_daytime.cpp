// libFuzzer target: the reply parser and the display text take any bytes a server may send.
#include "timesync/ClockRecord.h"
#include "timesync/Daytime.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));

    const DaytimeReading reading = ParseDaytime(text);
    switch (reading.status) {
    case DaytimeStatus::Usable: {
        const QDateTime& time = reading.instant;
        if (!time.isValid() || time.date().year() < 1930 || time.date().year() > 2029)
            std::abort();
        const QDateTime instant = ClockInstant(time, reading.advance);
        if (qAbs(time.msecsTo(instant) * 10 + reading.advance) > 5)
            std::abort();
        break;
    }
    case DaytimeStatus::Unreadable:
    case DaytimeStatus::Unhealthy:
        if (reading.instant.isValid() || reading.advance != 0)
            std::abort();
        break;
    default: std::abort();
    }

    // The display follows the clock's rule: it shows what the clock could be set from, never what it
    // cannot read.
    const QString shown = DaytimeDisplayText(text);
    if (shown.isEmpty() ? reading.status == DaytimeStatus::Usable
                        : reading.status == DaytimeStatus::Unreadable || shown.size() != 21)
        std::abort();
    return 0;
}
