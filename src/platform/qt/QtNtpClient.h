#pragma once

#include "platform/NtpClient.h"

#include <QtGlobal>

// The NTP exchange on QUdpSocket, waited in a local event loop that takes no user input. One bound
// covers the name lookup and the wait for the answer.
class QtNtpClient final : public NtpClient {
public:
    static constexpr quint16 DefaultPort = 123;
    static constexpr int DefaultBoundMs = 5'000;

    explicit QtNtpClient(quint16 port = DefaultPort, int boundMs = DefaultBoundMs);
    NtpReply ask(const QString& host, const QByteArray& query, const Judge& isAnswer) override;

private:
    quint16 port_;
    int boundMs_;
};

// A time since 1970 as an NTP stamp. Only the low 32 bits of the seconds are kept, as on the wire,
// so the count starts again from zero at the turn of each NTP era (the first in 2036).
NtpStamp NtpStampFromUnixTime(qint64 seconds, qint64 nanoseconds);
