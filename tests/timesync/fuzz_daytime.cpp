// libFuzzer target: the reply parser and the display text take any bytes a server may send.
#include "timesync/ClockRecord.h"
#include "timesync/Daytime.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));

    const qint16 advanceBefore = DaytimeAdvance;
    const QDateTime time = ParseDaytime(text);
    if (DaytimeStatus < 0 || DaytimeStatus > 2)
        std::abort();
    if (DaytimeStatus == 0) {
        if (!time.isValid() || time.date().year() < 1930 || time.date().year() > 2029)
            std::abort();
        const QDateTime instant = ClockInstant(time, DaytimeAdvance);
        if (qAbs(time.msecsTo(instant) * 10 + DaytimeAdvance) > 5)
            std::abort();
    } else if (time.isValid() || DaytimeAdvance != advanceBefore) {
        std::abort();
    }

    const QString shown = DaytimeDisplayText(text);
    if (shown.size() > text.size() + 4) // only pieces of the reply, a space, a point and "000"
        std::abort();
    return 0;
}
