#pragma once

#include "platform/NtpClient.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// The client's side of SNTP (RFC 4330): the query, what an answer is worth, and what it measures.
// Times are in NTP's 32.32 fixed point: differences count units of 2^-32 s.

// A version 4 query in client mode: 48 bytes, all zero but the first and the transmit stamp, which
// carries `nonce`. The server copies it into its answer's origin stamp; that is how the answer is
// known. The nonce says nothing of the time: the client reads its clock separately.
QByteArray SntpQuery(quint64 nonce);

enum class SntpVerdict {
    NotTheAnswer,   // not the answer to this query, or one not worth taking: the wait goes on
    Good,           // the clock may be set from it
    KissOfDeath,    // the server will not serve this client (stratum 0); KissCode() tells why
    Unsynchronised, // the server's own clock is not set (leap indicator 3), or its stratum is above 15
};

// What a datagram is worth as the answer to the query carrying `nonce`, sent at T1 and received at T4.
// A datagram that is not the answer costs the wait, never the clock.
SntpVerdict JudgeSntpAnswer(const QByteArray& datagram, quint64 nonce, NtpStamp sentAt, NtpStamp receivedAt);

// The code of a kiss-o'-death answer, four ASCII letters in its reference id ("RATE", "DENY", "RSTR"),
// printable characters only.
QString KissCode(const QByteArray& answer);

// a - b, signed: right whenever the two are within 68 years of each other, also when the seconds of
// one have wrapped to zero at the turn of an NTP era (2036) and those of the other have not.
qint64 StampDifference(NtpStamp a, NtpStamp b);

struct SntpMeasurement {
    qint64 offset = 0; // server less client: positive when the local clock is behind
    qint64 delay = 0;  // the round trip, less the time the server held the query
};

// From T1 (client send), T2 (server receive), T3 (server send) and T4 (client receive).
SntpMeasurement MeasureSntp(NtpStamp t1, NtpStamp t2, NtpStamp t3, NtpStamp t4);
// The same, T2 and T3 read from an answer of 48 bytes or more.
SntpMeasurement MeasureSntpAnswer(const QByteArray& answer, NtpStamp sentAt, NtpStamp receivedAt);

// Units of 2^-32 s in microseconds, to the nearest.
qint64 NtpUnitsToMicroseconds(qint64 units);
