#include "core/DisplayCheck.h"
#include "core/Greeting.h"
#include "core/Text.h"
#include "core/Version.h"
#include "settings/AppSettings.h"

#include <gtest/gtest.h>

namespace {

TEST(VersionText, DropsAZeroRevisionAndNamesAnyOther)
{
    const struct {
        int major, minor, revision;
        const char* text;
        const char* full;
    } cases[] = {
        {1, 0, 0, "1.0", "1.0.0"},
        {1, 2, 7, "1.2 Revision 7", "1.2.7"},
        {10, 20, 0, "10.20", "10.20.0"},
        {0, 9, 12, "0.9 Revision 12", "0.9.12"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ComposeVersionText(c.major, c.minor, c.revision), c.text);
        EXPECT_EQ(FullVersionText(c.major, c.minor, c.revision), c.full);
    }
    EXPECT_EQ(ProgramVersionText(), "1.0");
}

TEST(Greeting, HourBoundaries)
{
    const struct {
        int hour;
        const char* greeting;
    } cases[] = {
        {0, "Late Night"},    {4, "Late Night"},      {5, "Good Morning"},
        {11, "Good Morning"}, {12, "Good Afternoon"}, {17, "Good Afternoon"},
        {18, "Good Evening"}, {22, "Good Evening"},   {23, "Late Night"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GreetingForHour(c.hour), c.greeting) << c.hour;
}

TEST(Greeting, LineAndTitle)
{
    EXPECT_EQ(GreetingLine("Good Afternoon", "Ann"), "Good Afternoon Ann");
    EXPECT_EQ(GreetingLine("Late Night", "Ann"), "Late Night with Ann");
    EXPECT_EQ(PersonalTitle("Ann", "1.0"), "Ann's Tolvane Version 1.0");
}

TEST(Splash, OnlyANonZeroDigitAsksForTheCountdown)
{
    const struct {
        const char* stored;
        bool wanted;
    } cases[] = {
        {"1", true}, {"7", true}, {"0", false}, {"", false}, {"x", false}, {" 1", false},
    };
    for (const auto& c : cases) {
        AppSettingsRecord settings;
        settings.Splash = c.stored;
        EXPECT_EQ(settings.splashOn(), c.wanted) << c.stored;
    }
}

TEST(Switches, OnlyTheTextOneIsOn)
{
    for (const char* stored : {"1", "0", "", "11", " 1", "x"}) {
        const AppSettingsRecord settings{.Sound = stored, .Update = stored, .UTC = stored};
        const bool on = QString(stored) == "1";
        EXPECT_EQ(settings.soundOn(), on) << stored;
        EXPECT_EQ(settings.updateOn(), on) << stored;
        EXPECT_EQ(settings.utc24Hour(), on) << stored;
    }
}

TEST(Text, TrimSpacesRemovesOnlySpaces)
{
    EXPECT_EQ(TrimSpaces("  a b  "), "a b");
    EXPECT_EQ(TrimSpaces("\ta b\t"), "\ta b\t");
    EXPECT_EQ(TrimSpaces("    "), "");
}

TEST(NoDisplayLine, SaysWhatIsMissingInOneLine)
{
    const QString fatal = "This application failed to start because no Qt platform plugin could be initialized.\n\n"
                          "Available platform plugins are: offscreen, xcb.\n";
    const struct {
        QStringList warnings;
        bool display, wayland;
        const char* line;
    } cases[] = {
        {{"could not connect to display "},
         false,
         false,
         "Tolvane cannot open its window: no display (neither DISPLAY nor WAYLAND_DISPLAY is set)."},
        {{"could not connect to display :97", "Could not load the Qt platform plugin \"xcb\""},
         true,
         false,
         "Tolvane cannot open its window: could not connect to display :97."},
        {{"  \n", "Failed to create wl_display (No such file or directory)\nmore"},
         false,
         true,
         "Tolvane cannot open its window: Failed to create wl_display (No such file or directory)."},
        {{},
         true,
         false,
         "Tolvane cannot open its window: This application failed to start because no Qt platform plugin could "
         "be initialized."},
    };
    for (const auto& c : cases) {
        const QString line = NoDisplayLine(fatal, c.warnings, c.display, c.wayland);
        EXPECT_EQ(line.toStdString(), c.line);
        EXPECT_FALSE(line.contains('\n'));
    }
}

} // namespace
