#include "timesync/ClockOffset.h"

namespace {

// Microseconds as seconds with three decimals, rounded to the millisecond: "3.217".
QString Seconds(qint64 microseconds)
{
    const qint64 milliseconds = (qAbs(microseconds) + 500) / 1000;
    return QString("%1.%2").arg(milliseconds / 1000).arg(milliseconds % 1000, 3, 10, QChar(u'0'));
}

// The clock was behind the server when the server's time was the later one.
QString Direction(qint64 offsetUs)
{
    return offsetUs >= 0 ? QStringLiteral("behind") : QStringLiteral("ahead");
}

} // namespace

QString ClockOffsetText(const ClockOffset& measured)
{
    return "Clock was " + Seconds(measured.offsetUs) + " s " + Direction(measured.offsetUs) + " (\u00b1" +
           Seconds(measured.delayUs / 2) + " s)";
}

QString ClockOffsetSentence(const ClockOffset& measured)
{
    const QString relation = measured.offsetUs >= 0 ? QStringLiteral("behind") : QStringLiteral("ahead of");
    return "The clock is " + Seconds(measured.offsetUs) + " s " + relation + " NIST.";
}
