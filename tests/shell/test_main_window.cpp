#include "platform/TrayIcon.h"
#include "settings/AppSettings.h"
#include "shell/frmMain.h"
#include "shell/modMain.h"
#include "support/ConfiguredUser.h"
#include "support/FakeServices.h"
#include "support/TextContrast.h"
#include "widgets/ClickableLabel.h"
#include "widgets/Lifetime.h"

#include <QAccessible>
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

void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

// A feed document with the given wind and temperature; the other values are short.
QByteArray observation(const QString& wind, const QString& temperature)
{
    return QString("<current_observation>\r\n<location>Chattanooga, Lovell Field, TN</location>\r\n"
                   "<observation_time>Last Updated on Nov 27, 2:53 pm EST</observation_time>\r\n"
                   "<weather>Partly Cloudy</weather>\r\n<temp_f>%2</temp_f>\r\n"
                   "<relative_humidity>43</relative_humidity>\r\n<wind_string>%1</wind_string>\r\n"
                   "<pressure_in>30.12</pressure_in>\r\n<dewpoint_f>41</dewpoint_f>\r\n"
                   "<visibility>10.00</visibility>\r\n</current_observation>\r\n")
        .arg(wind, temperature)
        .toLatin1();
}

int weatherRequests(const FakeHttpClient& http)
{
    return static_cast<int>(std::count_if(http.requests.begin(), http.requests.end(),
                                          [](const HttpRequest& r) { return r.url.contains("/current_obs/"); }));
}

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
        {"key",
         [](frmMain* f) {
             f->cmdSynchronize->setFocus();
             QTest::keyClick(f->cmdSynchronize, Qt::Key_Space);
         }},
        {"File menu", [](frmMain* f) { f->mnuFileTimeSync->trigger(); }},
        {"tray menu", [](frmMain* f) { f->mnuSysTime->trigger(); }},
        {"tray icon", [this](frmMain*) { fakes.tray.notify(TrayNotification::RightButtonUp); }},
        {"Exit", [](frmMain* f) { f->mnuExit->trigger(); }},
        {"close box", [](frmMain* f) { f->close(); }},
        {"Enter",
         [](frmMain* f) {
             f->cmdGetTime->setFocus();
             QTest::keyClick(f->cmdGetTime, Qt::Key_Return);
         }},
        {"F5", [](frmMain* f) { QTest::keyClick(f, Qt::Key_F5); }},
        {"Ctrl+Q", [](frmMain* f) { QTest::keyClick(f, Qt::Key_Q, Qt::ControlModifier); }},
    };
    QApplication::setActiveWindow(form); // the keys reach the window as on a desktop
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
        fakes.daytime.requests.clear();
        form->cmdGetWeather->click();
        ASSERT_TRUE(fired);
        ASSERT_EQ(fakes.http.requests.size(), refreshAlone) << "only the refresh asked anything";
        EXPECT_TRUE(fakes.daytime.requests.empty()) << "no time command started";
        EXPECT_EQ(LoadedMainForm(), form) << "the window stays";
        EXPECT_FALSE(form->mnuSystray->isVisible());
        EXPECT_FALSE(form->busy()) << "the refresh has finished";
    }
    fakes.http.handler = [](const HttpRequest&) { return FakeHttpClient::notConnected(); };
    fakes.http.requests.clear();
    form->cmdGetWeather->click();
    EXPECT_EQ(fakes.http.requests.size(), refreshAlone) << "commands run again once nothing waits";
}

