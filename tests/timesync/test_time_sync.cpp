// Asking the daytime server for the display and for setting the clock, with every OS service faked.
#include "support/FakeServices.h"
#include "timesync/AtomicTime.h"
#include "timesync/Daytime.h"

#include <gtest/gtest.h>

namespace {

const QByteArray Line = "53191 04-07-05 14:23:05 50 0 0 754.9 UTC(NIST) *";
const QString Server = "time-a-g.nist.gov";

class TimeSyncTest : public testing::Test {
protected:
    void answer(const DaytimeReply& reply) { fake.daytime.answers[Server] = reply; }

    FakeServices fake; // its sleeper returns at once, so pacing between tests costs nothing
};

TEST_F(TimeSyncTest, DisplayAsksDirectlyAsWininetAndShowsDateTimeAndAdvance)
{
    answer(FakeDaytimeClient::reply("\n" + Line + "\n"));
    EXPECT_EQ(GetAtomicTime(Server), "04-07-05 14:23:05.754");
    ASSERT_EQ(fake.daytime.requests.size(), 1U);
    EXPECT_EQ(fake.daytime.requests[0].host, Server);
    EXPECT_EQ(fake.daytime.requests[0].agent, "vb wininet");
    EXPECT_EQ(fake.daytime.requests[0].proxy, ProxyMode::Direct);
    EXPECT_EQ(fake.bell.beeps, 0);
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(TimeSyncTest, DisplayShowsWhatArrivedBeforeTheConnectionBroke)
{
    DaytimeReply broken = FakeDaytimeClient::reply(Line + "\n");
    broken.error = DaytimeError::Other;
    answer(broken);
    EXPECT_EQ(GetAtomicTime(Server), "04-07-05 14:23:05.754");
    EXPECT_EQ(fake.bell.beeps, 0);
}

struct NothingCase {
    const char* name;
    DaytimeReply reply;
};

class DisplayWithoutTimeCodeTest : public TimeSyncTest, public testing::WithParamInterface<NothingCase> {};

TEST_P(DisplayWithoutTimeCodeTest, BeepsThreeTimesAndGivesNothing)
{
    answer(GetParam().reply);
    EXPECT_EQ(GetAtomicTime(Server), "");
    EXPECT_EQ(fake.bell.beeps, 3);
    EXPECT_TRUE(fake.messages.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Replies, DisplayWithoutTimeCodeTest,
                         testing::Values(NothingCase{"HostUnreachable", FakeDaytimeClient::notConnected()},
                                         NothingCase{"NoSocket", DaytimeReply{.error = DaytimeError::NoSocket}},
                                         NothingCase{"EmptyReply", FakeDaytimeClient::reply("")},
                                         NothingCase{"TooFewFields", FakeDaytimeClient::reply("421 busy, try later")},
                                         NothingCase{"NotATimeCode",
                                                     FakeDaytimeClient::reply("hello: this is not a time code")}),
                         [](const testing::TestParamInfo<NothingCase>& test) { return test.param.name; });

TEST_F(TimeSyncTest, SyncUsesSystemProxyAndSetsServerTimeLessAdvance)
{
    answer(FakeDaytimeClient::reply(Line + "\n"));
    SyncLocalTime(Server);
    ASSERT_EQ(fake.daytime.requests.size(), 1U);
    EXPECT_EQ(fake.daytime.requests[0].host, Server);
    EXPECT_EQ(fake.daytime.requests[0].agent, "Tolvane");
    EXPECT_EQ(fake.daytime.requests[0].proxy, ProxyMode::System);
    ASSERT_EQ(fake.clockSetter.setTimes.size(), 1U);
    EXPECT_EQ(fake.clockSetter.setTimes[0], QDateTime(QDate(2004, 7, 5), QTime(14, 23, 4, 245), Qt::UTC));
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(TimeSyncTest, SyncReadsNoFurtherThan2048Bytes)
{
    // The line starts inside the first 2048 bytes, but its colon lies beyond them.
    answer(FakeDaytimeClient::reply(QByteArray(2040, 'x') + "\n" + Line));
    SyncLocalTime(Server);
    EXPECT_TRUE(fake.clockSetter.setTimes.empty());
    ASSERT_EQ(fake.messages.shown.size(), 1U);
    EXPECT_EQ(fake.messages.shown[0].text, "Time error!");

    fake.messages.shown.clear();
    answer(FakeDaytimeClient::reply(QByteArray(2047 - Line.size(), ' ') + Line + "\n"));
    SyncLocalTime(Server);
    EXPECT_EQ(fake.clockSetter.setTimes.size(), 1U);
    EXPECT_TRUE(fake.messages.shown.empty());
}

struct SyncFailureCase {
    const char* name;
    DaytimeReply reply;
    QString message;
};

class SyncFailureTest : public TimeSyncTest, public testing::WithParamInterface<SyncFailureCase> {};

TEST_P(SyncFailureTest, ShowsItsMessageAndLeavesTheClock)
{
    answer(GetParam().reply);
    SyncLocalTime(Server);
    EXPECT_TRUE(fake.clockSetter.setTimes.empty());
    ASSERT_EQ(fake.messages.shown.size(), 1U);
    EXPECT_EQ(fake.messages.shown[0].text, GetParam().message);
    EXPECT_EQ(fake.messages.shown[0].caption, "Tolvane");
    EXPECT_EQ(fake.messages.shown[0].icon, MessageIcon::None);
}

DaytimeReply replyWithHealth(char health)
{
    QByteArray line = Line;
    line[29] = health;
    return FakeDaytimeClient::reply(line);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, SyncFailureTest,
    testing::Values(
        SyncFailureCase{"NoSocket", DaytimeReply{.error = DaytimeError::NoSocket},
                        "Cannot configure internet connection!"},
        SyncFailureCase{"HostUnreachable", FakeDaytimeClient::notConnected(), "Cannot find host!"},
        SyncFailureCase{"Refused", DaytimeReply{.error = DaytimeError::Refused}, "Cannot find host!"},
        SyncFailureCase{"TimedOutUnconnected", DaytimeReply{.error = DaytimeError::TimedOut}, "Cannot find host!"},
        SyncFailureCase{"EmptyReply", FakeDaytimeClient::reply(""), "Time error!"},
        SyncFailureCase{"Garbled", FakeDaytimeClient::reply("<html>12:00</html>"), "Time error!"},
        SyncFailureCase{"HealthOne", replyWithHealth('1'), "Inaccurate time from server!"},
        SyncFailureCase{"HealthTwo", replyWithHealth('2'), "Inaccurate time from server!"},
        SyncFailureCase{"AdvanceOverflow", FakeDaytimeClient::reply(QByteArray(Line).replace("754.9", "99999.9")),
                        "Time error!"}),
    [](const testing::TestParamInfo<SyncFailureCase>& test) { return test.param.name; });

struct RefusalCase {
    const char* name;
    ClockSetResult answer;
    QString reason; // the message must say this
};

class ClockRefusalTest : public TimeSyncTest, public testing::WithParamInterface<RefusalCase> {};

TEST_P(ClockRefusalTest, IsToldNotPassedOverInSilence)
{
    answer(FakeDaytimeClient::reply(Line));
    fake.clockSetter.answer = GetParam().answer;
    SyncLocalTime(Server);
    EXPECT_EQ(fake.clockSetter.setTimes.size(), 1U);
    ASSERT_EQ(fake.messages.shown.size(), 1U);
    EXPECT_TRUE(fake.messages.shown[0].text.contains(GetParam().reason, Qt::CaseInsensitive))
        << fake.messages.shown[0].text.toStdString();
    EXPECT_EQ(fake.messages.shown[0].caption, "Tolvane");
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, ClockRefusalTest,
    testing::Values(RefusalCase{"NotAllowed", {ClockSetOutcome::NotAllowed, "Access denied"}, "not allowed"},
                    RefusalCase{
                        "AutomaticSync", {ClockSetOutcome::AutomaticSyncOn, {}}, "automatic time synchronization"},
                    RefusalCase{"NoService", {ClockSetOutcome::NoService, {}}, "no service"},
                    RefusalCase{"OtherFailure", {ClockSetOutcome::Failed, "Invalid argument"}, "Invalid argument"}),
    [](const testing::TestParamInfo<RefusalCase>& test) { return test.param.name; });

} // namespace
