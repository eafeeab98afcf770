// Real exchanges with a daytime server on port 13, through the program's daytime client. Runs inside
// a private network namespace (see tests/e2e/in_sandbox.sh), where 127.0.0.1 is the only network and
// time.nist.gov names it, so nothing leaves the machine.
#include "DaytimeServer.h"
#include "platform/Services.h"
#include "platform/qt/QtDaytimeClient.h"
#include "support/FakeServices.h"
#include "support/LoopbackServer.h"
#include "support/TestEnvironment.h"
#include "timesync/AtomicTime.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <thread>

namespace {

using namespace std::chrono_literals;

const QByteArray Line = "\n53191 04-07-05 14:23:05 50 0 0 754.9 UTC(NIST) *\n";
const QString Server = "time.nist.gov";
const QString UnknownHost = "no-such-host.tolvane.test"; // in no hosts file, and no DNS in the sandbox

// Sets http_proxy for one scope.
class ScopedProxy final {
public:
    explicit ScopedProxy(const QByteArray& url) { qputenv("http_proxy", url); }
    ~ScopedProxy() { qunsetenv("http_proxy"); }
};

// --- The line rule, without a network ---

TEST(DaytimeLine, HasArrivedWithTheFirstLineFeedAfterText)
{
    const struct {
        QByteArray bytes;
        bool arrived;
    } cases[] = {
        {"", false},
        {"\n", false},
        {"\r\n\n", false},
        {"\n53191 04-07-05", false},
        {"\n53191 04-07-05 14:23:05 50 0 0 754.9 UTC(NIST) *", false},
        {Line, true},
        {Line + "more", true},
        {"53191 *\n", true},
        {"\r\n53191 *\r\n", true},
        {"x\n", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DaytimeLineArrived(c.bytes), c.arrived) << c.bytes.toStdString();
}

// --- Real exchanges ---

class DaytimeExchangeTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (!TestEnvironment::inPrivateNetwork())
            GTEST_SKIP() << "needs a private network namespace: run through tests/e2e/in_sandbox.sh";
        services().daytime = &client;
    }

    FakeServices fake;
    QtDaytimeClient client;
};

struct ExchangeCase {
    const char* name;
    std::optional<QByteArray> answer; // nothing: no server listens
    DaytimeServer::Ending ending;
    QString host;
    bool connected;
    QByteArray received;
    DaytimeError error;
};

