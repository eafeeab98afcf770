// Asking the daytime server for the display and for setting the clock, with every OS service faked.
#include "support/FakeServices.h"
#include "timesync/AtomicTime.h"
#include "timesync/Daytime.h"
#include "timesync/RequestPacing.h"
#include "timesync/Sntp.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

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
    const SyncOutcome outcome = SyncLocalTime(Server, SyncMethod::Daytime);
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
    EXPECT_EQ(SyncLocalTime(Server, SyncMethod::Daytime).message, "Time error!");
    EXPECT_TRUE(fake.clockSetter.setTimes.empty());

    answer(FakeDaytimeClient::reply(QByteArray(2047 - Line.size(), ' ') + Line + "\n"));
    EXPECT_TRUE(SyncLocalTime(Server, SyncMethod::Daytime).clockSet);
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
    const SyncOutcome outcome = SyncLocalTime(Server, SyncMethod::Daytime);
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

// Server stamps this far from the sample time (T1 and T4 lie an eighth of a second either side of it).
NtpStamp sampleTimePlus(double seconds)
{
    return SampleNtpTime + NtpStamp(qint64(seconds * 4294967296.0));
}

struct NtpCase {
    const char* name;
    std::function<QList<QByteArray>(const QByteArray& query)> server; // none: silence
    NtpError failure;
    ClockSetResult clock;
    QString message;
    std::optional<qint64> shiftedUs; // the shift handed to the clock service, when one was
};

class NtpSyncTest : public TimeSyncTest, public testing::WithParamInterface<NtpCase> {};

TEST_P(NtpSyncTest, SetsTheClockByTheMeasuredOffsetOrSaysWhyNot)
{
    fake.ntp.failure = GetParam().failure;
    fake.ntp.datagrams = GetParam().server;
    fake.clockSetter.answer = GetParam().clock;
    const SyncOutcome outcome = SyncLocalTime(Server, SyncMethod::Precise);
    EXPECT_EQ(outcome.message, GetParam().message);
    EXPECT_EQ(outcome.clockSet, GetParam().message.isEmpty());
    EXPECT_EQ(fake.clockSetter.shifts,
              GetParam().shiftedUs ? std::vector{*GetParam().shiftedUs} : std::vector<qint64>{});
    EXPECT_EQ(outcome.measured.has_value(), GetParam().shiftedUs.has_value());
    EXPECT_TRUE(fake.clockSetter.setTimes.empty());
    EXPECT_TRUE(fake.daytime.requests.empty()) << "no fall back to the daytime service";
    ASSERT_EQ(fake.ntp.queries.size(), 1U);
    EXPECT_EQ(fake.ntp.queries[0].host, Server);
}

// The answer of a server whose clock is `ahead` seconds ahead of the sample time.
std::function<QList<QByteArray>(const QByteArray&)> answering(double ahead, NtpAnswerFields fields = {})
{
    return [=](const QByteArray& query) {
        NtpAnswerFields answer = fields;
        answer.received = answer.transmitted = sampleTimePlus(ahead);
        return QList<QByteArray>{NtpAnswerTo(query, answer)};
    };
}

const QString Automatic = "Cannot set the clock: automatic time synchronization is turned on!";
const QString NoAnswer =
    "No answer from the time server! Turn off Precise Time in Preferences to use the daytime service.";

INSTANTIATE_TEST_SUITE_P(
    Answers, NtpSyncTest,
    testing::Values(
        NtpCase{"ServerAhead", answering(3.217), NtpError::None, Done, "", 3'217'000},
        NtpCase{"ServerBehind", answering(-0.004), NtpError::None, Done, "", -4'000},
        // A datagram that does not carry the query's nonce is never taken, however good it looks.
        NtpCase{"ForgedOnly",
                [](const QByteArray&) { return QList{NtpAnswerTo(SntpQuery(42))}; },
                NtpError::None,
                Done,
                NoAnswer,
                {}},
        NtpCase{"Silence", {}, NtpError::None, Done, NoAnswer, {}},
        NtpCase{"UnknownHost", {}, NtpError::NoHost, Done, "Cannot find host!", {}},
        NtpCase{"NoSocket", {}, NtpError::NoSocket, Done, "Cannot configure internet connection!", {}},
        NtpCase{"KissOfDeath",
                answering(0, {.stratum = 0, .referenceId = "RATE"}),
                NtpError::None,
                Done,
                "The time server refused the request (RATE)!",
                {}},
        NtpCase{"Unsynchronised", answering(0, {.leap = 3}), NtpError::None, Done, "Inaccurate time from server!", {}},
        // The system keeps the clock itself: the refusal says how far off it was all the same.
        NtpCase{"AutomaticSync",
                answering(-0.004),
                NtpError::None,
                {ClockSetOutcome::AutomaticSyncOn, {}},
                Automatic + " The clock is 0.004 s ahead of NIST.",
                -4'000},
        NtpCase{"NotAllowed",
                answering(2),
                NtpError::None,
                {ClockSetOutcome::NotAllowed, "Access denied"},
                "Cannot set the clock: you are not allowed to change the system time!",
                2'000'000}),
    [](const testing::TestParamInfo<NtpCase>& test) { return test.param.name; });

TEST_F(TimeSyncTest, NtpQueryIsPacedWithTheDaytimeRequestsToTheSameHost)
{
    static qint64 now; // the program-wide pacing keeps this clock after the test
    now = 0;
    TimeServerPacing() = RequestPacing([] { return now; });
    fake.sleeper.onSleep = [](int ms) { now += ms; };
    fake.ntp.datagrams = answering(1);
    answer(FakeDaytimeClient::reply(Line));
    GetAtomicTime(Server);
    SyncLocalTime(Server, SyncMethod::Precise); // waits its turn, then counts as asking
    GetAtomicTime(Server);                      // waits again
    now += 4000;
    // Nothing sent, no connection made: the host was not asked, and nothing waits for it.
    fake.ntp.failure = NtpError::NoHost;
    SyncLocalTime(Server, SyncMethod::Precise);
    answer(FakeDaytimeClient::notConnected());
    GetAtomicTime(Server);
    GetAtomicTime(Server);
    EXPECT_EQ(fake.sleeper.sleeps, (std::vector<int>{4000, 4000}));
}

} // namespace
