#include "timesync/Sntp.h"

#include <QtEndian>

#include <algorithm>
#include <limits>

namespace {

constexpr qsizetype PacketSize = 48;
constexpr qsizetype StratumAt = 1;
constexpr qsizetype ReferenceIdAt = 12;
constexpr qsizetype OriginAt = 24;
constexpr qsizetype ReceiveAt = 32;
constexpr qsizetype TransmitAt = 40;

constexpr int ClientMode = 3;
constexpr int ServerMode = 4;
constexpr int Version = 4;
constexpr int LeapUnsynchronised = 3;
constexpr int KissStratum = 0;
constexpr int MaxStratum = 15;
constexpr qint64 MaxDelay = qint64(5) << 32; // a round trip this long measures nothing worth setting

using Wide = __int128; // holds any sum or difference of two 64-bit values

NtpStamp StampAt(const QByteArray& packet, qsizetype at)
{
    return qFromBigEndian<quint64>(packet.constData() + at);
}

qint64 Saturated(Wide value)
{
    return qint64(std::clamp<Wide>(value, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()));
}

} // namespace

QByteArray SntpQuery(quint64 nonce)
{
    QByteArray query(PacketSize, '\0');
    query[0] = char(Version << 3 | ClientMode);
    qToBigEndian(nonce, query.data() + TransmitAt);
    return query;
}

SntpVerdict JudgeSntpAnswer(const QByteArray& datagram, quint64 nonce, NtpStamp sentAt, NtpStamp receivedAt)
{
    if (datagram.size() < PacketSize || StampAt(datagram, OriginAt) != nonce)
        return SntpVerdict::NotTheAnswer;
    const quint8 first = quint8(datagram[0]);
    const int leap = first >> 6;
    const int version = (first >> 3) & 7;
    const int mode = first & 7;
    const int stratum = quint8(datagram[StratumAt]);
    if (mode != ServerMode || (version != 3 && version != 4))
        return SntpVerdict::NotTheAnswer;
    // A kiss-o'-death carries no time, and often a leap indicator of 3 and no transmit stamp.
    if (stratum == KissStratum)
        return SntpVerdict::KissOfDeath;
    if (leap == LeapUnsynchronised || stratum > MaxStratum)
        return SntpVerdict::Unsynchronised;
    const qint64 delay = MeasureSntpAnswer(datagram, sentAt, receivedAt).delay;
    if (StampAt(datagram, TransmitAt) == 0 || delay < 0 || delay >= MaxDelay)
        return SntpVerdict::NotTheAnswer;
    return SntpVerdict::Good;
}

QString KissCode(const QByteArray& answer)
{
    QString code;
    for (const char c : answer.mid(ReferenceIdAt, 4))
        if (c >= ' ' && c <= '~')
            code += QLatin1Char(c);
    return code;
}

qint64 StampDifference(NtpStamp a, NtpStamp b)
{
    return qint64(a - b); // modulo 2^64, then the nearer way round
}

SntpMeasurement MeasureSntp(NtpStamp t1, NtpStamp t2, NtpStamp t3, NtpStamp t4)
{
    const Wide there = StampDifference(t2, t1);
    const Wide back = StampDifference(t3, t4);
    const Wide held = StampDifference(t3, t2);
    // Half a sum of two 64-bit values fits in 64 bits again; the delay may not, and is then far too long.
    return {.offset = qint64((there + back) / 2), .delay = Saturated(StampDifference(t4, t1) - held)};
}

SntpMeasurement MeasureSntpAnswer(const QByteArray& answer, NtpStamp sentAt, NtpStamp receivedAt)
{
    return MeasureSntp(sentAt, StampAt(answer, ReceiveAt), StampAt(answer, TransmitAt), receivedAt);
}

qint64 NtpUnitsToMicroseconds(qint64 units)
{
    return qint64((Wide(units) * 1'000'000 + (Wide(1) << 31)) >> 32); // the shift floors: a half goes up
}
