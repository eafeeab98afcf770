#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

// What a daytime reply allows.
enum class DaytimeStatus {
    Usable = 0,     // the clock may be set from it
    Unreadable = 1, // its date, time or advance cannot be read
    Unhealthy = 2,  // the server says its time is not good
};

// One reply, read.
struct DaytimeReading {
    DaytimeStatus status = DaytimeStatus::Unreadable;
    QDateTime instant;  // the server's UTC date and time to the second; null unless usable
    qint16 advance = 0; // tenths of a millisecond (754.9 ms is 7549); 0 unless usable
};

// Reads a NIST daytime time-code line by character positions counted from its first colon (the one
// between hours and minutes). An advance field other than ddd.d (letters, a wider field) is unreadable.
DaytimeReading ParseDaytime(const QString& text);

// The text shown for a daytime reply: date field, space, time field, point, the first three characters
// of the advance field ("000" when that field is empty). Fields are separated by single spaces.
// Empty when the reply is no daytime line: too few fields, or fields 1 and 2 not a date YY-MM-DD and
// a time of day HH:MM:SS.
QString DaytimeDisplayText(const QString& reply);
