#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// The milliseconds of a clock reading as three digits, "000" to "999".
QString GetMilliseconds(const QDateTime& reading);

// "YY-M-D H:MM:SS.mmm", as in 04-7-5 14:23:05.007.
QString LocalTime24Text(const QDateTime& reading);

// "YY-M-D" and the time in the locale's long time format without the time-zone name, as in
// 04-7-5 2:23:05 PM for a United States locale.
QString LocalTimeRegionalText(const QDateTime& reading, const QLocale& locale);
