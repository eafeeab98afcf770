#include "platform/Services.h"
#include "platform/linux/IniSettingsRegistry.h"
#include "settings/AppSettings.h"
#include "settings/SettingsStore.h"
#include "support/FakeServices.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

class IniRegistryTest : public testing::Test {
protected:
    QTemporaryDir configHome;
    IniSettingsRegistry registry{configHome.path()};
};

TEST_F(IniRegistryTest, TheCompanyFolderAloneSaysPresentAndNoFolderMeansFirstRun)
{
    EXPECT_FALSE(registry.companyKeyExists());
    EXPECT_EQ(registry.readValue("My Name"), "");
    ASSERT_TRUE(QDir(configHome.path()).mkdir("Orlentis"));
    EXPECT_TRUE(registry.companyKeyExists());
    EXPECT_EQ(registry.readValue("Splash"), "");
}

TEST_F(IniRegistryTest, AFileInTheWayOfTheCompanyFolderIsReportedWithItsPlace)
{
    QFile inTheWay(configHome.path() + "/Orlentis");
    ASSERT_TRUE(inTheWay.open(QIODevice::WriteOnly));
    inTheWay.close();
    const QString error = registry.createKeys();
    EXPECT_TRUE(error.startsWith(configHome.path() + "/Orlentis: ")) << error.toStdString();
    EXPECT_TRUE(error.contains("is a file")) << error.toStdString();
    EXPECT_FALSE(registry.writeValue("My Name", "Ann").isEmpty());
    EXPECT_TRUE(registry.readValue("My Name").isEmpty());
}

