#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <functional>

// NTP time stamps as sent on the wire: seconds since 1900 in the high 32 bits, the fraction in the low 32.
using NtpStamp = quint64;

enum class NtpError {
    None,     // an answer was taken
    NoHost,   // the name does not resolve (or is empty)
    NoAnswer, // nothing taken within the bound, the name lookup included
    NoSocket, // no socket, or the query could not be sent
};

struct NtpReply {
    NtpError error = NtpError::NoSocket;
    bool sent = false;       // the query left for the host (the host then counts as asked, answered or not)
    QByteArray answer;       // the datagram taken
    NtpStamp sentAt = 0;     // T1: the real-time clock just before the query left
    NtpStamp receivedAt = 0; // T4: the real-time clock when the answer arrived
};

// One question to a host's NTP service (UDP), blocking the caller; the wait is bounded by the backend.
class NtpClient {
public:
    virtual ~NtpClient() = default;
    // Decides whether a datagram that came from the host's address and port is the answer.
    using Judge = std::function<bool(const QByteArray& datagram, NtpStamp sentAt, NtpStamp receivedAt)>;
    // Sends `query` once to the host's NTP port and hands every datagram from that address and port to
    // `isAnswer`; the first it takes ends the exchange. Datagrams from elsewhere, and those it does not
    // take, are dropped and the wait goes on, within the backend's bound.
    virtual NtpReply ask(const QString& host, const QByteArray& query, const Judge& isAnswer) = 0;
};