TEST_F(MainWindowTest, AnEmptyNameKeepsTheDesignedCaptions)
{
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
    EXPECT_EQ(captions(form->mnuFile),
              QStringList({"Update Weather|Ctrl+W", "TimeSync|Ctrl+T", "Preferences|Ctrl+P", "-", "Exit|Ctrl+X"}));
    EXPECT_EQ(captions(form->mnuHelp),
              QStringList({"Online Help|Ctrl+H", "Visit us on the web|Ctrl+V", "Update|Ctrl+U", "About|Ctrl+A"}));
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

TEST_F(MainWindowTest, LongValuesAreShortenedWithAnEllipsisAndKeptWholeForTooltipsAndScreenReaders)
{
    const QString wind = "from the Northwest at 23.0 gusting to 35.1 MPH (20 gusting to 31 KT)";
    fakes.http.answers.insert("http://www.weather.gov/data/current_obs/KCHA.xml",
                              FakeHttpClient::reply(observation(wind, "-12.0")));
    Main();
    frmMain* form = LoadedMainForm();
    const struct {
        ElidingLabel* label;
        QString whole;
        bool shortened;
    } values[] = {
        {form->txtWind, "Wind " + wind, true},
        {form->txtTemp, QString::fromUtf8("-12.0° Farenheit"), true},
        {form->txtHumidity, "43%", false},
    };
    for (const auto& v : values) {
        SCOPED_TRACE(v.whole.toStdString());
        EXPECT_EQ(v.label->text(), v.whole);
        const QString shown = v.label->shownText();
        EXPECT_LE(v.label->fontMetrics().horizontalAdvance(shown), v.label->contentsRect().width());
        if (v.shortened) {
            EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
            EXPECT_TRUE(v.whole.startsWith(shown.chopped(1))) << "cut at the end, nowhere else";
            EXPECT_EQ(v.label->toolTip(), v.whole);
            EXPECT_EQ(v.label->accessibleDescription(), v.whole);
        } else {
            EXPECT_EQ(shown, v.whole);
            EXPECT_EQ(v.label->toolTip(), "") << "no tooltip for a value shown whole";
        }
    }

    // A shorter value later takes the tooltip back.
    fakes.http.answers.insert("http://www.weather.gov/data/current_obs/KCHA.xml",
                              FakeHttpClient::reply(observation("Calm", "54")));
    form->cmdGetWeather_Click();
    EXPECT_EQ(form->txtWind->shownText(), "Wind Calm");
    EXPECT_EQ(form->txtWind->toolTip(), "");
    EXPECT_EQ(form->txtWind->accessibleDescription(), "");
}

TEST(ElidingLabel, KeepsItsSuffixVisibleAndATooltipSetByOthers)
{
    ElidingLabel label;
    label.setFont(QFont("DejaVu Sans", 9));
    label.resize(label.fontMetrics().horizontalAdvance("Last Updated on Nov 27 (3 h old)"), 20);
    const QString age = " (3 h old)";
    const QString observed = "Last Updated on Nov 27, 2:53 pm EST";
    label.setCaption(observed, age);
    EXPECT_EQ(label.text(), observed + age);
    EXPECT_TRUE(label.shownText().endsWith(QChar(0x2026) + age)) << label.shownText().toStdString();
    EXPECT_EQ(label.toolTip(), observed + age);

    // Another part of the program explains the value in the tooltip: that stays.
    label.setToolTip("From the feed, 3 hours ago");
    label.setCaption(observed + " and more", age);
    EXPECT_EQ(label.toolTip(), "From the feed, 3 hours ago");
    EXPECT_EQ(label.accessibleDescription(), observed + " and more" + age);
    label.setCaption("Now", "");
    EXPECT_EQ(label.toolTip(), "From the feed, 3 hours ago");
    EXPECT_EQ(label.accessibleDescription(), "");

    // Wider, the caption fits again.
    label.show();
    label.setCaption(observed, age);
    EXPECT_EQ(label.accessibleDescription(), observed + age);
    label.resize(label.fontMetrics().horizontalAdvance(observed + age) + 4, 20);
    EXPECT_EQ(label.shownText(), observed + age);
    EXPECT_EQ(label.accessibleDescription(), "");
}

TEST_F(MainWindowTest, ALongStationNameIsShortenedInTheFrameTitleAndKeptWhole)
{
    const QString location =
        QString::fromUtf8("Mayagüez/Eugenio María de Hostos Airport, Puerto Rico, and a very long name");
    fakes.http.answers.insert("http://www.weather.gov/data/current_obs/KCHA.xml",
                              FakeHttpClient::reply(("<current_observation>\r\n<location>" + location +
                                                     "</location>\r\n</current_observation>\r\n")
                                                        .toLatin1()));
    Main();
    ElidingGroupBox* frame = LoadedMainForm()->fraWeather;
    EXPECT_EQ(frame->title(), "Weather Forecast as reported by " + location);
    EXPECT_TRUE(frame->shownTitle().endsWith(QChar(0x2026))) << frame->shownTitle().toStdString();
    EXPECT_LT(frame->fontMetrics().horizontalAdvance(frame->shownTitle()), frame->width());
    EXPECT_EQ(frame->accessibleDescription(), frame->title());
}

TEST_F(MainWindowTest, ScreenReadersHearEachValueWithItsFieldAndWhatThePicturesShow)
{
    fakes.http.answers.insert("http://www.weather.gov/data/current_obs/KCHA.xml",
                              FakeHttpClient::reply(observation("Calm", "54")));
    Main();
    frmMain* form = LoadedMainForm();
    const auto name = [](QWidget* widget) {
        return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
    };
    const std::pair<QWidget*, QString> named[] = {
        {form->txtHumidity, "Humidity: 43%"},
        {form->txtPressure, "Pressure: 30.12 in."},
        {form->txtVisibility, "Visibility: 10.00"},
        {form->txtDewpoint, QString::fromUtf8("Dewpoint: 41°F")},
        {form->txtTemp, QString::fromUtf8("Temperature: 54° Farenheit")},
        {form->txtWeather, "Weather: Partly Cloudy"},
        {form->txtWind, "Wind: Wind Calm"},
        {form->txtObservation, "Observation time: Last Updated on Nov 27, 2:53 pm EST"},
        {form->txtLocalTime, "Local Time: " + form->txtLocalTime->text()},
        {form->txtAtomicTime, "NIST Time"}, // no answer from the server: an empty caption
        {form->txtCredit, "Weather data provided by: NOAA's National Weather Service, http://www.weather.gov/"},
        {form->imgWeather, "Weather picture"},
        {form->imgNIST, "Internet Time Service logo"},
        {form->imgCreditLogo, "National Weather Service logo"},
    };
    for (const auto& [widget, expected] : named)
        EXPECT_EQ(name(widget), expected);
    EXPECT_EQ(form->imgWeather->accessibleDescription(), "Partly Cloudy") << "the picture's condition";
    EXPECT_EQ(form->txtHumidity->text(), "43%") << "the caption itself is unchanged";
}

TEST_F(MainWindowTest, EnterPressesTheFocusedButtonAndTabFollowsTheScreen)
{
    Main();
    frmMain* form = LoadedMainForm();
    QApplication::setActiveWindow(form);

    EXPECT_EQ(QApplication::focusWidget(), form->cmdGetWeather) << "the window opens with its button focused";
    form->imgCreditLogo->setFocus();
    std::vector<QWidget*> visited;
    for (int i = 0; i < 7; ++i) {
        visited.push_back(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(visited,
              (std::vector<QWidget*>{form->imgCreditLogo, form->txtCredit, form->cmdGetWeather, form->cmdGetTime,
                                     form->cmdLocalTime, form->cmdSynchronize, form->imgCreditLogo}));

    fakes.clock.now = fakes.clock.now.addSecs(60);
    form->cmdLocalTime->setFocus();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        const int before = weatherRequests(fakes.http);
        const QString shownBefore = form->txtLocalTime->text();
        fakes.clock.now = fakes.clock.now.addSecs(1);
        QTest::keyClick(form->cmdLocalTime, key);
        EXPECT_NE(form->txtLocalTime->text(), shownBefore) << "the focused button ran, key " << key;
        EXPECT_EQ(weatherRequests(fakes.http), before) << "and nothing else";
    }
    const int before = weatherRequests(fakes.http);
    form->cmdGetWeather->setFocus();
    QTest::keyClick(form->cmdGetWeather, Qt::Key_Return);
    EXPECT_EQ(weatherRequests(fakes.http), before + 1);
}

TEST_F(MainWindowTest, F5RefreshesTheWeatherAndCtrlQQuits)
{
    Main();
    frmMain* form = LoadedMainForm();
    QApplication::setActiveWindow(form);
    const int before = weatherRequests(fakes.http);
    QTest::keyClick(form, Qt::Key_F5);
    EXPECT_EQ(weatherRequests(fakes.http), before + 1);
    EXPECT_EQ(programEnds, 0);
    QTest::keyClick(form, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(LoadedMainForm(), nullptr);
    EXPECT_EQ(programEnds, 1);
}

} // namespace
