#pragma once

#include <QDateTime>
#include <QtGlobal>

// The UTC instant to set the clock to: the server's time less its advance (tenths of a millisecond),
// to the nearest millisecond with a half going to the even neighbour. The milliseconds always stay
// within 0 to 999: small, negative and large advances carry into the seconds and beyond.
QDateTime ClockInstant(const QDateTime& serverUtc, qint16 advanceTenths);
