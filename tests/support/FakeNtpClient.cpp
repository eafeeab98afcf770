#include "support/FakeNtpClient.h"

NtpReply FakeNtpClient::ask(const QString& host, const QByteArray& query, const Judge& isAnswer)
{
    queries.push_back({host, query});
    NtpReply reply{.error = failure};
    if (failure != NtpError::None)
        return reply;
    reply.sent = true;
    reply.sentAt = sentAt;
    reply.error = NtpError::NoAnswer;
    for (const QByteArray& datagram : datagrams ? datagrams(query) : QList<QByteArray>()) {
        if (isAnswer(datagram, sentAt, receivedAt)) {
            reply.error = NtpError::None;
            reply.answer = datagram;
            reply.receivedAt = receivedAt;
            break;
        }
    }
    return reply;
}
