#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

// Outcome of the last ParseDaytime: 0 the reply may be used, 1 its date, time or advance cannot be
// read, 2 the server says its time is not good.
inline qint32 DaytimeStatus = 0;
// The server's advance from the last usable reply, in tenths of a millisecond (754.9 ms is 7549).
inline qint16 DaytimeAdvance = 0;

// Reads a NIST daytime time-code line by character positions counted from its first colon (the one
// between hours and minutes). Sets DaytimeStatus, and DaytimeAdvance when the reply is usable.
// Returns the server's UTC date and time to the second, or a null QDateTime when the status is not 0.
QDateTime ParseDaytime(const QString& text);

// The text shown for a daytime reply: date field, space, time field, point, the first three characters
// of the advance field ("000" when that field is empty). Fields are separated by single spaces.
// Empty when the reply has too few fields to be a time code.
QString DaytimeDisplayText(const QString& reply);