TEST_F(IniRegistryTest, FolderNamesMatchWithoutRegardToCase)
{
    ASSERT_TRUE(QDir(configHome.path()).mkdir("ORLENTIS"));
    EXPECT_TRUE(registry.companyKeyExists());
    registry.createKeys();
    registry.writeValue("Sound", "1");
    EXPECT_EQ(registry.readValue("sound"), "1");
    // No second folder spelt differently.
    EXPECT_EQ(QDir(configHome.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{"ORLENTIS"});
}

TEST_F(IniRegistryTest, WritesNeedTheKeysThatOnlySavingCreates)
{
    EXPECT_NE(registry.writeValue("My Name", "Ann"), "");
    EXPECT_FALSE(registry.companyKeyExists());
    EXPECT_EQ(registry.createKeys(), "");
    EXPECT_EQ(registry.createKeys(), "") << "harmless when present";
    EXPECT_TRUE(QFile::exists(configHome.path() + "/Orlentis/Tolvane.conf"));
    EXPECT_EQ(registry.readValue("My Name"), "");
    EXPECT_EQ(registry.writeValue("My Name", "Ann"), "");
    EXPECT_EQ(registry.readValue("my name"), "Ann");
}

TEST_F(IniRegistryTest, ValuesReadBackExactlyAsStored)
{
    registry.createKeys();
    const QString values[] = {
        "Ann Example",         "  padded  ",   "KFKA) ", "time-a-g.nist.gov", "localhost", QString(300, 'x'), "a, b, c",
        "semi;colon = equals", "Zoë Ångström", "",
    };
    for (const QString& value : values) {
        registry.writeValue("My Name", value);
        EXPECT_EQ(IniSettingsRegistry(configHome.path()).readValue("My Name"), value) << value.toStdString();
    }
}

TEST_F(IniRegistryTest, AFileThatCannotBeReadIsToldOnceAndKeptUntilASave)
{
    const struct {
        const char* what;
        QByteArray content; // written as the settings file; a folder stands there when empty
        bool readable;
    } cases[] = {
        {"settings", "[General]\nMy%20Name=Ann Example\nSound=1\n", true},
        {"garbage", QByteArray("\x00\xff garbage [[[ \n=\n", 17), false},
        {"a broken section", "[General]\nSound=1\n[broken\nUTC=1\n", false},
        {"a line without a value", "[General]\nSound=1\njust text\n", false},
        {"a folder", "", false},
    };
    ASSERT_TRUE(QDir(configHome.path()).mkdir("Orlentis"));
    const QString path = configHome.path() + "/Orlentis/Tolvane.conf";
    EXPECT_EQ(registry.takeReadProblem(), "") << "no file yet is no problem";
    for (const auto& c : cases) {
        QFile::remove(path);
        QDir(path).removeRecursively();
        QFile::remove(path + ".unreadable");
        if (c.content.isEmpty())
            ASSERT_TRUE(QDir().mkpath(path));
        else
            ASSERT_TRUE(WriteFile(path, c.content));
        IniSettingsRegistry fresh(configHome.path());
        const QString problem = fresh.takeReadProblem();
        EXPECT_EQ(problem.isEmpty(), c.readable) << c.what;
        if (c.readable)
            continue;
        EXPECT_TRUE(problem.contains(path)) << c.what << ": " << problem.toStdString();
        EXPECT_EQ(fresh.takeReadProblem(), "") << c.what << ": told once";
        for (const char* name : {"Sound", "UTC", "Splash"})
            fresh.readValue(name);
        for (const char* name : {"My Name", "Station", "Time Server"})
            EXPECT_EQ(fresh.readValue(name), "") << c.what << ": " << name;
        if (!c.content.isEmpty()) {
            EXPECT_EQ(ReadFile(path), c.content) << c.what << ": reading never writes the file";
        }

        // Saving keeps the unreadable file beside and writes a new one.
        EXPECT_EQ(fresh.createKeys(), "") << c.what;
        EXPECT_EQ(fresh.writeValue("Sound", "0"), "") << c.what;
        EXPECT_EQ(fresh.readValue("Sound"), "0") << c.what;
        if (!c.content.isEmpty()) {
            EXPECT_EQ(ReadFile(path + ".unreadable"), c.content) << c.what;
        }
        EXPECT_EQ(IniSettingsRegistry(configHome.path()).takeReadProblem(), "") << c.what;
    }
}

struct StartupCase {
    QMap<QString, QString> stored;
    AppSettingsRecord expected;
};

TEST(StartupRead, TakesFirstWordFourCharactersAndFirstCharacters)
{
    const StartupCase cases[] = {
        {{{"My Name", "Ann Example"},
          {"Station", "KCHA"},
          {"Time Server", "utcnist.colorado.edu"},
          {"Sound", "1"},
          {"UTC", "0"},
          {"Precise Time", "0"}},
         {"Ann", "", "KCHA", "utcnist.colorado.edu", "1", "", "", "0", "0"}},
        {{{"My Name", "Ann"}, {"Station", "KFKA) "}, {"Time Server", "a.b.c.d"}, {"Sound", "10"}, {"UTC", "1x"}},
         {"Ann", "", "KFKA", "a.b.c.d", "1", "", "", "1"}},
        {{{"My Name", " Ann"}, {"Time Server", "nodots"}}, {"", "", "", "nodots", "", "", "", ""}},
        // Only a space ends the first word: a tab belongs to it.
        {{{"My Name", "Ann\tExample Jr"}}, {"Ann\tExample", "", "", "", "", "", "", ""}},
        {{}, {}},
    };
    for (const StartupCase& c : cases) {
        FakeServices fakes;
        fakes.registry.seed(c.stored);
        const AppSettingsRecord read = ReadStartupSettings({.State = "Ohio", .Splash = "1"});
        EXPECT_EQ(read.MyName, c.expected.MyName);
        EXPECT_EQ(read.Station, c.expected.Station);
        EXPECT_EQ(read.TimeServer, c.expected.TimeServer);
        EXPECT_EQ(read.Sound, c.expected.Sound);
        EXPECT_EQ(read.UTC, c.expected.UTC);
        EXPECT_EQ(read.PreciseTime, c.expected.PreciseTime);
        EXPECT_EQ(read.State, "Ohio") << "the other fields are left as they were";
        EXPECT_EQ(read.Splash, "1");
    }
}

TEST(SettingsStore, SettingsPresentAnswersFromTheCompanyKeyAlone)
{
    FakeServices fakes;
    EXPECT_FALSE(SettingsPresent());
    fakes.registry.companyKey = true;
    EXPECT_TRUE(SettingsPresent());
    EXPECT_EQ(ReadSetting("Splash"), "");
    EnsureSettingsKeys();
    WriteSetting("Splash", "0");
    EXPECT_EQ(ReadSetting("SPLASH"), "0");
}

} // namespace
