#include "UpdateTestSupport.h"

#include "settings/AppSettings.h"
#include "shell/frmMain.h"
#include "shell/modMain.h"
#include "support/ConfiguredUser.h"
#include "support/FakeServices.h"
#include "update/UpdateSite.h"
#include "update/VersionCheck.h"
#include "widgets/Lifetime.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class UpdateWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        AppSettings = {};
        Lifetime::setEndHandlers([] {}, [] {});
        SeedConfiguredUser(fakes.registry);
    }
    void TearDown() override
    {
        UnloadMainForm();
        QApplication::processEvents();
    }

    QTemporaryDir appDir;
    FakeServices fakes{appDir.path()};
};

TEST_F(UpdateWindowTest, AnUnreachableSiteStillLetsStartUpShowTheMainWindow)
{
    Main(); // no connection to any address
    ASSERT_NE(LoadedMainForm(), nullptr);
    EXPECT_TRUE(LoadedMainForm()->isVisible());
    EXPECT_EQ(fakes.http.requests.front().url, UpdateBaseUrl() + "images.dat") << "the pack check ran first";
    EXPECT_EQ(EntriesUnder(appDir.path()).filter("/"), QStringList()) << "no file in the pack folders";
}

TEST_F(UpdateWindowTest, HelpUpdateTellsTheOutcomeInAPlainBox)
{
    Main();
    const size_t before = fakes.messages.shown.size();
    fakes.http.answers.insert(UpdateBaseUrl() + "version.dat", FakeHttpClient::reply("1.0.1\r\n"));
    LoadedMainForm()->mnuHelpUpdate->trigger();
    fakes.http.answers.insert(UpdateBaseUrl() + "version.dat", FakeHttpClient::reply("1.0.0\r\n"));
    LoadedMainForm()->mnuHelpUpdate_Click();
    ASSERT_TRUE(QFile::remove(appDir.path() + "/version.dat"));
    fakes.http.answers.remove(UpdateBaseUrl() + "version.dat");
    LoadedMainForm()->mnuHelpUpdate_Click();

    ASSERT_EQ(fakes.messages.shown.size(), before + 3);
    const QString expected[] = {"A newer version is available.", "Your version is newest available.",
                                VersionCheckFailedText()};
    for (size_t i = 0; i < 3; ++i) {
        const ShownMessage& shown = fakes.messages.shown[before + i];
        EXPECT_EQ(shown.text, expected[i]);
        EXPECT_EQ(shown.caption, "Tolvane");
        EXPECT_EQ(shown.icon, MessageIcon::None);
    }
    EXPECT_NE(LoadedMainForm(), nullptr) << "the program goes on";
}

} // namespace
