#include "platform/TrayIcon.h"
#include "platform/fake/FakeServices.h"
#include "support/ConfiguredUser.h"
#include "settings/AppSettings.h"
#include "widgets/Lifetime.h"
#include "shell/MainWindow.h"
#include "shell/frmMain.h"
#include "shell/modMain.h"
#include "support/TextContrast.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <utility>

namespace {

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        AppSettings = {};
        Lifetime::setEndHandlers([this] { ++programEnds; }, [this] { ++immediateEnds; });
        SeedConfiguredUser(fakes.registry);
        fakes.clock.now = QDateTime(QDate(2004, 7, 5), QTime(14, 23, 5));
        // A feed document whose location line is the only one the load's refresh can read.
        QByteArray document;
        for (int line = 1; line <= 41; ++line)
            document += line == 1    ? "<current_observation>\r\n"
                        : line == 11 ? "<location>Chattanooga, Lovell Field, TN</location>\r\n"
                                     : "\r\n";
        fakes.http.answers.insert("http://www.weather.gov/data/current_obs/KCHA.xml", FakeHttpClient::reply(document));
    }
    void TearDown() override
    {
        UnloadMainForm();
        QApplication::processEvents();
    }

    QTemporaryDir appDir;
    FakeServices fakes{appDir.path()};
    int programEnds = 0;
    int immediateEnds = 0;
};

TEST_F(MainWindowTest, LoadGreetsByNameAndEndsReady)
{
    Main();
    frmMain* form = LoadedMainForm();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), "Ann's Tolvane Version 1.0");
    EXPECT_EQ(form->lblTitle->text(), "Good Afternoon Ann");
    EXPECT_EQ(form->fraWeather->title(), "Weather Forecast as reported by Chattanooga, Lovell Field, TN");
    EXPECT_EQ(form->statusText(), "Ready");
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(fakes.sleeper.sleeps, std::vector<int>{1000});
    EXPECT_TRUE(fakes.messages.shown.empty());
    EXPECT_TRUE(fakes.sound.played.isEmpty()) << "sounds are off";
}

// A wait handles window-system events, so any entry point can fire while a command waits: each
// one is refused, and the command's steps are not interleaved with another's.
TEST_F(MainWindowTest, NoSecondCommandStartsWhileOneWaits)
{
    Main();
    frmMain* form = LoadedMainForm();
    ASSERT_NE(form, nullptr);
    const struct {
        const char* entry;
        std::function<void(frmMain*)> fire;
    } entries[] = {
        {"button", [](frmMain* f) { f->cmdGetTime->click(); }},
        {"key", [](frmMain* f) {
             f->cmdSynchronize->setFocus();
             QTest::keyClick(f->cmdSynchronize, Qt::Key_Space);
         }},
        {"File menu", [](frmMain* f) { f->mnuFileTimeSync->trigger(); }},
        {"tray menu", [](frmMain* f) { f->mnuSysTime->trigger(); }},
        {"tray icon", [this](frmMain*) { fakes.tray.notify(TrayNotification::RightButtonUp); }},
        {"Exit", [](frmMain* f) { f->mnuExit->trigger(); }},
        {"close box", [](frmMain* f) { f->close(); }},
    };
    fakes.http.answers.clear();
    fakes.http.handler = [](const HttpRequest&) { return FakeHttpClient::notConnected(); };
    fakes.http.requests.clear();
    form->cmdGetWeather->click();
    const size_t refreshAlone = fakes.http.requests.size();
    for (const auto& entry : entries) {
        SCOPED_TRACE(entry.entry);
        bool fired = false;
        fakes.http.handler = [&](const HttpRequest&) {
            if (!std::exchange(fired, true))
                entry.fire(form);
            return FakeHttpClient::notConnected();
        };
        fakes.http.answers.clear();
        fakes.http.requests.clear();
        form->cmdGetWeather->click();
        ASSERT_TRUE(fired);
        ASSERT_EQ(fakes.http.requests.size(), refreshAlone) << "only the refresh asked anything";
        EXPECT_EQ(LoadedMainForm(), form) << "the window stays";
        EXPECT_FALSE(form->mnuSystray->isVisible());
        EXPECT_FALSE(form->busy()) << "the refresh has finished";
    }
    fakes.http.requests.clear();
    form->cmdGetWeather->click();
    EXPECT_EQ(fakes.http.requests.size(), refreshAlone) << "commands run again once nothing waits";
}

