// Real exchanges with a daytime server on port 13, through the program's libcurl client. Runs inside
// a private network namespace (see tests/e2e/in_sandbox.sh), where 127.0.0.1 is the only network and
// time.nist.gov names it, so nothing leaves the machine.
#include "DaytimeServer.h"
#include "platform/Services.h"
#include "platform/fake/FakeServices.h"
#include "platform/linux/CurlHttpClient.h"
#include "support/LoopbackServer.h"
#include "timesync/AtomicTime.h"

#include <QFile>
#include <gtest/gtest.h>


namespace {

const QByteArray Line = "\n53191 04-07-05 14:23:05 50 0 0 754.9 UTC(NIST) *\n";
const QString Server = "time.nist.gov";

// Port 13 and the name time.nist.gov must not mean the machine's real ones: the only network
// interface may be the loopback one.
bool inPrivateNetwork()
{
    QFile devices("/proc/net/dev");
    if (!devices.open(QIODevice::ReadOnly))
        return false;
    int interfaces = 0;
    for (const QByteArray& line : devices.readAll().split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon < 0)
            continue; // the two heading lines
        if (line.left(colon).trimmed() != "lo")
            return false;
        ++interfaces;
    }
    return interfaces == 1;
}

class DaytimeExchangeTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (!inPrivateNetwork())
            GTEST_SKIP() << "needs a private network namespace: run through tests/e2e/in_sandbox.sh";
        services().http = &curl;
    }

    FakeServices fake;
    CurlHttpClient curl;
};

TEST_F(DaytimeExchangeTest, DisplayShowsTheServersLine)
{
    DaytimeServer server(13, Line);
    ASSERT_TRUE(server.isListening());
    EXPECT_EQ(GetAtomicTime(Server), "04-07-05 14:23:05.754");
    EXPECT_EQ(fake.bell.beeps, 0);
    EXPECT_EQ(server.connectionCount(), 1);
}

TEST_F(DaytimeExchangeTest, DisplayKeepsTheLineWhenTheServerResetsAfterIt)
{
    DaytimeServer server(13, Line, DaytimeServer::Ending::Reset);
    ASSERT_TRUE(server.isListening());
    EXPECT_EQ(GetAtomicTime(Server), "04-07-05 14:23:05.754");
    EXPECT_EQ(fake.bell.beeps, 0);
}

TEST_F(DaytimeExchangeTest, EmptyAnswerBeepsThreeTimes)
{
    DaytimeServer server(13, "");
    ASSERT_TRUE(server.isListening());
    EXPECT_EQ(GetAtomicTime(Server), "");
    EXPECT_EQ(fake.bell.beeps, 3);
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(DaytimeExchangeTest, RefusedPort)
{
    EXPECT_EQ(GetAtomicTime(Server), "");
    EXPECT_EQ(fake.bell.beeps, 3);
    EXPECT_TRUE(fake.messages.shown.empty());

    SyncLocalTime(Server);
    ASSERT_EQ(fake.messages.shown.size(), 1U);
    EXPECT_EQ(fake.messages.shown[0].text, "Cannot find host!");
    EXPECT_TRUE(fake.clockSetter.setTimes.empty());
}

TEST_F(DaytimeExchangeTest, EmptyServerNameCannotBeFound)
{
    SyncLocalTime("");
    ASSERT_EQ(fake.messages.shown.size(), 1U);
    EXPECT_EQ(fake.messages.shown[0].text, "Cannot find host!");
}

TEST_F(DaytimeExchangeTest, SyncSetsTheClockFromTheLine)
{
    DaytimeServer server(13, Line, DaytimeServer::Ending::Reset);
    ASSERT_TRUE(server.isListening());
    SyncLocalTime(Server);
    EXPECT_TRUE(fake.messages.shown.empty());
    ASSERT_EQ(fake.clockSetter.setTimes.size(), 1U);
    EXPECT_EQ(fake.clockSetter.setTimes[0], QDateTime(QDate(2004, 7, 5), QTime(14, 23, 4, 245), Qt::UTC));
}

TEST_F(DaytimeExchangeTest, OnlySyncGoesThroughTheConfiguredProxy)
{
    DaytimeServer server(13, Line);
    ASSERT_TRUE(server.isListening());
    LoopbackServer proxy(LoopbackServer::forwardTo(13));
    qputenv("http_proxy", proxy.url().toLatin1());

    EXPECT_EQ(GetAtomicTime(Server), "04-07-05 14:23:05.754");
    EXPECT_EQ(proxy.connectionCount(), 0);
    SyncLocalTime(Server);
    qunsetenv("http_proxy");

    ASSERT_EQ(proxy.requests().size(), 1U);
    const QByteArray request = proxy.requests()[0];
    EXPECT_TRUE(request.startsWith("GET http://time.nist.gov:13/ ")) << request.toStdString();
    EXPECT_TRUE(request.contains("\r\nUser-Agent: Tolvane\r\n")) << request.toStdString();
    EXPECT_EQ(fake.clockSetter.setTimes.size(), 1U);
    EXPECT_EQ(server.connectionCount(), 2);
}

} // namespace
