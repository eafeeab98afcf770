// The clock backends: timedated over D-Bus, tried against a fake timedated on a private bus, and the
// test for the process's own right to set the clock. Nothing here can reach the real clock.
#include "PrivateSystemBus.h"
#include "platform/Services.h"
#include "platform/linux/DbusClockSetter.h"
#include "platform/linux/KernelClockSetter.h"
#include "support/FakeServices.h"
#include "timesync/AtomicTime.h"
#include "timesync/RequestPacing.h"

#include <QDBusConnection>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace {

const QDateTime Instant(QDate(2004, 7, 5), QTime(14, 23, 4, 245), Qt::UTC);
// 2004-07-05 14:23:04.245 UTC in microseconds since 1970.
const QString InstantMicroseconds = "1089037384245000";

class DbusClockSetterTest : public testing::Test {
protected:
    static void SetUpTestSuite() { bus_ = std::make_unique<PrivateSystemBus>(); }
    static void TearDownTestSuite() { bus_.reset(); }

    void SetUp() override { ASSERT_FALSE(bus_->address().isEmpty()) << bus_->error().toStdString(); }

    // A fresh connection per test, so that each sees the bus as it is now.
    static QDBusConnection connect()
    {
        static int count = 0;
        return QDBusConnection::connectToBus(bus_->address(), QString("test%1").arg(++count));
    }

    static std::unique_ptr<PrivateSystemBus> bus_;
};

std::unique_ptr<PrivateSystemBus> DbusClockSetterTest::bus_;

TEST_F(DbusClockSetterTest, SendsAbsoluteOrRelativeMicrosecondsWithInteractiveAuthorisation)
{
    FakeTimedated timedated(bus_->address(), "ok");
    ASSERT_TRUE(timedated.ready());
    DbusClockSetter setter(&connect);
    EXPECT_EQ(setter.setUtc(Instant).outcome, ClockSetOutcome::Done);
    EXPECT_EQ(setter.shiftBy(-3'217'456).outcome, ClockSetOutcome::Done);
    EXPECT_EQ(timedated.calls(), QStringList({"SetTime xbb " + InstantMicroseconds + " false true interactive-flag",
                                              "SetTime xbb -3217456 true true interactive-flag"}));
}

struct ErrorCase {
    const char* name;
    QString errorName;
    ClockSetOutcome outcome;
};

class DbusErrorTest : public DbusClockSetterTest, public testing::WithParamInterface<ErrorCase> {};

