#include "timesync/ClockRecord.h"

namespace {

// tenths / 10 rounded to a whole number, a half going to the even neighbour.
qint64 tenthsToMillisecondsHalfEven(qint64 tenths)
{
    qint64 whole = tenths / 10;
    qint64 rest = tenths % 10;
    if (rest < 0) { // floor division, so that rest runs from 0 to 9
        whole -= 1;
        rest += 10;
    }
    if (rest > 5 || (rest == 5 && whole % 2 != 0))
        whole += 1;
    return whole;
}

} // namespace

QDateTime ClockInstant(const QDateTime& serverUtc, qint16 advanceTenths)
{
    // Rounding is symmetric about zero, so taking the advance off equals adding its negation rounded.
    return serverUtc.toUTC().addMSecs(tenthsToMillisecondsHalfEven(-qint64(advanceTenths)));
}
