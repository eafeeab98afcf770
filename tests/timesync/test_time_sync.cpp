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
    const SyncOutcome outcome = SyncLocalTime(Server);
    EXPECT_TRUE(outcome.clockSet);
    EXPECT_EQ(outcome.message, "");
    ASSERT_EQ(fake.daytime.requests.size(), 1U);
    EXPECT_EQ(fake.daytime.requests[0].host, Server);
    EXPECT_EQ(fake.daytime.requests[0].agent, "Tolvane");
    EXPECT_EQ(fake.daytime.requests[0].proxy, ProxyMode::System);
    ASSERT_EQ(fake.clockSetter.setTimes.size(), 1U);
    EXPECT_EQ(fake.clockSetter.setTimes[0], QDateTime(QDate(2004, 7, 5), QTime(14, 23, 4, 245), Qt::UTC));
}

TEST_F(TimeSyncTest, SyncReadsNoFurtherThan2048Bytes)
{
    // The line starts inside the first 2048 bytes, but its colon lies beyond them.
    answer(FakeDaytimeClient::reply(QByteArray(2040, 'x') + "\n" + Line));
    EXPECT_EQ(SyncLocalTime(Server).message, "Time error!");
    EXPECT_TRUE(fake.clockSetter.setTimes.empty());

    answer(FakeDaytimeClient::reply(QByteArray(2047 - Line.size(), ' ') + Line + "\n"));
    EXPECT_TRUE(SyncLocalTime(Server).clockSet);
    EXPECT_EQ(fake.clockSetter.setTimes.size(), 1U);
}

struct SyncFailureCase {
    const char* name;
    DaytimeReply reply;
    ClockSetResult clock; // what the clock service answers, when it is asked
    QString message;
};

class SyncFailureTest : public TimeSyncTest, public testing::WithParamInterface<SyncFailureCase> {};

TEST_P(SyncFailureTest, SaysWhyTheClockWasNotSet)
{
    answer(GetParam().reply);
    fake.clockSetter.answer = GetParam().clock;
    const SyncOutcome outcome = SyncLocalTime(Server);
    EXPECT_FALSE(outcome.clockSet);
    EXPECT_EQ(outcome.message, GetParam().message);
    // Only a usable reply reaches the clock service.
    EXPECT_EQ(fake.clockSetter.setTimes.size(), GetParam().clock.outcome == ClockSetOutcome::Done ? 0U : 1U);
}

DaytimeReply replyWithHealth(char health)
{
    QByteArray line = Line;
    line[29] = health;
    return FakeDaytimeClient::reply(line);
}

const ClockSetResult Done{ClockSetOutcome::Done, {}};

INSTANTIATE_TEST_SUITE_P(
    Replies, SyncFailureTest,
    testing::Values(SyncFailureCase{"NoSocket", DaytimeReply{.error = DaytimeError::NoSocket}, Done,
                                    "Cannot configure internet connection!"},
                    SyncFailureCase{"HostUnreachable", FakeDaytimeClient::notConnected(), Done, "Cannot find host!"},
                    SyncFailureCase{"Refused", DaytimeReply{.error = DaytimeError::Refused}, Done, "Cannot find host!"},
                    SyncFailureCase{"TimedOutUnconnected", DaytimeReply{.error = DaytimeError::TimedOut}, Done,
                                    "Cannot find host!"},
                    SyncFailureCase{"EmptyReply", FakeDaytimeClient::reply(""), Done, "Time error!"},
                    SyncFailureCase{"Garbled", FakeDaytimeClient::reply("<html>12:00</html>"), Done, "Time error!"},
                    SyncFailureCase{"HealthOne", replyWithHealth('1'), Done, "Inaccurate time from server!"},
                    SyncFailureCase{"HealthTwo", replyWithHealth('2'), Done, "Inaccurate time from server!"},
                    SyncFailureCase{"AdvanceOverflow",
                                    FakeDaytimeClient::reply(QByteArray(Line).replace("754.9", "99999.9")), Done,
                                    "Time error!"},
                    // A refused change must not pass for success.
                    SyncFailureCase{"NotAllowed",
                                    FakeDaytimeClient::reply(Line),
                                    {ClockSetOutcome::NotAllowed, "Access denied"},
                                    "Cannot set the clock: you are not allowed to change the system time!"},
                    SyncFailureCase{"AutomaticSync",
                                    FakeDaytimeClient::reply(Line),
                                    {ClockSetOutcome::AutomaticSyncOn, {}},
                                    "Cannot set the clock: automatic time synchronization is turned on!"},
                    SyncFailureCase{"NoService",
                                    FakeDaytimeClient::reply(Line),
                                    {ClockSetOutcome::NoService, {}},
                                    "Cannot set the clock: no service on this computer can change the system time!"},
                    SyncFailureCase{"OtherFailure",
                                    FakeDaytimeClient::reply(Line),
                                    {ClockSetOutcome::Failed, "Invalid argument"},
                                    "Cannot set the clock: Invalid argument"}),
    [](const testing::TestParamInfo<SyncFailureCase>& test) { return test.param.name; });

} // namespace
