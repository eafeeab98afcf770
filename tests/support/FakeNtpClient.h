#pragma once

#include "platform/NtpClient.h"
#include "support/NtpAnswer.h"

#include <QList>

#include <functional>
#include <vector>

// Answers NTP queries without a network. Every query is recorded in order. Unless `failure` stops it
// before sending, the datagrams that `datagrams` makes for the query are handed to the judge in order,
// as if from the host, with the stamps below; the first it takes is the answer. None taken: the host
// kept silent (NoAnswer).
class FakeNtpClient final : public NtpClient {
public:
    struct Query {
        QString host;
        QByteArray bytes;
    };
    std::vector<Query> queries;
    NtpError failure = NtpError::None; // NoHost or NoSocket: nothing is sent
    // What the host sends in answer to a query; none set, it keeps silent.
    std::function<QList<QByteArray>(const QByteArray& query)> datagrams;
    // T1 and T4: an eighth of a second either side of the sample time.
    NtpStamp sentAt = SampleNtpTime - (NtpStamp(1) << 29);
    NtpStamp receivedAt = SampleNtpTime + (NtpStamp(1) << 29);

    NtpReply ask(const QString& host, const QByteArray& query, const Judge& isAnswer) override;
};