TEST_P(DbusErrorTest, MapsTheRefusal)
{
    FakeTimedated timedated(bus_->address(), GetParam().errorName);
    ASSERT_TRUE(timedated.ready());
    DbusClockSetter setter(&connect);
    const ClockSetResult result = setter.setUtc(Instant);
    EXPECT_EQ(result.outcome, GetParam().outcome);
    EXPECT_EQ(result.detail, "The fake refuses.");
    EXPECT_EQ(timedated.calls().size(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, DbusErrorTest,
    testing::Values(ErrorCase{"AutomaticSync", "org.freedesktop.timedate1.AutomaticTimeSyncEnabled",
                              ClockSetOutcome::AutomaticSyncOn},
                    ErrorCase{"AccessDenied", "org.freedesktop.DBus.Error.AccessDenied", ClockSetOutcome::NotAllowed},
                    ErrorCase{"AuthorisationRequired", "org.freedesktop.DBus.Error.InteractiveAuthorizationRequired",
                              ClockSetOutcome::NotAllowed},
                    ErrorCase{"OtherError", "org.freedesktop.DBus.Error.InvalidArgs", ClockSetOutcome::Failed}),
    [](const testing::TestParamInfo<ErrorCase>& test) { return test.param.name; });

// The bus is opened on the first request, not when the setter is made (at start-up), and kept.
TEST_F(DbusClockSetterTest, ConnectsToTheBusOnlyWhenFirstAsked)
{
    FakeTimedated timedated(bus_->address(), "ok");
    ASSERT_TRUE(timedated.ready());
    int connections = 0;
    DbusClockSetter setter([&] {
        ++connections;
        return connect();
    });
    EXPECT_EQ(connections, 0);
    EXPECT_EQ(setter.setUtc(Instant).outcome, ClockSetOutcome::Done);
    EXPECT_EQ(setter.setUtc(Instant).outcome, ClockSetOutcome::Done);
    EXPECT_EQ(connections, 1);
    EXPECT_EQ(timedated.calls().size(), 2);
}

// While timedated waits (for a password, say) the thread goes on handling its events.
TEST_F(DbusClockSetterTest, WaitsForASlowAnswerWithoutBlockingTheThread)
{
    FakeTimedated timedated(bus_->address(), "ok@400");
    ASSERT_TRUE(timedated.ready());
    DbusClockSetter setter(&connect);
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(20);

    EXPECT_EQ(setter.setUtc(Instant).outcome, ClockSetOutcome::Done);

    EXPECT_GE(ticks, 3) << "events were not handled while the call was pending";
    EXPECT_EQ(timedated.calls().size(), 1);
}

TEST_F(DbusClockSetterTest, NobodyOwningTheNameIsNoService)
{
    DbusClockSetter setter(&connect);
    EXPECT_EQ(setter.setUtc(Instant).outcome, ClockSetOutcome::NoService);
}

TEST(DbusClockSetter, NoBusIsNoService)
{
    DbusClockSetter setter([] { return QDBusConnection::connectToBus("unix:path=/nonexistent/bus", "nobus"); });
    EXPECT_EQ(setter.setUtc(Instant).outcome, ClockSetOutcome::NoService);
}

TEST_F(DbusClockSetterTest, SynchronisingShowsWhyTheClockWasNotSet)
{
    FakeTimedated timedated(bus_->address(), "org.freedesktop.timedate1.AutomaticTimeSyncEnabled");
    ASSERT_TRUE(timedated.ready());
    FakeServices fake;
    TimeServerPacing() = RequestPacing([] { return qint64(0); });
    DbusClockSetter setter(&connect);
    services().clockSetter = &setter;
    fake.daytime.answers["time.nist.gov"] =
        FakeDaytimeClient::reply("\n53191 04-07-05 14:23:05 50 0 0 754.9 UTC(NIST) *\n");

    const SyncOutcome outcome = SyncLocalTime("time.nist.gov", SyncMethod::Daytime);

    EXPECT_EQ(timedated.calls(), QStringList{"SetTime xbb " + InstantMicroseconds + " false true interactive-flag"});
    EXPECT_EQ(outcome.message, "Cannot set the clock: automatic time synchronization is turned on!");
}

TEST(DbusErrorNames, ServiceMissingOrNotTimedatedIsNoService)
{
    for (const char* name : {"org.freedesktop.DBus.Error.ServiceUnknown", "org.freedesktop.DBus.Error.NameHasNoOwner",
                             "org.freedesktop.DBus.Error.Spawn.ChildExited", "org.freedesktop.DBus.Error.UnknownMethod",
                             "org.freedesktop.systemd1.UnitMasked"})
        EXPECT_EQ(OutcomeForDbusError(name), ClockSetOutcome::NoService) << name;
    EXPECT_EQ(OutcomeForDbusError("org.freedesktop.DBus.Error.NoReply"), ClockSetOutcome::Failed);
}

struct CapabilityCase {
    const char* name;
    QByteArray status;
    bool maySetClock;
};

class CapabilityTest : public testing::TestWithParam<CapabilityCase> {};

TEST_P(CapabilityTest, ReadsBit25OfTheEffectiveSet)
{
    EXPECT_EQ(EffectiveCapabilityInStatus(GetParam().status, 25), GetParam().maySetClock);
}

INSTANTIATE_TEST_SUITE_P(
    ProcStatus, CapabilityTest,
    testing::Values(CapabilityCase{"Root",
                                   "Name:\ttolvane\nCapInh:\t0000000000000000\nCapPrm:\t000001ffffffffff\n"
                                   "CapEff:\t000001ffffffffff\nCapBnd:\t000001ffffffffff\n",
                                   true},
                    CapabilityCase{"OnlySysTime", "CapEff:\t0000000002000000\n", true},
                    CapabilityCase{"AllButSysTime", "CapEff:\t000001fffdffffff\n", false},
                    CapabilityCase{"PermittedButNotEffective", "CapPrm:\t000001ffffffffff\nCapEff:\t0000000000000000\n",
                                   false},
                    CapabilityCase{"User", "CapEff:\t0000000000000000\n", false},
                    CapabilityCase{"NoLine", "Name:\ttolvane\n", false},
                    CapabilityCase{"Garbled", "CapEff:\tzz\n", false}),
    [](const testing::TestParamInfo<CapabilityCase>& test) { return test.param.name; });

struct TimespecCase {
    const char* name;
    QDateTime utc;
    time_t seconds;
    long nanoseconds;
};

class KernelTimespecTest : public testing::TestWithParam<TimespecCase> {};

TEST_P(KernelTimespecTest, SplitsIntoSecondsAndNanoseconds)
{
    const timespec when = TimespecFromMsecs(GetParam().utc.toMSecsSinceEpoch());
    EXPECT_EQ(when.tv_sec, GetParam().seconds);
    EXPECT_EQ(when.tv_nsec, GetParam().nanoseconds);
}

QDateTime utcAt(int year, int month, int day, int h, int m, int s, int ms)
{
    return QDateTime(QDate(year, month, day), QTime(h, m, s, ms), Qt::UTC);
}

INSTANTIATE_TEST_SUITE_P(
    Instants, KernelTimespecTest,
    testing::Values(TimespecCase{"Instant", Instant, 1089037384, 245'000'000},
                    // Before 1970 the second rounds down and the milliseconds carry into it.
                    TimespecCase{"LastMillisecondBefore1970", utcAt(1969, 12, 31, 23, 59, 59, 999), -1, 999'000'000},
                    TimespecCase{"WholeSecondBefore1970", utcAt(1969, 12, 31, 23, 59, 59, 0), -1, 0},
                    TimespecCase{"Year1930", utcAt(1930, 1, 1, 0, 0, 0, 1), -1262304000, 1'000'000}),
    [](const testing::TestParamInfo<TimespecCase>& test) { return test.param.name; });

TEST(KernelClockSetter, ShiftCarriesTheNanosecondsIntoTheSeconds)
{
    const struct {
        qint64 microseconds;
        timespec shifted;
    } cases[] = {{1'900'000, {102, 100'000'000}},
                 {-1'500'000, {98, 700'000'000}},
                 {-200'000, {100, 0}},
                 {0, {100, 200'000'000}}};
    for (const auto& c : cases) {
        const timespec shifted = ShiftedTimespec({100, 200'000'000}, c.microseconds);
        EXPECT_EQ(shifted.tv_sec, c.shifted.tv_sec) << c.microseconds;
        EXPECT_EQ(shifted.tv_nsec, c.shifted.tv_nsec) << c.microseconds;
    }
}

} // namespace
