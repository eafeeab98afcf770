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
// between hours and minutes). Unreadable: the date or time cannot be read, the day number disagrees
// with the date, or the advance is not ddd.d (letters, a sign, a wider field).
DaytimeReading ParseDaytime(const QString& text);

// The text shown for a daytime reply: date, space, time, point, the three integer digits of the
// advance. Empty for a reply the clock could not be set from for want of reading it (the rule of
// ParseDaytime; the server's health does not matter here).
QString DaytimeDisplayText(const QString& reply);
