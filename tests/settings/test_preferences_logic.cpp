#include "platform/Services.h"
#include "platform/fake/FakeServices.h"
#include "settings/AppSettings.h"
#include "settings/Preferences.h"
#include "settings/StateList.h"
#include "settings/StationDirectory.h"

#include <gtest/gtest.h>

namespace {

// Registry and autostart that write every step into one journal, so the order across both shows.
struct Journal {
    QStringList steps;
};

class JournalRegistry final : public SettingsRegistry {
public:
    explicit JournalRegistry(Journal& journal) : m_journal(journal) {}
    bool companyKeyExists() const override { return false; }
    void createKeys() override { m_journal.steps << "create keys"; }
    QString readValue(const QString&) const override { return {}; }
    void writeValue(const QString& valueName, const QString& text) override
    {
        m_journal.steps << valueName + "=" + text;
    }

private:
    Journal& m_journal;
};

class JournalAutostart final : public Autostart {
public:
    explicit JournalAutostart(Journal& journal) : m_journal(journal) {}
    void enable(const QString& executablePath) override { m_journal.steps << "autostart " + executablePath; }
    void disable() override { m_journal.steps << "no autostart"; }

private:
    Journal& m_journal;
};

class SavePreferencesTest : public testing::Test {
protected:
    void SetUp() override
    {
        AppSettings = {};
        AppSettings.State = "Tennessee";
        services().registry = &registry;
        services().autostart = &autostart;
        services().executablePath = "/opt/tolvane/tolvane";
    }
    FakeServices fakes;
    Journal journal;
    JournalRegistry registry{journal};
    JournalAutostart autostart{journal};
    PreferencesChoices shown{"Ann Example", "Chattanooga, Lovell Field=KCHA", "utcnist.colorado.edu"};
};

TEST_F(SavePreferencesTest, WritesNamesThenAutostartThenSwitchesInOrder)
{
    EXPECT_EQ(SavePreferences(shown), SaveOutcome::Saved);
    EXPECT_EQ(journal.steps,
              QStringList({"create keys", "My Name=Ann Example", "State=Tennessee", "Station=KCHA",
                           "Time Server=utcnist.colorado.edu", "autostart /opt/tolvane/tolvane", "Sound=1",
                           "Splash=1", "Update=1", "UTC=0"}));
    EXPECT_TRUE(fakes.messages.shown.empty());

    journal.steps.clear();
    shown.autorun = shown.sound = shown.splash = shown.update = false;
    shown.utc = true;
    SavePreferences(shown);
    EXPECT_EQ(journal.steps.mid(5),
              QStringList({"no autostart", "Sound=0", "Splash=0", "Update=0", "UTC=1"}));
    EXPECT_EQ(AppSettings.Sound, "0");
    EXPECT_EQ(AppSettings.Splash, "0");
    EXPECT_EQ(AppSettings.Update, "0");
    EXPECT_EQ(AppSettings.UTC, "1");
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
        SavePreferences({c.name, c.stationText, c.timeServerText});
        ASSERT_GE(journal.steps.size(), 5);
        EXPECT_EQ(journal.steps[1], "My Name=" + c.storedName);
        EXPECT_EQ(journal.steps[3], "Station=" + c.storedStation);
        EXPECT_EQ(journal.steps[4], "Time Server=" + c.storedTimeServer);
        EXPECT_EQ(AppSettings.MyName, c.storedName);
        EXPECT_EQ(AppSettings.Station, c.storedStation);
        EXPECT_EQ(AppSettings.TimeServer, c.storedTimeServer);
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

} // namespace