// The exchange ends the moment the line is in or the service closes; a small bound keeps the
// cases that must wait it out quick. A guard against hangs, not a speed test.
TEST_F(DaytimeExchangeTest, EndsWithTheLineOrTheClose)
{
    using Ending = DaytimeServer::Ending;
    const QByteArray noFinalLineFeed = "\n53191 04-07-05 14:23:05 50 0 0 754.9 UTC(NIST) *";
    const ExchangeCase cases[] = {
        {"line, then close", Line, Ending::Close, Server, true, Line, DaytimeError::None},
        // Not TimedOut: the client did not wait for a close.
        {"line, then the connection held", Line, Ending::Hold, Server, true, Line, DaytimeError::None},
        {"line, then reset", Line, Ending::Reset, Server, true, Line, DaytimeError::None},
        {"empty reply", QByteArray(), Ending::Close, Server, true, {}, DaytimeError::None},
        {"no final line feed, then close", noFinalLineFeed, Ending::Close, Server, true, noFinalLineFeed,
         DaytimeError::None},
        {"only the leading line feed, then held", QByteArray("\n"), Ending::Hold, Server, true, "\n",
         DaytimeError::TimedOut},
        {"over-long reply", QByteArray(9000, 'x'), Ending::Close, Server, true,
         QByteArray(QtDaytimeClient::MaxReplyBytes, 'x'), DaytimeError::Other},
        {"refused", std::nullopt, Ending::Close, Server, false, {}, DaytimeError::Refused},
        {"unknown host", std::nullopt, Ending::Close, UnknownHost, false, {}, DaytimeError::NoConnection},
        {"empty host name", std::nullopt, Ending::Close, "", false, {}, DaytimeError::NoConnection},
        {"no route to the host", std::nullopt, Ending::Close, "192.0.2.1", false, {}, DaytimeError::NoConnection},
    };
    QtDaytimeClient quick(1'000);
    for (const ExchangeCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<DaytimeServer> server;
        if (c.answer) {
            server.emplace(QtDaytimeClient::Port, *c.answer, c.ending);
            ASSERT_TRUE(server->isListening());
        }

        const auto start = std::chrono::steady_clock::now();
        const DaytimeReply reply = quick.ask({c.host, "vb wininet", ProxyMode::Direct});
        EXPECT_LT(std::chrono::steady_clock::now() - start, 5s) << "the exchange hung";

        EXPECT_EQ(reply.connected, c.connected);
        EXPECT_EQ(reply.bytes, c.received);
        EXPECT_EQ(reply.error, c.error);
    }
}

TEST_F(DaytimeExchangeTest, ClientHangsUpOnAServerThatHoldsTheConnection)
{
    DaytimeServer server(QtDaytimeClient::Port, Line, DaytimeServer::Ending::Hold);
    ASSERT_TRUE(server.isListening());
    const DaytimeReply reply = client.ask({Server, "vb wininet", ProxyMode::Direct});
    EXPECT_EQ(reply.bytes, Line);
    EXPECT_EQ(reply.error, DaytimeError::None);
    for (int i = 0; i < 100 && server.hangUps() == 0; ++i)
        std::this_thread::sleep_for(20ms);
    EXPECT_EQ(server.hangUps(), 1) << "the client, not the server, ended the connection";
}

TEST_F(DaytimeExchangeTest, SystemProxyTunnelsToAServerKnownOnlyToTheProxy)
{
    DaytimeServer server(QtDaytimeClient::Port, Line);
    ASSERT_TRUE(server.isListening());
    LoopbackServer proxy(LoopbackServer::forwardTo(QtDaytimeClient::Port));
    const ScopedProxy configured(proxy.url({}).toLatin1());

    const DaytimeReply reply = client.ask({"time-z.nist.example", "Tolvane", ProxyMode::System});

    EXPECT_TRUE(reply.connected);
    EXPECT_EQ(reply.bytes, Line);
    EXPECT_EQ(reply.error, DaytimeError::None);
    ASSERT_EQ(proxy.requests().size(), 1U);
    const QByteArray request = proxy.requests()[0];
    EXPECT_TRUE(request.startsWith("CONNECT time-z.nist.example:13 HTTP/1.1\r\n")) << request.toStdString();
    EXPECT_TRUE(request.contains("\r\nUser-Agent: Tolvane\r\n")) << request.toStdString();
}

// --- What the program makes of it ---

TEST_F(DaytimeExchangeTest, DisplayShowsTheServersLine)
{
    for (const DaytimeServer::Ending ending :
         {DaytimeServer::Ending::Close, DaytimeServer::Ending::Reset, DaytimeServer::Ending::Hold}) {
        DaytimeServer server(QtDaytimeClient::Port, Line, ending);
        ASSERT_TRUE(server.isListening());
        EXPECT_EQ(GetAtomicTime(Server), "04-07-05 14:23:05.754");
        EXPECT_EQ(fake.bell.beeps, 0);
        EXPECT_EQ(server.connectionCount(), 1);
    }
}

TEST_F(DaytimeExchangeTest, EmptyAnswerBeepsThreeTimes)
{
    DaytimeServer server(QtDaytimeClient::Port, "");
    ASSERT_TRUE(server.isListening());
    EXPECT_EQ(GetAtomicTime(Server), "");
    EXPECT_EQ(fake.bell.beeps, 3);
}

TEST_F(DaytimeExchangeTest, RefusedPort)
{
    EXPECT_EQ(GetAtomicTime(Server), "");
    EXPECT_EQ(fake.bell.beeps, 3);

    EXPECT_EQ(SyncLocalTime(Server, SyncMethod::Daytime).message, "Cannot find host!");
    EXPECT_TRUE(fake.clockSetter.setTimes.empty());
}

TEST_F(DaytimeExchangeTest, UnknownOrEmptyServerNameCannotBeFound)
{
    for (const QString& name : {QString(), UnknownHost}) {
        SCOPED_TRACE(name.toStdString());
        fake.bell.beeps = 0;
        EXPECT_EQ(GetAtomicTime(name), "");
        EXPECT_EQ(fake.bell.beeps, 3);
        EXPECT_EQ(SyncLocalTime(name, SyncMethod::Daytime).message, "Cannot find host!");
    }
}

TEST_F(DaytimeExchangeTest, SyncSetsTheClockFromTheLine)
{
    for (const DaytimeServer::Ending ending : {DaytimeServer::Ending::Reset, DaytimeServer::Ending::Hold}) {
        fake.clockSetter.setTimes.clear();
        DaytimeServer server(QtDaytimeClient::Port, Line, ending);
        ASSERT_TRUE(server.isListening());
        EXPECT_TRUE(SyncLocalTime(Server, SyncMethod::Daytime).clockSet);
        ASSERT_EQ(fake.clockSetter.setTimes.size(), 1U);
        EXPECT_EQ(fake.clockSetter.setTimes[0], QDateTime(QDate(2004, 7, 5), QTime(14, 23, 4, 245), Qt::UTC));
    }
}

TEST_F(DaytimeExchangeTest, OnlySyncGoesThroughTheConfiguredProxy)
{
    DaytimeServer server(QtDaytimeClient::Port, Line);
    ASSERT_TRUE(server.isListening());
    LoopbackServer proxy(LoopbackServer::forwardTo(QtDaytimeClient::Port));
    {
        const ScopedProxy configured(proxy.url({}).toLatin1());
        EXPECT_EQ(GetAtomicTime(Server), "04-07-05 14:23:05.754");
        EXPECT_EQ(proxy.connectionCount(), 0);
        SyncLocalTime(Server, SyncMethod::Daytime);
    }

    ASSERT_EQ(proxy.requests().size(), 1U);
    const QByteArray request = proxy.requests()[0];
    EXPECT_TRUE(request.startsWith("CONNECT time.nist.gov:13 ")) << request.toStdString();
    EXPECT_TRUE(request.contains("\r\nUser-Agent: Tolvane\r\n")) << request.toStdString();
    EXPECT_EQ(fake.clockSetter.setTimes.size(), 1U);
    EXPECT_EQ(server.connectionCount(), 2);
}

} // namespace
