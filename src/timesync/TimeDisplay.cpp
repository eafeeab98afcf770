#include "timesync/TimeDisplay.h"

namespace {

QString shortDate(const QDate& date)
{
    return QString("%1-%2-%3").arg(date.year() % 100, 2, 10, QChar(u'0')).arg(date.month()).arg(date.day());
}

// The locale's long time format with its time-zone fields ("t") taken out: the label shows the local
// time of day, as a clock in the task bar would.
QString longTimeFormatWithoutZone(const QLocale& locale)
{
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString kept;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (quoted || c != u't')
            kept += c;
    }
    return kept.trimmed();
}

} // namespace

QString GetMilliseconds(const QDateTime& reading)
{
    return QString("%1").arg(reading.time().msec(), 3, 10, QChar(u'0'));
}

QString LocalTime24Text(const QDateTime& reading)
{
    const QTime time = reading.time();
    return shortDate(reading.date()) + " " +
           QString("%1:%2:%3.")
               .arg(time.hour())
               .arg(time.minute(), 2, 10, QChar(u'0'))
               .arg(time.second(), 2, 10, QChar(u'0')) +
           GetMilliseconds(reading);
}

QString LocalTimeRegionalText(const QDateTime& reading, const QLocale& locale)
{
    return shortDate(reading.date()) + " " + locale.toString(reading.time(), longTimeFormatWithoutZone(locale));
}
