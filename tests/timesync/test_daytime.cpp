// Reading the daytime reply, the display text, the clock instant, the local-time texts, the pacing
// of requests and the server list: everything of the time service that needs neither network nor
// window.
#include "platform/Sleeper.h"
#include "timesync/ClockOffset.h"
#include "timesync/ClockRecord.h"
#include "timesync/Daytime.h"
#include "timesync/RequestPacing.h"
#include "timesync/TimeDisplay.h"
#include "timesync/TimeServers.h"

#include <QSet>
#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

const QString Line = "53191 04-07-05 14:23:05 50 0 0 754.9 UTC(NIST) *";

QDateTime utc(int y, int mo, int d, int h, int mi, int s, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC);
}

// The worked line with one item replaced: 0 day number, 1 date, 2 time, 5 health, 6 advance.
QString lineWith(int item, const QString& text)
{
    QStringList items = Line.split(' ');
    items[item] = text;
    return items.join(' ');
}

struct ParseCase {
    const char* name;
    QString text;
    DaytimeStatus status;
    QDateTime time; // null unless usable
    qint16 advance; // 0 unless usable
};

class ParseDaytimeTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseDaytimeTest, ReadsStatusTimeAndAdvance)
{
    const ParseCase& c = GetParam();
    const DaytimeReading reading = ParseDaytime(c.text);
    EXPECT_EQ(reading.status, c.status);
    EXPECT_EQ(reading.instant, c.time);
    if (c.time.isValid()) {
        EXPECT_EQ(reading.instant.timeSpec(), Qt::UTC);
    }
    EXPECT_EQ(reading.advance, c.advance);
    // One rule for the display and the clock: what cannot be read is never shown either.
    if (c.status != DaytimeStatus::Unhealthy) {
        EXPECT_EQ(DaytimeDisplayText(c.text).isEmpty(), c.status == DaytimeStatus::Unreadable);
    }
}

constexpr DaytimeStatus Usable = DaytimeStatus::Usable;
constexpr DaytimeStatus Unreadable = DaytimeStatus::Unreadable;
constexpr DaytimeStatus Unhealthy = DaytimeStatus::Unhealthy;

const QDateTime WorkedTime = utc(2004, 7, 5, 14, 23, 5);

