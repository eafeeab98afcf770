#include "timesync/ClockOffset.h"

namespace {

// Microseconds as seconds with three decimals, rounded to the millisecond: "3.217".
QString Seconds(qint64 microseconds)
{
    const qint64 milliseconds = (qAbs(microseconds) + 500) / 1000;
    return QString("%1.%2").arg(milliseconds / 1000).arg(milliseconds % 1000, 3, 10, QChar(u'0'));
}

// The clock was behind the server when the server's time was the later one.
bool Behind(const ClockOffset& measured)
{
    return measured.offsetUs >= 0;
}

} // namespace

QString ClockOffsetText(const ClockOffset& measured)
{
    return "Clock was " + Seconds(measured.offsetUs) + (Behind(measured) ? " s behind" : " s ahead") + " (\u00b1" +
           Seconds(measured.delayUs / 2) + " s)";
}

QString ClockOffsetSentence(const ClockOffset& measured)
{
    return "The clock is " + Seconds(measured.offsetUs) + (Behind(measured) ? " s behind" : " s ahead of") + " NIST.";
}
