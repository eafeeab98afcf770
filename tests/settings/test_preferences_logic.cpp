#include "platform/Services.h"
#include "settings/AppSettings.h"
#include "settings/Preferences.h"
#include "settings/PreferencesOpening.h"
#include "settings/StateList.h"
#include "settings/StationDirectory.h"
#include "support/FakeServices.h"

#include <gtest/gtest.h>

namespace {

// Registry and autostart that write every step into one journal, so the order across both shows.
struct Journal {
    QStringList steps;
};

class JournalRegistry final : public SettingsRegistry {
public:
    explicit JournalRegistry(Journal& journal) : journal_(journal) {}
    bool companyKeyExists() const override { return false; }
    QString createKeys() override
    {
        journal_.steps << "create keys";
        return keysFailure;
    }
    QString readValue(const QString&) const override { return {}; }
    QString writeValue(const QString& valueName, const QString& text) override
    {
        if (valueName == failingValue)
            return valueName + " cannot be written";
        journal_.steps << valueName + "=" + text;
        return {};
    }
    QString takeReadProblem() override { return {}; }
    QString keysFailure;  // createKeys fails with this when set
    QString failingValue; // this value cannot be written

private:
    Journal& journal_;
};

class JournalAutostart final : public Autostart {
public:
    explicit JournalAutostart(Journal& journal) : journal_(journal) {}
    void enable(const QString& executablePath) override { journal_.steps << "autostart " + executablePath; }
    void disable() override { journal_.steps << "no autostart"; }
    bool exists() const override { return false; }

private:
    Journal& journal_;
};

class SavePreferencesTest : public testing::Test {
protected:
    void SetUp() override
    {
        current.State = "Tennessee";
        services().registry = &registry;
        services().autostart = &autostart;
        services().executablePath = "/opt/tolvane/tolvane";
    }
    FakeServices fakes;
    AppSettingsRecord current;
    Journal journal;
    JournalRegistry registry{journal};
    JournalAutostart autostart{journal};
    PreferencesChoices shown{"Ann Example", "Chattanooga, Lovell Field=KCHA", "utcnist.colorado.edu"};
};

TEST_F(SavePreferencesTest, WritesNamesThenAutostartThenSwitchesInOrder)
{
    EXPECT_EQ(SavePreferences(shown, current).outcome, SaveOutcome::Saved);
    EXPECT_EQ(journal.steps, QStringList({"create keys", "My Name=Ann Example", "State=Tennessee", "Station=KCHA",
                                          "Time Server=utcnist.colorado.edu", "autostart /opt/tolvane/tolvane",
                                          "Sound=1", "Splash=1", "Update=1", "UTC=0", "Precise Time=1"}));

    journal.steps.clear();
    shown.autorun = shown.sound = shown.splash = shown.update = shown.preciseTime = false;
    shown.utc = true;
    const AppSettingsRecord saved = SavePreferences(shown, current).saved;
    EXPECT_EQ(journal.steps.mid(5),
              QStringList({"no autostart", "Sound=0", "Splash=0", "Update=0", "UTC=1", "Precise Time=0"}));
    EXPECT_EQ(saved.Sound, "0");
    EXPECT_EQ(saved.Splash, "0");
    EXPECT_EQ(saved.Update, "0");
    EXPECT_EQ(saved.UTC, "1");
    EXPECT_EQ(saved.PreciseTime, "0");
    EXPECT_EQ(saved.State, "Tennessee");
}

// A store that cannot be written must not pass for saved, nor leave an autostart entry behind.
TEST_F(SavePreferencesTest, AStoreThatCannotBeWrittenIsToldAndStartsNothing)
{
    const struct {
        QString keysFailure, failingValue;
        QStringList steps;
    } cases[] = {
        {"/home/ann/.config/Orlentis: /home/ann/.config is read-only", "", {"create keys"}},
        {"", "My Name", {"create keys"}},
        {"", "Time Server", {"create keys", "My Name=Ann Example", "State=Tennessee", "Station=KCHA"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keysFailure.toStdString() + c.failingValue.toStdString());
        journal.steps.clear();
        registry.keysFailure = c.keysFailure;
        registry.failingValue = c.failingValue;
        const SaveResult result = SavePreferences(shown, current);
        EXPECT_EQ(result.outcome, SaveOutcome::NotWritten);
        EXPECT_EQ(journal.steps, c.steps) << "no autostart entry, nothing after the failure";
        EXPECT_TRUE(result.message.startsWith("Your preferences could not be saved: ")) << result.message.toStdString();
        EXPECT_TRUE(result.message.contains(c.keysFailure.isEmpty() ? c.failingValue : c.keysFailure));
    }
}

struct StoredCase {
    QString name, stationText, timeServerText;
    QString storedName, storedStation, storedTimeServer;
};

TEST_F(SavePreferencesTest, StoresTrimmedNameStationCodeAndServerAsTyped)
{
    const StoredCase cases[] = {
        {"  Ann Example  ", "Chattanooga, Lovell Field=KCHA", "utcnist.colorado.edu", "Ann Example", "KCHA",
         "utcnist.colorado.edu"},
        {"   ", "Pago Pago=NSTU", " time.nist.gov ", "", "NSTU", " time.nist.gov "},
        {"Ann", "Peston-Fillmore Co Airport=KFKA) ", "a.b.c.d", "Ann", "KFKA) ", "a.b.c.d"},
        {"Ann", "Odd=KXYZ=extra", "localhost", "Ann", "KXYZ", "localhost"},
        {"Ann", "", "", "Ann", "", ""},
    };
    for (const StoredCase& c : cases) {
        SCOPED_TRACE(c.name.toStdString() + "|" + c.stationText.toStdString());
        journal.steps.clear();
        const AppSettingsRecord saved = SavePreferences({c.name, c.stationText, c.timeServerText}, current).saved;
        ASSERT_GE(journal.steps.size(), 5);
        EXPECT_EQ(journal.steps[1], "My Name=" + c.storedName);
        EXPECT_EQ(journal.steps[3], "Station=" + c.storedStation);
        EXPECT_EQ(journal.steps[4], "Time Server=" + c.storedTimeServer);
        EXPECT_EQ(saved.MyName, c.storedName);
        EXPECT_EQ(saved.Station, c.storedStation);
        EXPECT_EQ(saved.TimeServer, c.storedTimeServer);
    }
}

TEST(ListBoxOrder, SortsWithoutRegardToCase)
{
    EXPECT_EQ(SortedForListBox({"banana", "Apple", "cherry", "BANANA split", "apple"}),
              QStringList({"Apple", "apple", "banana", "BANANA split", "cherry"}));

    const QStringList states = SortedForListBox(StateNames());
    ASSERT_EQ(states.size(), 54);
    EXPECT_EQ(states.at(44), "Tennessee");
    const QStringList tennessee = SortedForListBox(StationDirectoryEntries("Tennessee"));
    EXPECT_EQ(tennessee.first(), "Chattanooga, Lovell Field=KCHA");
}

AppSettingsRecord storedPlace(const QString& state, const QString& station)
{
    AppSettingsRecord stored;
    stored.State = state;
    stored.Station = station;
    return stored;
}

AppSettingsRecord storedSwitches(const QString& timeServer, const QString& sound, const QString& splash,
                                 const QString& update, const QString& utc, const QString& preciseTime = {})
{
    AppSettingsRecord stored;
    stored.TimeServer = timeServer;
    stored.Sound = sound;
    stored.Splash = splash;
    stored.Update = update;
    stored.UTC = utc;
    stored.PreciseTime = preciseTime;
    return stored;
}

struct OpeningCase {
    const char* what;
    AppSettingsRecord stored;
    QString state, stationEntry, extraStationEntry;
};

TEST(PreferencesOpening, SelectsTheStoredStateAndStationAndKeepsAStationTheDirectoryLacks)
{
    const OpeningCase cases[] = {
        {"nothing stored", {}, "Tennessee", "", ""},
        {"listed station", storedPlace("Texas", "KDFW"), "Texas", "Dallas/Ft. Worth International Airport=KDFW", ""},
        {"odd entry kept whole", storedPlace("Minnesota", "KFKA) "), "Minnesota", "Peston-Fillmore Co Airport=KFKA) ",
         ""},
        {"four characters do not match the odd entry", storedPlace("Minnesota", "KFKA"), "Minnesota", "KFKA=KFKA",
         "KFKA=KFKA"},
        {"station the directory lacks", storedPlace("Texas", "KZZZ"), "Texas", "KZZZ=KZZZ", "KZZZ=KZZZ"},
        {"station of another state", storedPlace("Texas", "KCHA"), "Texas", "KCHA=KCHA", "KCHA=KCHA"},
        {"no state: the station's state", storedPlace("", "NSTU"), "American Samoa", "Pago Pago=NSTU", ""},
        {"unknown state: the station's state", storedPlace("texas", "KDFW"), "Texas",
         "Dallas/Ft. Worth International Airport=KDFW", ""},
        {"unknown state and station", storedPlace("Atlantis", "KZZZ"), "Tennessee", "KZZZ=KZZZ", "KZZZ=KZZZ"},
        {"state without station", storedPlace("Alaska", ""), "Alaska", "", ""},
    };
    for (const OpeningCase& c : cases) {
        SCOPED_TRACE(c.what);
        const PreferencesOpening opening = OpeningChoices(c.stored, true, false);
        EXPECT_EQ(opening.state, c.state);
        EXPECT_EQ(opening.stationEntry, c.stationEntry);
        EXPECT_EQ(opening.extraStationEntry, c.extraStationEntry);
        // Whatever is selected, saving reads the stored code back.
        if (!c.stored.Station.isEmpty()) {
            EXPECT_EQ(StationCode(opening.stationEntry), c.stored.Station);
        }
    }
}

struct SwitchCase {
    AppSettingsRecord stored;
    bool configured, autostartExists;
    bool autorun, sound, splash, update, utc;
    QString timeServer;
    bool preciseTime = true;
};

TEST(PreferencesOpening, SwitchesAndServerShowWhatIsStoredAndTheInitialValuesOnlyForWhatIsNot)
{
    const SwitchCase cases[] = {
        // A first run: the designed initial values, autostart offered.
        {{}, false, false, true, true, true, true, false, ""},
        {storedSwitches("time.nist.gov", "0", "0", "0", "1", "0"), true, false, false, false, false, false, true,
         "time.nist.gov", false},
        {storedSwitches(" typed.example ", "1", "1", "1", "0", "1"), true, true, true, true, true, true, false,
         " typed.example "},
        // Configured, but some values missing: those take their initial values.
        {storedSwitches("", "", "0", "", ""), true, true, true, true, false, true, false, ""},
        // As the program reads them: "1" is on; the start-up sequence shows the splash for any digit
        // but "0".
        // "Precise Time" is off only when stored as "0".
        {storedSwitches("", "1", "2", "y", "1", "y"), true, false, false, true, true, false, true, ""},
    };
    for (const SwitchCase& c : cases) {
        SCOPED_TRACE(c.stored.Sound.toStdString() + "|" + c.stored.Splash.toStdString() + "|" +
                     c.stored.UTC.toStdString() + "|" + c.stored.TimeServer.toStdString());
        const PreferencesOpening opening = OpeningChoices(c.stored, c.configured, c.autostartExists);
        EXPECT_EQ(opening.autorun, c.autorun);
        EXPECT_EQ(opening.sound, c.sound);
        EXPECT_EQ(opening.splash, c.splash);
        EXPECT_EQ(opening.update, c.update);
        EXPECT_EQ(opening.utc, c.utc);
        EXPECT_EQ(opening.timeServer, c.timeServer);
        EXPECT_EQ(opening.preciseTime, c.preciseTime);
    }
}

TEST(PreferencesOpening, ReadsTheStoredValuesAsTheProgramReadsThem)
{
    FakeServices fakes;
    fakes.registry.seed({{"State", "Texas"},
                         {"Station", "KFKA) "},
                         {"Time Server", " x "},
                         {"Sound", "0"},
                         {"Splash", "12"},
                         {"Update", "0"},
                         {"UTC", "1 "},
                         {"Precise Time", "0 "}});
    const AppSettingsRecord stored = ReadStoredPreferences();
    EXPECT_EQ(QStringList({stored.State, stored.Station, stored.TimeServer, stored.Sound, stored.Splash, stored.Update,
                           stored.UTC, stored.PreciseTime}),
              QStringList({"Texas", "KFKA) ", " x ", "0", "1", "0", "1", "0"}));
}

} // namespace
