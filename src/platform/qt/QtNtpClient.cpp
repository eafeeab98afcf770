#include "platform/qt/QtNtpClient.h"

#include "platform/qt/LocalWait.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkDatagram>
#include <QUdpSocket>

#include <time.h>

namespace {

constexpr quint64 UnixEpochInNtpSeconds = 2'208'988'800; // 1900-01-01 to 1970-01-01

NtpStamp RealTimeNow()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return NtpStampFromUnixTime(now.tv_sec, now.tv_nsec);
}

// The host's address, or why there is none. A literal address needs no lookup (QHostInfo would look
// its name up in reverse).
NtpError LookUp(const QString& host, const QDeadlineTimer& deadline, QHostAddress& address)
{
    if (address.setAddress(host))
        return NtpError::None;
    if (host.isEmpty())
        return NtpError::NoHost;
    LocalWait wait;
    QHostInfo found;
    QObject receiver; // made after the state its callback uses, so that it is destroyed first
    const int lookup = QHostInfo::lookupHost(host, &receiver, [&](const QHostInfo& info) {
        found = info;
        wait.finish();
    });
    if (!wait.wait(deadline)) {
        QHostInfo::abortHostLookup(lookup);
        return NtpError::NoAnswer;
    }
    if (found.error() != QHostInfo::NoError || found.addresses().isEmpty())
        return NtpError::NoHost;
    address = found.addresses().constFirst(); // the resolver's own order of preference
    return NtpError::None;
}

bool FromTarget(const QNetworkDatagram& datagram, const QHostAddress& target, quint16 port)
{
    return datagram.senderPort() == port &&
           datagram.senderAddress().isEqual(target, QHostAddress::ConvertV4MappedToIPv4);
}

} // namespace

NtpStamp NtpStampFromUnixTime(qint64 seconds, qint64 nanoseconds)
{
    const quint64 ntpSeconds = quint64(seconds) + UnixEpochInNtpSeconds;
    const quint64 fraction = (quint64(nanoseconds) << 32) / 1'000'000'000;
    return (ntpSeconds << 32) | fraction;
}

QtNtpClient::QtNtpClient(quint16 port, int boundMs) : port_(port), boundMs_(boundMs) {}

NtpReply QtNtpClient::ask(const QString& host, const QByteArray& query, const Judge& isAnswer)
{
    NtpReply reply;
    const QDeadlineTimer deadline(boundMs_, Qt::PreciseTimer);
    QHostAddress target;
    reply.error = LookUp(host, deadline, target);
    if (reply.error != NtpError::None)
        return reply;

    LocalWait wait;
    QUdpSocket socket; // made after the state its handler uses, so that it is destroyed first
    const bool v6 = target.protocol() == QAbstractSocket::IPv6Protocol;
    if (!socket.bind(v6 ? QHostAddress::AnyIPv6 : QHostAddress::AnyIPv4, 0)) {
        reply.error = NtpError::NoSocket;
        return reply;
    }
    QObject::connect(&socket, &QUdpSocket::readyRead, [&] {
        while (!wait.finished() && socket.hasPendingDatagrams()) {
            const QNetworkDatagram datagram = socket.receiveDatagram();
            const NtpStamp arrived = RealTimeNow();
            if (!datagram.isValid())
                break;
            if (FromTarget(datagram, target, port_) && isAnswer(datagram.data(), reply.sentAt, arrived)) {
                reply.answer = datagram.data();
                reply.receivedAt = arrived;
                wait.finish();
            }
        }
    });

    reply.sentAt = RealTimeNow();
    if (socket.writeDatagram(query, target, port_) != query.size()) {
        reply.error = NtpError::NoSocket;
        return reply;
    }
    reply.sent = true;
    reply.error = wait.wait(deadline) ? NtpError::None : NtpError::NoAnswer;
    // Done either way: whatever else the host sends is not read.
    socket.abort();
    return reply;
}
