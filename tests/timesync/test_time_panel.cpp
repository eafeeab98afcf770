// The time panel's buttons on a real main window, with every OS service faked.
#include "platform/Clock.h"
#include "platform/Services.h"
#include "settings/AppSettings.h"
#include "shell/frmMain.h"
#include "support/FakeServices.h"
#include "timesync/RequestPacing.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QStatusBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

namespace {

const QByteArray Line = "\n53191 04-07-05 14:23:05 50 0 0 754.9 UTC(NIST) *\n";
const QString Server = "time.nist.gov";

struct Exchange {
    QByteArray agent;
    QString status; // the status bar while the request ran
};

// A clock that moves on by a few milliseconds at every reading and tells who reads it.
class TickingClock final : public Clock {
public:
    mutable QDateTime now;
    int stepMs = 3;
    std::function<void()> onRead;
    QDateTime nowLocal() const override
    {
        if (onRead)
            onRead();
        const QDateTime reading = now;
        now = now.addMSecs(stepMs);
        return reading;
    }
};

class TimePanelTest : public testing::Test {
protected:
    TimePanelTest() : fake(appDir.path())
    {
        QDir(appDir.path()).mkpath("Media");
        QFile cue(appDir.filePath("Media/compete.wav"));
        cue.open(QIODevice::WriteOnly);
    }

    void SetUp() override
    {
        AppSettings = {};
        AppSettings.TimeServer = "time.nist.gov";
        AppSettings.Sound = "1";
        AppSettings.UTC = "1";
        AppSettings.PreciseTime = "0";
        TimeServerPacing() = RequestPacing([this] { return monotonicMs_; });
        fake.sleeper.onSleep = [this](int ms) { monotonicMs_ += ms; };
        fake.daytime.handler = [this](const DaytimeRequest& request) {
            exchanges.push_back({request.agent, window.statusText()});
            return request.host == Server && serverUp ? FakeDaytimeClient::reply(Line)
                                                      : FakeDaytimeClient::notConnected();
        };
    }

    void TearDown() override { QLocale::setDefault(QLocale::system()); }

