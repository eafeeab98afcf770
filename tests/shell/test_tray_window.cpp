#include "core/TrayIconData.h"
#include "platform/TrayIcon.h"
#include "settings/AppSettings.h"
#include "shell/frmMain.h"
#include "shell/frmPreferences.h"
#include "shell/modMain.h"
#include "support/ConfiguredUser.h"
#include "support/FakeServices.h"
#include "widgets/Lifetime.h"

#include <QApplication>
#include <QMenu>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr const char* FeedUrl = "http://www.weather.gov/data/current_obs/KCHA.xml";
constexpr const char* TimeServer = "utcnist.colorado.edu";

class TrayWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        AppSettings = {};
        TrayIconData = {};
        Lifetime::setEndHandlers([this] { ++programEnds; }, [this] { ++immediateEnds; });
        SeedConfiguredUser(fakes.registry);
    }
    void TearDown() override
    {
        UnloadPreferencesForm();
        UnloadMainForm();
        QApplication::processEvents();
    }

    // Starts the program and lets the main window become active, as a desktop would.
    frmMain* start()
    {
        Main();
        QApplication::processEvents();
        return LoadedMainForm();
    }

    int requestsTo(const QString& url) const
    {
        int count = 0;
        for (const auto& request : fakes.http.requests)
            count += request.url == url;
        return count;
    }

    int daytimeQuestionsTo(const QString& host) const
    {
        int count = 0;
        for (const auto& request : fakes.daytime.requests)
            count += request.host == host;
        return count;
    }

    QTemporaryDir appDir;
    FakeServices fakes{appDir.path()};
    int programEnds = 0;
    int immediateEnds = 0;
};

TEST_F(TrayWindowTest, LoadOnlyFillsTheRecordAndActivationAddsTheIconWithTheNameTip)
{
    QString tipDuringLoad;
    bool iconDuringLoad = true;
    fakes.sleeper.onSleep = [&](int) {
        tipDuringLoad = TrayIconData.tip();
        iconDuringLoad = fakes.tray.present;
    };
    frmMain* form = start();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(tipDuringLoad, "Tolvane");
    EXPECT_FALSE(iconDuringLoad) << "no icon before the first activation";

    ASSERT_TRUE(form->isActiveWindow());
    EXPECT_TRUE(fakes.tray.present);
    EXPECT_EQ(fakes.tray.tip, "Ann's Tolvane");
    EXPECT_EQ(TrayIconData.tip(), "Ann's Tolvane");
    EXPECT_EQ(TrayIconData.hWnd, static_cast<quint32>(form->winId()));
}

TEST_F(TrayWindowTest, ALaterActivationRefillsTheRecordButTheFirstTipStays)
{
    frmMain* form = start();
    const int addsSoFar = fakes.tray.adds;
    AppSettings.MyName = "Bob";
    form->Form_Activate();
    EXPECT_EQ(fakes.tray.adds, addsSoFar + 1) << "every activation asks for the icon";
    EXPECT_EQ(TrayIconData.tip(), "Bob's Tolvane");
    EXPECT_EQ(fakes.tray.tip, "Ann's Tolvane");
}

TEST_F(TrayWindowTest, IconNotificationsRestoreOrPopUpTheMenuAndNothingElse)
{
    const struct {
        int code;
        bool shown;
        bool menu;
    } cases[] = {{0x0203, true, false}, {0x0205, false, true}, {0x0200, false, false}};
    frmMain* form = start();
    for (const auto& c : cases) {
        form->mnuMinimize_Click();
        QApplication::processEvents();
        ASSERT_FALSE(form->isVisible());
        fakes.tray.notify(c.code);
        QApplication::processEvents();
        EXPECT_EQ(form->isVisible(), c.shown) << c.code;
        EXPECT_EQ(form->mnuSystray->isVisible(), c.menu) << c.code;
        if (c.shown) {
            EXPECT_FALSE(form->isMinimized()) << "brought back in the normal state";
        }
        form->mnuSystray->hide();
    }
    EXPECT_TRUE(fakes.tray.present) << "hiding keeps the icon";
    EXPECT_EQ(programEnds, 0) << "hidden is not closed";
}

TEST_F(TrayWindowTest, WithoutAnIconOnShowMinimisingKeepsTheWindow)
{
    const struct {
        const char* name;
        bool hasTray;
        bool iconAdded;
    } cases[] = {{"no notification area", false, true}, {"never activated, so no icon", true, false}};
    for (const auto& c : cases) {
        fakes.tray.hasTray = c.hasTray;
        frmMain* form = start();
        if (!c.iconAdded)
            fakes.tray.remove();
        form->mnuMinimize_Click();
        QApplication::processEvents();
        EXPECT_TRUE(form->isMinimized()) << c.name;
        EXPECT_TRUE(form->isVisible()) << c.name << ": it could not be reached again if it hid";
        UnloadMainForm();
    }
}

TEST_F(TrayWindowTest, TrayWeatherAndTimeSyncBringTheWindowBackFirst)
{
    frmMain* form = start();
    const int feedBefore = requestsTo(FeedUrl);
    form->mnuMinimize_Click();
    QApplication::processEvents();
    form->mnuSysWeather->trigger();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(requestsTo(FeedUrl), feedBefore + 1);

    const int daytimeBefore = daytimeQuestionsTo(TimeServer);
    form->mnuMinimize_Click();
    QApplication::processEvents();
    form->mnuSysTime->trigger();
    EXPECT_TRUE(form->isVisible());
    EXPECT_GT(daytimeQuestionsTo(TimeServer), daytimeBefore) << "the synchronisation asked the server";
}

TEST_F(TrayWindowTest, PreferencesFromEitherMenuRemovesTheIconUntilTheDialogCloses)
{
    for (QAction* frmMain::*item : {&frmMain::mnuSysPref, &frmMain::mnuFilePref}) {
        programEnds = 0;
        frmMain* form = start();
        ASSERT_TRUE(fakes.tray.present);
        (form->*item)->trigger();
        QApplication::processEvents();
        EXPECT_FALSE(fakes.tray.present);
        EXPECT_EQ(LoadedMainForm(), nullptr);
        ASSERT_NE(LoadedPreferencesForm(), nullptr);
        EXPECT_TRUE(LoadedPreferencesForm()->isVisible());
        EXPECT_EQ(programEnds, 0) << "the dialog keeps the program alive";

        AppSettings.MyName.clear();
        LoadedPreferencesForm()->cmdCancel_Click();
        QApplication::processEvents();
        ASSERT_NE(LoadedMainForm(), nullptr) << "closing the dialog brings a new main window";
        EXPECT_TRUE(fakes.tray.present);
        EXPECT_EQ(fakes.tray.tip, "Ann's Tolvane") << "a new window adds the icon anew";
        UnloadMainForm();
    }
}

TEST_F(TrayWindowTest, UnloadRemovesTheIconAndItsNotificationsGoNowhere)
{
    frmMain* form = start();
    form->mnuExit->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(fakes.tray.present);
    EXPECT_EQ(programEnds, 1);
    fakes.tray.present = true; // a late message from the desktop
    fakes.tray.notify(0x0203);
    QApplication::processEvents();
    EXPECT_EQ(LoadedMainForm(), nullptr);
}

} // namespace
