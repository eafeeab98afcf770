// The SNTP query, what an answer is worth, and the offset and delay it measures: no network.
#include "support/NtpAnswer.h"
#include "timesync/Sntp.h"

#include <gtest/gtest.h>

namespace {

using enum SntpVerdict;

constexpr quint64 Nonce = 0x0123'4567'89ab'cdef;
constexpr NtpStamp Eighth = NtpStamp(1) << 29; // of a second
constexpr NtpStamp FiveSeconds = NtpStamp(5) << 32;
constexpr NtpStamp T1 = SampleNtpTime - Eighth;
constexpr NtpStamp T4 = SampleNtpTime + Eighth; // a round trip of a quarter second
const QByteArray Query = SntpQuery(Nonce);

QByteArray answer(const NtpAnswerFields& fields = {})
{
    return NtpAnswerTo(Query, fields);
}

TEST(SntpQuery, IsVersionFourClientModeCarryingOnlyTheNonce)
{
    EXPECT_EQ(Query.toHex(), "23" + QByteArray(78, '0') + "0123456789abcdef");
}

TEST(JudgeSntpAnswer, TakesOnlyAGoodAnswerToThisQuery)
{
    const struct {
        const char* name;
        QByteArray datagram;
        NtpStamp receivedAt;
        SntpVerdict verdict;
        QString kissCode = {};
    } cases[] = {
        {"good", answer(), T4, Good},
        {"version 3", answer({.version = 3}), T4, Good},
        {"stratum 15", answer({.stratum = 15}), T4, Good},
        {"round trip just under 5 s", answer(), T1 + FiveSeconds - 1, Good},
        // Dropped: the wait goes on for the real answer.
        {"short", answer().left(47), T4, NotTheAnswer},
        {"foreign origin", NtpAnswerTo(SntpQuery(Nonce + 1)), T4, NotTheAnswer},
        {"client mode", answer({.mode = 3}), T4, NotTheAnswer},
        {"version 2", answer({.version = 2}), T4, NotTheAnswer},
        {"zero transmit", answer({.received = 0, .transmitted = 0}), T4, NotTheAnswer},
        {"negative round trip", answer({.received = T1 - Eighth, .transmitted = T4 + Eighth}), T4, NotTheAnswer},
        {"round trip of 5 s", answer(), T1 + FiveSeconds, NotTheAnswer},
        // Told to the user, and nothing set.
        {"kiss", answer({.leap = 3, .stratum = 0, .referenceId = "RATE", .transmitted = 0}), T4, KissOfDeath, "RATE"},
        {"kiss code, printable only", answer({.stratum = 0, .referenceId = "DE\nY"}), T4, KissOfDeath, "DEY"},
        {"leap 3", answer({.leap = 3}), T4, Unsynchronised},
        {"stratum 16", answer({.stratum = 16}), T4, Unsynchronised},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SntpVerdict verdict = JudgeSntpAnswer(c.datagram, Nonce, T1, c.receivedAt);
        EXPECT_EQ(verdict, c.verdict);
        EXPECT_EQ(verdict == KissOfDeath ? KissCode(c.datagram) : QString(), c.kissCode);
    }
}

constexpr NtpStamp at(quint32 seconds, double fraction)
{
    return (NtpStamp(seconds) << 32) + NtpStamp(fraction * 0x1p32);
}

TEST(MeasureSntp, OffsetAndDelayFromTheFourStamps)
{
    const struct {
        const char* name;
        NtpStamp t1, t2, t3, t4;
        double offset, delay; // seconds, exact in binary
    } cases[] = {
        {"server ahead", at(100, 0), at(101, .125), at(101, .25), at(100, .5), .9375, .375},
        {"server behind", at(1000, 0), at(997, .25), at(997, .5), at(1000, .5), -2.875, .25},
        {"server past the era turn", at(0xffff'ffff, .5), at(0, .25), at(0, .5), at(0xffff'ffff, .875), .6875, .125},
        {"era turns during the exchange", at(0xffff'ffff, .75), at(0xffff'ffff, .875), at(0, 0), at(0, .25), -.0625,
         .375},
        {"68 years ahead", at(0, 0), at(0x7fff'ffff, 0), at(0x7fff'ffff, 0), at(0, 0), 0x7fff'ffff, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SntpMeasurement measured = MeasureSntp(c.t1, c.t2, c.t3, c.t4);
        EXPECT_EQ(measured.offset, qint64(c.offset * 0x1p32));
        EXPECT_EQ(measured.delay, qint64(c.delay * 0x1p32));
    }
}

TEST(NtpUnitsToMicroseconds, RoundsToTheNearest)
{
    // A microsecond is 4294.967296 units; 68 years of them must not overflow on the way.
    const std::pair<qint64, qint64> cases[] = {
        {2147, 0}, {2148, 1}, {-2147, 0}, {-2148, -1}, {0x7fff'ffffLL << 32, 2'147'483'647'000'000},
    };
    for (const auto& [units, microseconds] : cases)
        EXPECT_EQ(NtpUnitsToMicroseconds(units), microseconds) << units;
}

} // namespace
