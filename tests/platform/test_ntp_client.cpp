// The NTP client against a time server on 127.0.0.1 that answers on this thread, from within the
// client's own wait. Names are looked up only inside a private network namespace, where time.nist.gov
// is 127.0.0.1 (see tests/e2e/in_sandbox.sh).
#include "platform/qt/QtNtpClient.h"
#include "support/NtpAnswer.h"
#include "support/TestEnvironment.h"
#include "timesync/Sntp.h"

#include <QDateTime>
#include <QNetworkDatagram>
#include <QUdpSocket>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

const QByteArray Query = SntpQuery(0x0123'4567'89ab'cdef);
const QByteArray Answer = NtpAnswerTo(Query);
const QByteArray Forged = NtpAnswerTo(SntpQuery(0x0123'4567'89ab'cdee)); // the origin of another query
const QByteArray Stray = NtpAnswerTo(Query, {.stratum = 2});             // the right origin

TEST(QtNtpClient, TakesTheFirstDatagramFromTheHostThatTheJudgeTakes)
{
    QUdpSocket server;
    QUdpSocket otherPort;    // on the server's address
    QUdpSocket otherAddress; // on the server's port
    ASSERT_TRUE(server.bind(QHostAddress::LocalHost, 0));
    ASSERT_TRUE(otherPort.bind(QHostAddress::LocalHost, 0));
    ASSERT_TRUE(otherAddress.bind(QHostAddress("127.0.0.2"), server.localPort()));
    using Sends = std::vector<std::pair<QUdpSocket*, QByteArray>>; // in answer to the query, in order
    const struct {
        const char* name;
        QString host;
        Sends sends;
        NtpError error;
        bool sent;
        int judged;                       // datagrams handed to the judge
        bool needsPrivateNetwork = false; // looks a name up
    } cases[] = {
        {"answer", "127.0.0.1", {{&server, Answer}}, NtpError::None, true, 1},
        {"answer to a name", "time.nist.gov", {{&server, Answer}}, NtpError::None, true, 1, true},
        {"another port first", "127.0.0.1", {{&otherPort, Stray}, {&server, Answer}}, NtpError::None, true, 1},
        {"another address first", "127.0.0.1", {{&otherAddress, Stray}, {&server, Answer}}, NtpError::None, true, 1},
        {"wrong origin first", "127.0.0.1", {{&server, Forged}, {&server, Answer}}, NtpError::None, true, 2},
        {"silent", "127.0.0.1", {}, NtpError::NoAnswer, true, 0},
        {"unknown name", "no-such-host.tolvane.test", {}, NtpError::NoHost, false, 0, true},
        {"empty name", "", {}, NtpError::NoHost, false, 0},
    };
    const Sends* sends = nullptr;
    QList<QByteArray> queries;
    QObject::connect(&server, &QUdpSocket::readyRead, [&] {
        const QNetworkDatagram query = server.receiveDatagram();
        queries << query.data();
        for (const auto& [from, bytes] : *sends)
            from->writeDatagram(bytes, query.senderAddress(), query.senderPort());
    });
    QtNtpClient client(server.localPort(), 300);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.needsPrivateNetwork && !TestEnvironment::inPrivateNetwork()) {
            ADD_FAILURE() << "needs a private network namespace: run through ctest (tests/e2e/in_sandbox.sh)";
            continue;
        }
        sends = &c.sends;
        queries.clear();
        int judged = 0;
        std::pair<NtpStamp, NtpStamp> judgedStamps;
        const auto isAnswer = [&](const QByteArray& datagram, NtpStamp sentAt, NtpStamp receivedAt) {
            ++judged;
            judgedStamps = {sentAt, receivedAt};
            return datagram.mid(24, 8) == Query.mid(40, 8); // the origin stamp echoes the query
        };

        const NtpReply reply = client.ask(c.host, Query, isAnswer);

        EXPECT_EQ(reply.error, c.error);
        EXPECT_EQ(reply.sent, c.sent);
        EXPECT_EQ(queries, c.sent ? QList{Query} : QList<QByteArray>());
        EXPECT_EQ(judged, c.judged);
        EXPECT_EQ(reply.answer, c.error == NtpError::None ? Answer : QByteArray());
        if (c.error == NtpError::None) {
            EXPECT_LE(reply.sentAt, reply.receivedAt);
            EXPECT_EQ(judgedStamps, std::pair(reply.sentAt, reply.receivedAt));
            // Read from the real-time clock, not a steady one.
            const NtpStamp wallClock = NtpStampFromUnixTime(QDateTime::currentSecsSinceEpoch(), 0);
            EXPECT_NEAR(double(reply.sentAt >> 32), double(wallClock >> 32), 60);
        }
    }
}

TEST(NtpStampFromUnixTime, CountsFrom1900InThirtyTwoBitSeconds)
{
    const NtpStamp epoch1970 = NtpStamp(2'208'988'800) << 32;
    EXPECT_EQ(NtpStampFromUnixTime(0, 500'000'000), epoch1970 | 0x8000'0000);
    EXPECT_EQ(NtpStampFromUnixTime(1, 999'999'999), epoch1970 + (NtpStamp(1) << 32) + 0xffff'fffb);
    EXPECT_EQ(NtpStampFromUnixTime(2'085'978'496, 0), 0U) << "2036-02-07 06:28:16 UTC: the seconds wrap";
}

} // namespace