TEST_F(MainWindowTest, LateHoursGreetWithAndAnEmptyNameKeepsTheDesignedCaptions)
{
    fakes.clock.now = QDateTime(QDate(2004, 7, 5), QTime(23, 0));
    Main();
    EXPECT_EQ(LoadedMainForm()->lblTitle->text(), "Late Night with Ann");
    UnloadMainForm();

    fakes.registry.values["My Name"] = "";
    Main();
    frmMain* form = LoadedMainForm();
    EXPECT_EQ(form->lblTitle->text(), "Tolvane");
    EXPECT_EQ(form->windowTitle(), "Tolvane");
}

TEST_F(MainWindowTest, UnreadableSettingsAreToldOnceAndTheWindowStillOpens)
{
    fakes.registry.readProblem = "Tolvane.conf: it is not a valid settings file.";
    Main();
    UnloadMainForm();
    Main();
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_TRUE(fakes.messages.shown[0].text.contains("Tolvane.conf: it is not a valid settings file."));
    ASSERT_NE(LoadedMainForm(), nullptr);
    EXPECT_EQ(LoadedMainForm()->statusText(), "Ready");
}

TEST_F(MainWindowTest, SecondCopyIsRefusedAndEndsAtOnce)
{
    fakes.instance.otherCopy = true;
    Main();
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].text, "Tolvane is already running!");
    EXPECT_EQ(fakes.messages.shown[0].caption, "Tolvane");
    EXPECT_EQ(fakes.messages.shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(immediateEnds, 1);
    EXPECT_TRUE(fakes.sleeper.sleeps.empty()) << "no further load step runs";
}

TEST_F(MainWindowTest, UnloadEndsTheProgramOnlyWhenNoWindowIsLeft)
{
    Main();
    QApplication::processEvents(); // the window becomes active, which puts up its notification icon
    LoadedMainForm()->mnuMinimize_Click();
    QApplication::processEvents();
    EXPECT_FALSE(LoadedMainForm()->isVisible()) << "minimising hides the window";
    EXPECT_EQ(programEnds, 0) << "hidden is not closed";
    LoadedMainForm()->mnuRestore_Click();
    EXPECT_TRUE(LoadedMainForm()->isVisible());
    LoadedMainForm()->mnuFileExit_Click();
    EXPECT_EQ(LoadedMainForm(), nullptr);
    EXPECT_EQ(programEnds, 1);
}

TEST_F(MainWindowTest, MenusCarryTheirCaptionsAndShortcuts)
{
    Main();
    frmMain* form = LoadedMainForm();
    const auto captions = [](QMenu* menu) {
        QStringList items;
        for (QAction* action : menu->actions())
            items << (action->isSeparator() ? "-" : action->text() + "|" + action->shortcut().toString());
        return items;
    };
    EXPECT_EQ(captions(form->mnuFile), QStringList({"Update Weather|Ctrl+W", "TimeSync|Ctrl+T",
                                                    "Preferences|Ctrl+P", "-", "Exit|Ctrl+X"}));
    EXPECT_EQ(captions(form->mnuHelp), QStringList({"Online Help|Ctrl+H", "Visit us on the web|Ctrl+V",
                                                    "Update|Ctrl+U", "About|Ctrl+A"}));
    EXPECT_EQ(captions(form->mnuSystray), QStringList({"Weather|", "TimeSync|", "Preferences|", "About|", "-",
                                                       "Restore|", "Minimize|", "-", "Exit|"}));
    QStringList bar;
    for (QAction* action : form->menuBar()->actions())
        bar << action->text();
    EXPECT_EQ(bar, QStringList({"&File", "&Help"}));
}

TEST_F(MainWindowTest, EveryTextReadsUnderADarkPalette)
{
    const QPalette light = QApplication::palette();
    const auto restoreLight = qScopeGuard([&] { QApplication::setPalette(light); });
    QApplication::setPalette(DarkPalette());
    Main();
    const std::vector<MeasuredText> texts = MeasureTextContrast(LoadedMainForm());
    EXPECT_GE(texts.size(), 20u);
    for (const MeasuredText& text : texts)
        EXPECT_GE(text.contrast, 4.5) << text.control.toStdString() << ": " << text.text.toStdString();
}

} // namespace
