#pragma once

#include <QString>
#include <QtGlobal>

// How far off the computer's clock was, as one NTP exchange measured it.
struct ClockOffset {
    qint64 offsetUs = 0; // the server's time less the clock's: positive when the clock was behind
    qint64 delayUs = 0;  // the exchange's round trip; half of it bounds the offset's error
};

// "Clock was 3.217 s behind (±0.020 s)", rounded to the millisecond; "ahead" for a clock that was fast.
QString ClockOffsetText(const ClockOffset& measured);

// "The clock is 0.004 s ahead of NIST.", said when the system would not let the clock be set.
QString ClockOffsetSentence(const ClockOffset& measured);