INSTANTIATE_TEST_SUITE_P(
    Replies, ParseDaytimeTest,
    testing::Values(
        ParseCase{"WorkedExample", Line, Usable, WorkedTime, 7549},
        ParseCase{"LeadingAndTrailingLineFeed", "\n" + Line + "\n", Usable, WorkedTime, 7549},
        ParseCase{"TrailingSpaces", Line + "   ", Usable, WorkedTime, 7549},
        ParseCase{"NoiseBeforeTheDayNumber", "HTTP/1.0 200 OK\r\n\r\n" + Line, Usable, WorkedTime, 7549},
        ParseCase{"EndsAtTheAdvance", Line.left(36), Usable, WorkedTime, 7549},
        ParseCase{"AdvanceFiftyMs", lineWith(6, "050.0"), Usable, WorkedTime, 500},
        ParseCase{"AdvanceZero", lineWith(6, "000.0"), Usable, WorkedTime, 0},
        ParseCase{"AdvanceLeadingSpace", lineWith(6, " 50.0"), Usable, WorkedTime, 500},
        ParseCase{"Year29Is2029", lineWith(0, "62137").replace("04-07-05", "29-01-01"), Usable,
                  utc(2029, 1, 1, 14, 23, 5), 7549},
        ParseCase{"Year30Is1930", lineWith(0, "25977").replace("04-07-05", "30-01-01"), Usable,
                  utc(1930, 1, 1, 14, 23, 5), 7549},
        ParseCase{"LastSecondOfDay", lineWith(2, "23:59:59"), Usable, utc(2004, 7, 5, 23, 59, 59), 7549},
        ParseCase{"LeapDay", lineWith(0, "53064").replace("04-07-05", "04-02-29"), Usable, utc(2004, 2, 29, 14, 23, 5),
                  7549},
        // The day number must agree with the date: a clock is never set decades away.
        ParseCase{
            "DayNumberDisagreesWithDate", lineWith(0, "60000").replace("04-07-05", "99-12-31"), Unreadable, {}, 0},
        ParseCase{"DayNumberMissing", Line.mid(6), Unreadable, {}, 0},
        ParseCase{"DayNumberGarbled", lineWith(0, "5319x"), Unreadable, {}, 0},
        // The server says its time is not good.
        ParseCase{"HealthOne", lineWith(5, "1"), Unhealthy, {}, 0},
        ParseCase{"HealthTwo", lineWith(5, "2"), Unhealthy, {}, 0},
        ParseCase{"HealthLetter", lineWith(5, "x"), Unhealthy, {}, 0},
        ParseCase{"CutAfterTime", Line.left(23), Unhealthy, {}, 0},
        // Date and time are tested before the health.
        ParseCase{"BadDateAndBadHealth", lineWith(5, "1").replace("04-07-05", "04-13-05"), Unreadable, {}, 0},
        ParseCase{"ThirtiethOfFebruary", lineWith(1, "04-02-30"), Unreadable, {}, 0},
        ParseCase{"TwentyNinthOfFebruaryNoLeapYear", lineWith(1, "05-02-29"), Unreadable, {}, 0},
        ParseCase{"DayZero", lineWith(1, "04-07-00"), Unreadable, {}, 0},
        ParseCase{"Hour24", lineWith(2, "24:00:00"), Unreadable, {}, 0},
        ParseCase{"Minute60", lineWith(2, "14:60:05"), Unreadable, {}, 0},
        ParseCase{"Second60", lineWith(2, "14:23:60"), Unreadable, {}, 0},
        ParseCase{"LettersInDate", lineWith(1, "04-O7-05"), Unreadable, {}, 0},
        ParseCase{"SignInTime", lineWith(2, "+4:23:05"), Unreadable, {}, 0},
        // No room before the colon, or no colon at all.
        ParseCase{"ColonAtEleven", Line.mid(7), Unreadable, {}, 0},
        ParseCase{"ColonFirst", ":" + Line, Unreadable, {}, 0},
        ParseCase{"NoColon", "53191 04-07-05 14.23.05 50 0 0 754.9 UTC(NIST) *", Unreadable, {}, 0},
        ParseCase{"Empty", "", Unreadable, {}, 0},
        ParseCase{
            "HttpErrorPage", "HTTP/1.1 400 Bad Request\r\nServer: x\r\nContent-Length: 0\r\n\r\n", Unreadable, {}, 0},
        // An advance that does not read as a number is not trusted.
        ParseCase{"AdvanceLetters", lineWith(6, "7a4.9"), Unreadable, {}, 0},
        ParseCase{"AdvanceTooShort", lineWith(6, "54.9"), Unreadable, {}, 0},
        ParseCase{"AdvanceTooLong", lineWith(6, "1754.9"), Unreadable, {}, 0},
        ParseCase{"AdvanceSpaceInside", lineWith(6, "7 4.9"), Unreadable, {}, 0},
        ParseCase{"AdvanceNegative", lineWith(6, "-82.5"), Unreadable, {}, 0},
        ParseCase{"AdvanceLetterInside", lineWith(6, "8x1.0"), Unreadable, {}, 0},
        // An advance wider than its five columns would be read cut short.
        ParseCase{"AdvanceOverflowsItsColumns", lineWith(6, "99999.9"), Unreadable, {}, 0},
        ParseCase{"AdvanceWithTwoDecimals", lineWith(6, "754.99"), Unreadable, {}, 0},
        ParseCase{"AdvanceWithoutPoint", lineWith(6, "75449"), Unreadable, {}, 0},
        ParseCase{"CutInsideAdvance", Line.left(34), Unreadable, {}, 0}),
    [](const testing::TestParamInfo<ParseCase>& test) { return test.param.name; });

struct DisplayCase {
    const char* name;
    QString reply;
    QString text;
};

class DisplayTextTest : public testing::TestWithParam<DisplayCase> {};

