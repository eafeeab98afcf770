#include "settings/AppSettings.h"
#include "shell/Splash.h"
#include "shell/frmMain.h"
#include "shell/frmSplash.h"
#include "shell/modMain.h"
#include "support/ConfiguredUser.h"
#include "support/FakeServices.h"
#include "widgets/Lifetime.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

// Records, in order, what the countdown line showed when it was painted and every sleep of the thread.
class CountdownTimeline final : public QObject {
public:
    QStringList events;
    void painted(const QString& caption)
    {
        // The platform may paint a freshly shown window more than once.
        if (events.isEmpty() || events.last() != "painted " + caption)
            events << "painted " + caption;
    }
    void slept(int ms) { events << "slept " + QString::number(ms); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const frmSplash* splash = LoadedSplashForm();
        if (event->type() == QEvent::Paint && splash && watched == splash->lblTimer)
            painted(splash->lblTimer->text());
        return false;
    }
};

class SplashTest : public testing::Test {
protected:
    void SetUp() override
    {
        AppSettings = {};
        Lifetime::setEndHandlers([this] { ++programEnds; }, [] {});
        qApp->installEventFilter(&timeline);
        fakes.sleeper.onSleep = [this](int ms) { timeline.slept(ms); };
    }
    void TearDown() override
    {
        qApp->removeEventFilter(&timeline);
        UnloadMainForm();
        QApplication::processEvents();
    }

    QTemporaryDir appDir;
    FakeServices fakes{appDir.path()};
    CountdownTimeline timeline;
    int programEnds = 0;
};

const QStringList CountdownEvents = {
    "painted Tolvane will continue in 5 seconds.",
    "slept 1000",
    "painted Tolvane will continue in 4 seconds.",
    "slept 1000",
    "painted Tolvane will continue in 3 seconds.",
    "slept 1000",
    "painted Tolvane will continue in 2 seconds.",
    "slept 1000",
    "painted Tolvane will continue in 1 seconds.",
    "slept 1000",
    "painted Tolvane is loading.",
};

TEST_F(SplashTest, CountsDownFiveSecondsPaintingEachCaptionBeforeItsSleep)
{
    ShowSplashCountdown();
    EXPECT_EQ(timeline.events, CountdownEvents);
    EXPECT_EQ(LoadedSplashForm(), nullptr) << "unloaded at the end";
    EXPECT_EQ(programEnds, 0) << "the splash alone never ends the program";
}

TEST_F(SplashTest, ShowsProductMakerAndAllThreeVersionNumbers)
{
    QStringList captions;
    fakes.sleeper.onSleep = [&](int) {
        const frmSplash* splash = LoadedSplashForm();
        if (!splash || !captions.isEmpty() || !splash->isVisible())
            return;
        for (const QLabel* label : {splash->lblProductName, splash->lblCompany, splash->lblCompanyProduct,
                                    splash->lblVersion, splash->lblPlatform, splash->lblTimer})
            captions << label->text();
    };
    ShowSplashCountdown();
    EXPECT_EQ(captions, QStringList({"Tolvane", "Orlentis", "Orlentis", "Version 1.0.0", "Win32",
                                     "Tolvane will continue in 5 seconds."}));
}

TEST_F(SplashTest, TwoCountdownsLoadTheWindowTwice)
{
    QList<QPointer<frmSplash>> loaded;
    fakes.sleeper.onSleep = [&](int) {
        if (loaded.isEmpty() || loaded.last() != LoadedSplashForm())
            loaded << LoadedSplashForm();
    };
    ShowSplashCountdown();
    ShowSplashCountdown();
    ASSERT_EQ(loaded.size(), 2);
    EXPECT_EQ(loaded[0], nullptr) << "the first window was released before the second was made";
    EXPECT_EQ(fakes.sleeper.sleeps.size(), 10u);
}

// A configured user with the given sound and splash switches, and the sound files in place.
void seedUser(FakeServices& fakes, const QString& appDir, const char* sound, const char* splash)
{
    SeedConfiguredUser(fakes.registry, "Ann");
    fakes.registry.values["Sound"] = sound;
    fakes.registry.values["Splash"] = splash;
    QDir(appDir).mkpath("Media");
    for (const char* cue : {"myfriend.wav", "goodbye.wav", "thunder.wav"}) {
        QFile file(appDir + "/Media/" + cue);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
}

TEST_F(SplashTest, StartUpCountsDownBeforeTheMainWindowLoads)
{
    seedUser(fakes, appDir.path(), "0", "1");
    bool mainDuringCountdown = false;
    fakes.sleeper.onSleep = [&](int) { mainDuringCountdown |= LoadedSplashForm() && LoadedMainForm(); };
    Main();
    EXPECT_FALSE(mainDuringCountdown);
    ASSERT_NE(LoadedMainForm(), nullptr);
    EXPECT_EQ(fakes.sleeper.sleeps, std::vector<int>({1000, 1000, 1000, 1000, 1000, 1000}))
        << "five countdown steps, then the main window's pause";
    EXPECT_EQ(programEnds, 0) << "no window was loaded yet when the splash unloaded";
}

TEST_F(SplashTest, UnloadWithSoundsOnSaysGoodbyeDuringTheCountdownThenRemovesTheIcon)
{
    seedUser(fakes, appDir.path(), "1", "0");
    Main();
    QApplication::processEvents();
    ASSERT_TRUE(fakes.tray.present);
    fakes.sound.played.clear();
    timeline.events.clear();
    QStringList duringCountdown;
    fakes.sleeper.onSleep = [&](int ms) {
        timeline.slept(ms);
        duringCountdown << QString("%1 cue(s), icon %2").arg(fakes.sound.played.size()).arg(fakes.tray.present);
    };

    LoadedMainForm()->mnuFileExit_Click();
    ASSERT_EQ(fakes.sound.played.size(), 1);
    EXPECT_TRUE(fakes.sound.played[0].endsWith("/Media/goodbye.wav")) << fakes.sound.played[0].toStdString();
    EXPECT_EQ(timeline.events, CountdownEvents);
    EXPECT_EQ(duringCountdown, QStringList(5, "1 cue(s), icon 1"));
    EXPECT_FALSE(fakes.tray.present);
    EXPECT_EQ(programEnds, 1);
}

TEST_F(SplashTest, UnloadWithSoundsOffIsImmediate)
{
    seedUser(fakes, appDir.path(), "0", "0");
    Main();
    QApplication::processEvents();
    fakes.sleeper.sleeps.clear();
    LoadedMainForm()->mnuExit_Click();
    EXPECT_TRUE(fakes.sleeper.sleeps.empty());
    EXPECT_TRUE(fakes.sound.played.isEmpty());
    EXPECT_FALSE(fakes.tray.present);
}

} // namespace