    QTemporaryDir appDir;
    FakeServices fake;
    frmMain window;
    std::vector<Exchange> exchanges;
    bool serverUp = true;

private:
    qint64 monotonicMs_ = 0;
};

TEST_F(TimePanelTest, NistTimeShowsTheServersTime)
{
    window.cmdGetTime_Click();
    EXPECT_EQ(window.txtAtomicTime->text(), "04-07-05 14:23:05.754");
    ASSERT_EQ(exchanges.size(), 1U);
    EXPECT_EQ(exchanges[0].agent, "vb wininet");
    EXPECT_EQ(exchanges[0].status, "Checking time on time.nist.gov...");
    EXPECT_EQ(window.statusText(), "Ready");
    EXPECT_EQ(fake.bell.beeps, 0);
}

TEST_F(TimePanelTest, NistTimeBlanksTheLabelWhenTheServerIsAway)
{
    window.cmdGetTime_Click();
    serverUp = false;
    window.cmdGetTime_Click();
    EXPECT_EQ(window.txtAtomicTime->text(), "");
    EXPECT_EQ(fake.bell.beeps, 3);
    EXPECT_TRUE(fake.messages.shown.empty());
    EXPECT_EQ(window.statusText(), "Ready");
}

TEST_F(TimePanelTest, SynchronizeSetsTheClockAsksAgainAndRefreshes)
{
    window.cmdSynchronize_Click();

    ASSERT_EQ(fake.clockSetter.setTimes.size(), 1U);
    EXPECT_EQ(fake.clockSetter.setTimes[0], QDateTime(QDate(2004, 7, 5), QTime(14, 23, 4, 245), Qt::UTC));
    EXPECT_TRUE(fake.messages.shown.empty());
    ASSERT_EQ(exchanges.size(), 2U);
    EXPECT_EQ(exchanges[0].agent, "Tolvane");
    EXPECT_EQ(exchanges[1].agent, "vb wininet");
    for (const Exchange& exchange : exchanges)
        EXPECT_EQ(exchange.status, "Synchronizing local time with time.nist.gov");
    // The second request waited out NIST's four seconds, and the fake local clock moved on with it.
    EXPECT_EQ(fake.sleeper.sleeps, std::vector<int>{4000});
    EXPECT_EQ(window.txtAtomicTime->text(), "04-07-05 14:23:05.754");
    EXPECT_EQ(window.txtLocalTime->text(), "04-7-5 14:23:09.007");
    ASSERT_EQ(fake.sound.played.size(), 1);
    EXPECT_TRUE(fake.sound.played[0].endsWith("compete.wav"));
    EXPECT_EQ(window.statusText(), "Ready");
}

TEST_F(TimePanelTest, PreciseSynchronizeShowsTheOffsetAndAsksTheDaytimeServiceFourSecondsLater)
{
    AppSettings.PreciseTime = "1";
    fake.ntp.datagrams = [](const QByteArray& query) {
        return QList{NtpAnswerTo(query, {.received = SampleNtpTime + (NtpStamp(3) << 32),
                                         .transmitted = SampleNtpTime + (NtpStamp(3) << 32)})};
    };
    window.txtClockOffset->setText("an earlier measurement");
    window.cmdSynchronize_Click();

    EXPECT_TRUE(fake.messages.shown.empty());
    EXPECT_EQ(fake.clockSetter.shifts, std::vector<qint64>{3'000'000});
    EXPECT_EQ(fake.ntp.queries.size(), 1U);
    ASSERT_EQ(exchanges.size(), 1U) << "only the display asks the daytime service";
    EXPECT_EQ(exchanges[0].agent, "vb wininet");
    EXPECT_EQ(fake.sleeper.sleeps, std::vector<int>{4000});
    EXPECT_EQ(window.txtClockOffset->text(), "Clock was 3.000 s behind (\u00b10.125 s)");
    EXPECT_EQ(window.txtClockOffset->accessibleName(), window.txtClockOffset->text());

    fake.ntp.failure = NtpError::NoHost;
    window.cmdSynchronize_Click();
    EXPECT_EQ(window.txtClockOffset->text(), "") << "a synchronisation that measured nothing shows nothing";
}

TEST_F(TimePanelTest, SynchronizeGoesOnAfterAFailure)
{
    serverUp = false;
    window.txtAtomicTime->setText("old");
    size_t exchangesWhenTold = 0;
    fake.messages.onShow = [&](const ShownMessage&) { exchangesWhenTold = exchanges.size(); };
    window.cmdSynchronize_Click();

    ASSERT_EQ(fake.messages.shown.size(), 1U);
    EXPECT_EQ(fake.messages.shown[0].text, "Cannot find host!");
    EXPECT_EQ(fake.messages.shown[0].caption, "Tolvane");
    EXPECT_EQ(fake.messages.shown[0].icon, MessageIcon::None);
    EXPECT_EQ(exchangesWhenTold, 1U) << "told before the display request";
    EXPECT_TRUE(fake.clockSetter.setTimes.empty());
    EXPECT_EQ(exchanges.size(), 2U);
    EXPECT_EQ(window.txtAtomicTime->text(), "");
    EXPECT_EQ(fake.bell.beeps, 3);
    EXPECT_EQ(fake.sound.played.size(), 1);
    EXPECT_EQ(window.statusText(), "Ready");
}

TEST_F(TimePanelTest, SynchronizeWithSoundsOffPlaysNothing)
{
    AppSettings.Sound = "0";
    window.cmdSynchronize_Click();
    EXPECT_TRUE(fake.sound.played.isEmpty());
}

TEST_F(TimePanelTest, LocalTimeTakesMillisecondsFromTheSameReading)
{
    TickingClock clock;
    clock.now = QDateTime(QDate(2004, 7, 5), QTime(14, 23, 5, 998));
    QStringList statusWhileReading;
    clock.onRead = [&] { statusWhileReading << window.statusText(); };
    services().clock = &clock;

    window.cmdLocalTime_Click();
    // A second reading would give 14:23:06.001 and the label would show 14:23:05.001.
    EXPECT_EQ(window.txtLocalTime->text(), "04-7-5 14:23:05.998");
    EXPECT_EQ(statusWhileReading, QStringList{"Checking local time..."});
    EXPECT_EQ(window.statusText(), "Ready");
}

struct FormatCase {
    const char* name;
    QString utc;
    QDateTime now;
    QString label;
};

class LocalTimeFormatTest : public TimePanelTest, public testing::WithParamInterface<FormatCase> {};

TEST_P(LocalTimeFormatTest, ChosenByTheUtcSetting)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    AppSettings.UTC = GetParam().utc;
    fake.clock.now = GetParam().now;
    window.cmdLocalTime_Click();
    EXPECT_EQ(window.txtLocalTime->text(), GetParam().label);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, LocalTimeFormatTest,
    testing::Values(
        FormatCase{"TwentyFourHour", "1", QDateTime(QDate(2004, 12, 1), QTime(9, 5, 3, 0)), "04-12-1 9:05:03.000"},
        FormatCase{"Regional", "0", QDateTime(QDate(2004, 7, 5), QTime(14, 23, 5, 7)), "04-7-5 2:23:05 PM"},
        FormatCase{"RegionalWhenEmpty", "", QDateTime(QDate(2004, 12, 1), QTime(9, 5, 3, 0)), "04-12-1 9:05:03 AM"}),
    [](const testing::TestParamInfo<FormatCase>& test) { return test.param.name; });

TEST_F(TimePanelTest, LoadFillsBothTimeLabels)
{
    fake.registry.seed({{"My Name", "Ann"},
                        {"Station", "KDEN"},
                        {"Time Server", "time.nist.gov"},
                        {"Sound", "0"},
                        {"UTC", "1"},
                        {"Splash", "0"},
                        {"Update", "0"},
                        {"State", "Colorado"}});
    ASSERT_TRUE(window.Form_Load());
    EXPECT_EQ(window.txtAtomicTime->text(), "04-07-05 14:23:05.754");
    EXPECT_EQ(window.txtLocalTime->text(), "04-7-5 14:23:06.007"); // after the one-second pause
}

} // namespace