TEST_P(DisplayTextTest, IsDateTimeAndAdvanceDigits)
{
    EXPECT_EQ(DaytimeDisplayText(GetParam().reply), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, DisplayTextTest,
    testing::Values(DisplayCase{"WorkedExample", Line, "04-07-05 14:23:05.754"},
                    DisplayCase{"LineFeedsAround", "\n" + Line + "\n", "04-07-05 14:23:05.754"},
                    DisplayCase{"NoiseBefore", "HTTP/1.0 200 OK\r\n\r\n" + Line, "04-07-05 14:23:05.754"},
                    DisplayCase{"LeadingSpacesOfTheAdvanceAsZeros", lineWith(6, " 50.0"), "04-07-05 14:23:05.050"},
                    DisplayCase{"ServerUnhealthy", lineWith(5, "1"), "04-07-05 14:23:05.754"},
                    DisplayCase{"ServerUnhealthyAndAdvanceGarbled", lineWith(5, "1").replace("754.9", "7x4.9"), ""}),
    [](const testing::TestParamInfo<DisplayCase>& test) { return test.param.name; });

struct InstantCase {
    const char* name;
    QDateTime server;
    qint16 advance;
    QDateTime clock;
};

class ClockInstantTest : public testing::TestWithParam<InstantCase> {};

TEST_P(ClockInstantTest, IsServerTimeLessAdvance)
{
    const InstantCase& c = GetParam();
    const QDateTime instant = ClockInstant(c.server, c.advance);
    EXPECT_EQ(instant, c.clock) << instant.toString(Qt::ISODateWithMs).toStdString();
    EXPECT_EQ(instant.timeSpec(), Qt::UTC);
}

INSTANTIATE_TEST_SUITE_P(
    Advances, ClockInstantTest,
    testing::Values(InstantCase{"WorkedExample", WorkedTime, 7549, utc(2004, 7, 5, 14, 23, 4, 245)},
                    InstantCase{"ZeroAdvance", WorkedTime, 0, utc(2004, 7, 5, 14, 23, 5, 0)},
                    InstantCase{"HalfSecond", WorkedTime, 5000, utc(2004, 7, 5, 14, 23, 4, 500)},
                    InstantCase{"HalfUpToEven", WorkedTime, 7545, utc(2004, 7, 5, 14, 23, 4, 246)},
                    InstantCase{"HalfDownToEven", WorkedTime, 7535, utc(2004, 7, 5, 14, 23, 4, 246)},
                    InstantCase{"NewYearRollsBackAYear", utc(2004, 1, 1, 0, 0, 0), 7549,
                                utc(2003, 12, 31, 23, 59, 59, 245)},
                    // Half a millisecond rounds to the even neighbour: the server's own second.
                    InstantCase{"FiveTenths", WorkedTime, 5, utc(2004, 7, 5, 14, 23, 5, 0)},
                    InstantCase{"LargestAdvance", WorkedTime, 9999, utc(2004, 7, 5, 14, 23, 4, 0)},
                    // A negative advance puts the clock after the server's second.
                    InstantCase{"NegativeAdvance", WorkedTime, -123, utc(2004, 7, 5, 14, 23, 5, 12)},
                    InstantCase{"NegativeHalf", WorkedTime, -5, utc(2004, 7, 5, 14, 23, 5, 0)},
                    InstantCase{"NegativeIntoNewYear", utc(2004, 12, 31, 23, 59, 59), -9999, utc(2005, 1, 1, 0, 0, 0)}),
    [](const testing::TestParamInfo<InstantCase>& test) { return test.param.name; });

TEST(ClockInstant, WithinHalfAMillisecondForEveryAdvanceTheFieldHolds)
{
    for (int advance = -9999; advance <= 9999; ++advance) {
        const QDateTime instant = ClockInstant(WorkedTime, qint16(advance));
        // (instant - server) in tenths, plus the advance, is the rounding error.
        const qint64 error = WorkedTime.msecsTo(instant) * 10 + advance;
        ASSERT_LE(qAbs(error), 5) << "advance " << advance;
        ASSERT_TRUE(instant.time().msec() >= 0 && instant.time().msec() <= 999);
    }
}

TEST(ClockOffset, ToldInMillisecondsWithTheHalfRoundTrip)
{
    const struct {
        ClockOffset measured;
        QString text, sentence;
    } cases[] = {
        {{3'217'456, 40'000}, "Clock was 3.217 s behind (\u00b10.020 s)", "The clock is 3.217 s behind NIST."},
        {{-4'000, 1'000}, "Clock was 0.004 s ahead (\u00b10.001 s)", "The clock is 0.004 s ahead of NIST."},
        {{-1'999'500, 2'998}, "Clock was 2.000 s ahead (\u00b10.001 s)", "The clock is 2.000 s ahead of NIST."},
        {{86'400'000'499, 0}, "Clock was 86400.000 s behind (\u00b10.000 s)", "The clock is 86400.000 s behind NIST."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClockOffsetText(c.measured), c.text);
        EXPECT_EQ(ClockOffsetSentence(c.measured), c.sentence);
    }
}

struct LocalTextCase {
    const char* name;
    QDateTime reading;
    QString text24;
    QString textUs;
};

class LocalTimeTextTest : public testing::TestWithParam<LocalTextCase> {};

TEST_P(LocalTimeTextTest, BothFormats)
{
    const LocalTextCase& c = GetParam();
    EXPECT_EQ(LocalTime24Text(c.reading), c.text24);
    EXPECT_EQ(LocalTimeRegionalText(c.reading, QLocale(QLocale::English, QLocale::UnitedStates)), c.textUs);
}

QDateTime local(int y, int mo, int d, int h, int mi, int s, int ms)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms));
}

INSTANTIATE_TEST_SUITE_P(
    Readings, LocalTimeTextTest,
    testing::Values(
        LocalTextCase{"Afternoon", local(2004, 7, 5, 14, 23, 5, 7), "04-7-5 14:23:05.007", "04-7-5 2:23:05 PM"},
        LocalTextCase{"Morning", local(2004, 12, 1, 9, 5, 3, 0), "04-12-1 9:05:03.000", "04-12-1 9:05:03 AM"},
        LocalTextCase{"Midnight", local(2010, 1, 2, 0, 0, 0, 999), "10-1-2 0:00:00.999", "10-1-2 12:00:00 AM"},
        LocalTextCase{"Noon", local(1999, 10, 31, 12, 0, 59, 100), "99-10-31 12:00:59.100", "99-10-31 12:00:59 PM"}),
    [](const testing::TestParamInfo<LocalTextCase>& test) { return test.param.name; });

TEST(LocalTimeText, RegionalFormatFollowsTheLocaleWithoutZoneName)
{
    const QDateTime reading = local(2004, 7, 5, 14, 23, 5, 7);
    EXPECT_EQ(LocalTimeRegionalText(reading, QLocale(QLocale::German, QLocale::Germany)), "04-7-5 14:23:05");
    EXPECT_EQ(LocalTimeRegionalText(reading, QLocale::c()), "04-7-5 14:23:05");
}

class RecordingSleeper final : public Sleeper {
public:
    std::vector<int> sleeps;
    qint64* now = nullptr;
    void sleepMs(int milliseconds) override
    {
        sleeps.push_back(milliseconds);
        *now += milliseconds;
    }
};

struct PacingCase {
    const char* name;
    QString firstHost;
    qint64 pauseMs; // between the end of the first exchange and the next request
    QString secondHost;
    std::vector<int> sleeps;
};

class RequestPacingTest : public testing::TestWithParam<PacingCase> {};

TEST_P(RequestPacingTest, WaitsOutFourSecondsPerHost)
{
    const PacingCase& c = GetParam();
    qint64 now = 100'000;
    RecordingSleeper sleeper;
    sleeper.now = &now;
    RequestPacing pacing([&] { return now; });

    pacing.waitTurn(c.firstHost, sleeper);
    now += 250; // the exchange itself
    pacing.markAsked(c.firstHost);
    now += c.pauseMs;
    pacing.waitTurn(c.secondHost, sleeper);
    EXPECT_EQ(sleeper.sleeps, c.sleeps);
}

INSTANTIATE_TEST_SUITE_P(Requests, RequestPacingTest,
                         testing::Values(PacingCase{"AtOnce", "time.nist.gov", 0, "time.nist.gov", {4000}},
                                         PacingCase{"AfterOneSecond", "time.nist.gov", 1000, "time.nist.gov", {3000}},
                                         PacingCase{"JustUnder", "time.nist.gov", 3999, "time.nist.gov", {1}},
                                         PacingCase{"AfterFourSeconds", "time.nist.gov", 4000, "time.nist.gov", {}},
                                         PacingCase{"LongAfter", "time.nist.gov", 60'000, "time.nist.gov", {}},
                                         PacingCase{"HostNamesIgnoreCase", "time.nist.gov", 0, "TIME.NIST.GOV", {4000}},
                                         PacingCase{"OtherHost", "time.nist.gov", 0, "time-a-g.nist.gov", {}}),
                         [](const testing::TestParamInfo<PacingCase>& test) { return test.param.name; });

TEST(TimeServerNames, FourteenDistinctBareHostNamesInTheirFixedOrder)
{
    const QStringList names = TimeServerNames();
    ASSERT_EQ(names.size(), 14);
    EXPECT_EQ(names.first(), "utcnist.colorado.edu") << "the default";
    EXPECT_EQ(names.mid(1, 2), QStringList({"utcnist2.colorado.edu", "time.nist.gov"}));
    EXPECT_EQ(names.last(), "time-d-wwv.nist.gov");
    EXPECT_EQ(QSet<QString>(names.begin(), names.end()).size(), 14);
    for (const QString& name : names) {
        EXPECT_FALSE(name.contains(':') || name.contains('/') || name.contains(' ')) << name.toStdString();
        EXPECT_EQ(name, name.toLower());
    }
    for (const QString& name : names.mid(2))
        EXPECT_TRUE(name.endsWith(".nist.gov")) << name.toStdString();
}

} // namespace
