#include "settings/AppSettings.h"
#include "settings/StationDirectory.h"
#include "shell/frmMain.h"
#include "shell/frmPreferences.h"
#include "shell/frmSplash.h"
#include "shell/modMain.h"
#include "support/FakeServices.h"
#include "support/TextContrast.h"
#include "timesync/TimeServers.h"
#include "widgets/Lifetime.h"
#include "widgets/TextColour.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QSet>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QMap<QString, QString> StoredSettings = {
    {"My Name", "Ann Example"},
    {"State", "Texas"},
    {"Station", "KDFW"},
    {"Time Server", "time.nist.gov"},
    {"Sound", "0"},
    {"Splash", "0"},
    {"Update", "0"},
    {"UTC", "1"},
    {"Precise Time", "0"},
};

QStringList items(const QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

class PreferencesTest : public testing::Test {
protected:
    void SetUp() override
    {
        AppSettings = {};
        Lifetime::setEndHandlers(
            [this] {
                ++programEnds;
                endedWithMainWindow = LoadedMainForm() != nullptr;
            },
            [this] { ++immediateEnds; });
        // The main window's load asks for weather and time; unanswered requests fail quietly.
        fakes.http.handler = [](const HttpRequest&) { return FakeHttpClient::notConnected(); };
    }
    void TearDown() override
    {
        fakes.registry.companyKey = false; // a closing dialog must not bring a main window back
        UnloadPreferencesForm();
        UnloadMainForm();
        QApplication::processEvents();
        EXPECT_FALSE(Lifetime::anyFormLoaded());
    }

    // A configured user with the main window up, as after a normal start.
    void startConfigured()
    {
        fakes.registry.seed(StoredSettings);
        Main();
        ASSERT_NE(LoadedMainForm(), nullptr);
    }
    frmPreferences* openFromMenu()
    {
        LoadedMainForm()->mnuFilePref_Click();
        return LoadedPreferencesForm();
    }
    // Each load of a main window fetches the weather once.
    int mainWindowLoads() const
    {
        const auto& requests = fakes.http.requests;
        const auto isWeather = [](const HttpRequest& r) { return r.url.contains("/data/current_obs/"); };
        return static_cast<int>(std::count_if(requests.begin(), requests.end(), isWeather));
    }

    QTemporaryDir appDir;
    FakeServices fakes{appDir.path()};
    int programEnds = 0;
    int immediateEnds = 0;
    bool endedWithMainWindow = false;
};

TEST_F(PreferencesTest, OpensOnTheStoredChoices)
{
    startConfigured();
    frmPreferences* form = openFromMenu();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(LoadedMainForm(), nullptr) << "the menu unloads the main window";
    EXPECT_EQ(programEnds, 0);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->windowTitle(), "Preferences");

    EXPECT_EQ(form->txtMyName->text(), "Ann Example");
    EXPECT_EQ(form->cboState->currentText(), "Texas");
    EXPECT_EQ(form->cboState->count(), 54);
    EXPECT_EQ(form->cboStation->currentText(), "Dallas/Ft. Worth International Airport=KDFW");
    EXPECT_EQ(form->cboStation->count(), 123) << "the directory's stations only";
    EXPECT_EQ(items(form->cboTimeServer), TimeServerNames());
    EXPECT_EQ(form->cboTimeServer->currentText(), "time.nist.gov");
    EXPECT_EQ(form->cboTimeServer->currentIndex(), TimeServerNames().indexOf("time.nist.gov"));
    EXPECT_FALSE(form->chkAutorun->isChecked()) << "no autostart entry";
    EXPECT_FALSE(form->chkSound->isChecked());
    EXPECT_FALSE(form->chkSplash->isChecked());
    EXPECT_FALSE(form->chkUpdate->isChecked());
    EXPECT_TRUE(form->chkUTC->isChecked());
    EXPECT_FALSE(form->chkPreciseTime->isChecked());

    EXPECT_EQ(AppSettings.MyName, "Ann Example") << "the whole stored name";
    EXPECT_EQ(AppSettings.State, "Texas");
    EXPECT_EQ(AppSettings.Station, "KDFW");
    EXPECT_EQ(AppSettings.TimeServer, "time.nist.gov");
    EXPECT_FALSE(form->cboState->isEditable());
    EXPECT_FALSE(form->cboStation->isEditable());
    EXPECT_TRUE(form->cboTimeServer->isEditable());
}

TEST_F(PreferencesTest, FirstRunOpensOnTheInitialChoices)
{
    Main();
    frmPreferences* form = LoadedPreferencesForm();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->txtMyName->text(), "");
    EXPECT_EQ(form->cboState->currentIndex(), 44);
    EXPECT_EQ(form->cboState->currentText(), "Tennessee");
    EXPECT_EQ(form->cboStation->currentText(), "Chattanooga, Lovell Field=KCHA");
    EXPECT_EQ(form->cboStation->count(), 13);
    EXPECT_EQ(form->cboTimeServer->currentText(), TimeServerNames().first());
    EXPECT_TRUE(form->chkAutorun->isChecked());
    EXPECT_TRUE(form->chkSound->isChecked());
    EXPECT_TRUE(form->chkSplash->isChecked());
    EXPECT_TRUE(form->chkUpdate->isChecked());
    EXPECT_FALSE(form->chkUTC->isChecked());
    EXPECT_TRUE(form->chkPreciseTime->isChecked());
    EXPECT_EQ(AppSettings.State, "Tennessee");
    EXPECT_EQ(AppSettings.Station, "KCHA");
}

TEST_F(PreferencesTest, AStoredStationTheDirectoryLacksIsListedAndSelectedAsItsCode)
{
    fakes.registry.seed({{"My Name", "Ann"}, {"State", "Texas"}, {"Station", "KZZZ"}});
    ShowPreferencesForm();
    frmPreferences* form = LoadedPreferencesForm();
    EXPECT_EQ(form->cboStation->currentText(), "KZZZ=KZZZ");
    EXPECT_EQ(form->cboStation->count(), 124);
    EXPECT_EQ(AppSettings.Station, "KZZZ");

    form->cboState->setCurrentIndex(form->cboState->findText("Alaska"));
    EXPECT_EQ(form->cboStation->findText("KZZZ=KZZZ"), -1) << "it belongs to the stored state";
    form->cboState->setCurrentIndex(form->cboState->findText("Texas"));
    EXPECT_EQ(form->cboStation->currentText(), "KZZZ=KZZZ") << "back on the stored state, the stored station";
    EXPECT_EQ(AppSettings.Station, "KZZZ");
}

TEST_F(PreferencesTest, NameBoxShowsTheStoredNameWithoutSurroundingBlanks)
{
    const std::pair<QString, QString> cases[] = {
        {"Ann", "Ann"}, {"  Ann Example ", "Ann Example"}, {"", ""}, {QString(40000, 'n'), QString(40000, 'n')}};
    for (const auto& [stored, shown] : cases) {
        fakes.registry.seed({{"My Name", stored}});
        ShowPreferencesForm();
        EXPECT_EQ(LoadedPreferencesForm()->txtMyName->text(), shown) << stored.toStdString();
        EXPECT_EQ(AppSettings.MyName, stored);
        fakes.registry.companyKey = false;
        UnloadPreferencesForm();
    }
}

TEST_F(PreferencesTest, ChoosingAStateRebuildsTheStationList)
{
    ShowPreferencesForm();
    frmPreferences* form = LoadedPreferencesForm();
    const struct {
        QString state;
        int stations;
    } steps[] = {{"Texas", 123}, {"Alaska", 132}, {"Texas", 123}, {"American Samoa", 1}, {"Tennessee", 13}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.state.toStdString());
        form->cboState->setCurrentIndex(form->cboState->findText(step.state));
        const QStringList shown = items(form->cboStation);
        EXPECT_EQ(shown.size(), step.stations);
        EXPECT_EQ(QSet<QString>(shown.begin(), shown.end()).size(), step.stations) << "each station once";
        const QStringList directory = StationDirectoryEntries(step.state);
        EXPECT_EQ(QSet<QString>(shown.begin(), shown.end()), QSet<QString>(directory.begin(), directory.end()));
        for (int i = 1; i < shown.size(); ++i)
            EXPECT_LE(shown[i - 1].compare(shown[i], Qt::CaseInsensitive), 0) << shown[i].toStdString();
        EXPECT_EQ(form->cboStation->currentIndex(), 0);
        EXPECT_EQ(AppSettings.State, step.state);
        EXPECT_EQ(AppSettings.Station, shown.first().section('=', 1));
    }
}

TEST_F(PreferencesTest, StateThatIsNotInTheListLeavesTheStationsEmpty)
{
    ShowPreferencesForm();
    frmPreferences* form = LoadedPreferencesForm();
    for (const QString state : {"tennessee", "Tennessee ", "District of Columbia"}) {
        AppSettings.State = state;
        form->LoadStations();
        EXPECT_EQ(form->cboStation->count(), 0) << state.toStdString();
        EXPECT_EQ(form->cboStation->currentIndex(), -1);
    }
}

TEST_F(PreferencesTest, TypingInTheServerBoxChangesTheServerWithEveryKeystroke)
{
    ShowPreferencesForm();
    frmPreferences* form = LoadedPreferencesForm();
    QLineEdit* edit = form->cboTimeServer->lineEdit();
    edit->selectAll();
    const QString typed = " my.server ";
    for (int i = 0; i < typed.size(); ++i) {
        QTest::keyClicks(edit, typed.mid(i, 1));
        EXPECT_EQ(AppSettings.TimeServer, typed.left(i + 1));
    }
    EXPECT_EQ(form->cboTimeServer->count(), 14) << "typing never adds to the list";
}

TEST_F(PreferencesTest, SavingANewNameKeepsTheStationServerSwitchesAndAutostart)
{
    const struct {
        const char* what;
        QMap<QString, QString> stored;
        bool autostart;
    } cases[] = {
        {"listed station and server, switches off", StoredSettings, false},
        {"station the directory lacks, typed server",
         {{"My Name", "Ann"},
          {"State", "Alaska"},
          {"Station", "KZZZ"},
          {"Time Server", " my.server "},
          {"Sound", "0"},
          {"Splash", "0"},
          {"Update", "1"},
          {"UTC", "0"}},
         true},
        {"odd Minnesota entry",
         {{"My Name", "Ann"},
          {"State", "Minnesota"},
          {"Station", "KFKA) "},
          {"Time Server", "time-d-wwv.nist.gov"},
          {"Sound", "1"},
          {"Splash", "0"},
          {"Update", "0"},
          {"UTC", "1"}},
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fakes.registry.values.clear();
        fakes.registry.seed(c.stored);
        fakes.autostart = {};
        if (c.autostart)
            fakes.autostart.enable("/opt/tolvane/tolvane");
        fakes.http.requests.clear();
        Main();
        frmPreferences* form = openFromMenu();
        ASSERT_NE(form, nullptr);
        form->txtMyName->setText("Bob Example");
        form->cmdSave->click();

        QMap<QString, QString> expected = c.stored;
        expected["My Name"] = "Bob Example";
        expected["Precise Time"] = c.stored.value("Precise Time", "1"); // a set-up from before it counts as on
        EXPECT_EQ(fakes.registry.values, expected);
        EXPECT_EQ(fakes.autostart.enabled, c.autostart);
        EXPECT_EQ(LoadedPreferencesForm(), nullptr);
        ASSERT_NE(LoadedMainForm(), nullptr);
        EXPECT_EQ(LoadedMainForm()->windowTitle(), "Bob's Tolvane Version 1.0");
        EXPECT_EQ(mainWindowLoads(), 2) << "the save's second start-up run only shows the new window";
        UnloadMainForm();
    }
    EXPECT_EQ(fakes.autostart.command, appDir.path() + "/tolvane") << "a kept entry is rewritten for this program";
}

TEST_F(PreferencesTest, UncheckedAddToStartupRemovesTheEntry)
{
    fakes.autostart.enable("/old/tolvane");
    startConfigured();
    frmPreferences* form = openFromMenu();
    form->chkAutorun->setChecked(false);
    form->cmdSave->click();
    EXPECT_FALSE(fakes.autostart.enabled);
    EXPECT_EQ(fakes.autostart.disableCalls, 1);
}

TEST_F(PreferencesTest, EmptyNameIsRefusedAndLeavesTheTwoKeysCreatedAndEmpty)
{
    Main();
    frmPreferences* form = LoadedPreferencesForm();
    ASSERT_NE(form, nullptr);
    QApplication::setActiveWindow(form);
    form->cmdSave->setFocus();
    form->cmdSave->click();

    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].text, "Please personalize Tolvane with your name.");
    EXPECT_EQ(fakes.messages.shown[0].caption, "Tolvane");
    EXPECT_EQ(fakes.messages.shown[0].icon, MessageIcon::None);
    EXPECT_TRUE(fakes.registry.companyKey);
    EXPECT_TRUE(fakes.registry.settingsKey);
    EXPECT_TRUE(fakes.registry.values.isEmpty());
    EXPECT_FALSE(fakes.autostart.enabled);
    EXPECT_EQ(fakes.autostart.disableCalls, 0);
    EXPECT_EQ(LoadedPreferencesForm(), form) << "the dialog stays open";
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->txtMyName->hasFocus());
    EXPECT_EQ(LoadedMainForm(), nullptr);
}

// Before, such a save wrote nothing, said nothing, added the autostart entry and ended the program.
TEST_F(PreferencesTest, ASaveThatCannotBeWrittenSaysWhyAndKeepsTheDialogWithWhatWasTyped)
{
    fakes.registry.failure = "/home/ann/.config/Orlentis: /home/ann/.config is read-only";
    Main();
    frmPreferences* form = LoadedPreferencesForm();
    ASSERT_NE(form, nullptr);
    form->txtMyName->setText("Ann Example");
    form->cmdSave->click();

    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].text, "Your preferences could not be saved: " + fakes.registry.failure);
    EXPECT_EQ(fakes.messages.shown[0].caption, "Tolvane");
    EXPECT_FALSE(fakes.autostart.enabled);
    EXPECT_EQ(fakes.autostart.disableCalls, 0);
    EXPECT_EQ(LoadedPreferencesForm(), form) << "the dialog stays open";
    EXPECT_EQ(form->txtMyName->text(), "Ann Example");
    EXPECT_EQ(programEnds + immediateEnds, 0);
    EXPECT_EQ(LoadedMainForm(), nullptr);
}

TEST_F(PreferencesTest, EveryWayOfClosingWithoutSavingWritesNothingAndBringsTheMainWindowBack)
{
    const std::pair<const char*, std::function<void(frmPreferences*)>> ways[] = {
        {"Cancel", [](frmPreferences* form) { form->cmdCancel->click(); }},
        {"Esc", [](frmPreferences* form) { QTest::keyClick(form, Qt::Key_Escape); }},
        {"close box", [](frmPreferences* form) { form->close(); }},
    };
    for (const auto& [way, close] : ways) {
        SCOPED_TRACE(way);
        startConfigured();
        const int loadsBefore = mainWindowLoads();
        frmPreferences* form = openFromMenu();
        form->txtMyName->setText("Bob");
        form->cboState->setCurrentIndex(form->cboState->findText("Alaska"));
        form->chkSound->setChecked(false);
        close(form);

        EXPECT_EQ(fakes.registry.values, StoredSettings);
        EXPECT_FALSE(fakes.autostart.enabled);
        EXPECT_EQ(fakes.autostart.disableCalls, 0);
        EXPECT_EQ(LoadedPreferencesForm(), nullptr);
        ASSERT_NE(LoadedMainForm(), nullptr);
        EXPECT_TRUE(LoadedMainForm()->isVisible());
        EXPECT_EQ(mainWindowLoads(), loadsBefore + 1) << "one start-up run, one fresh main window";
        EXPECT_EQ(AppSettings.State, "Alaska") << "the last selection stays in memory";
        EXPECT_EQ(programEnds, 0);
        UnloadMainForm();
        programEnds = 0;
    }
}

TEST_F(PreferencesTest, SaveWithSplashNeverEndsTheProgramOnTheWayBackToTheMainWindow)
{
    startConfigured();
    // Every pause on the way (the splash countdown's seconds, the main window's load) happens with a
    // window of the program still loaded; the splash windows shown meanwhile are counted.
    int pausesWithoutWindow = 0;
    int splashesShown = 0;
    bool splashUp = false;
    fakes.sleeper.onSleep = [&](int) {
        pausesWithoutWindow += Lifetime::anyFormLoaded() ? 0 : 1;
        const bool splashNow = LoadedSplashForm() != nullptr;
        splashesShown += splashNow && !splashUp ? 1 : 0;
        splashUp = splashNow;
    };
    frmPreferences* form = openFromMenu();
    ASSERT_FALSE(form->chkSplash->isChecked()) << "stored off";
    form->chkSplash->setChecked(true);
    QTest::keyClicks(form->txtMyName, " Jr");
    QTest::keyClick(form->txtMyName, Qt::Key_Return); // Enter presses the default button, "&Save"

    EXPECT_EQ(fakes.registry.values.value("Splash"), "1");
    EXPECT_EQ(fakes.registry.values.value("My Name"), "Ann Example Jr");
    EXPECT_EQ(splashesShown, 2) << "one countdown from the save, one from the dialog's unload";
    EXPECT_EQ(programEnds, 0);
    EXPECT_EQ(immediateEnds, 0);
    EXPECT_EQ(pausesWithoutWindow, 0);
    EXPECT_EQ(LoadedPreferencesForm(), nullptr);
    ASSERT_NE(LoadedMainForm(), nullptr);
    EXPECT_TRUE(LoadedMainForm()->isVisible());
    EXPECT_TRUE(Lifetime::isLoaded(LoadedMainForm()));
    EXPECT_EQ(mainWindowLoads(), 2) << "the start-up run of the unload only shows the new window";

    fakes.sleeper.onSleep = nullptr;
    LoadedMainForm()->mnuFileExit_Click();
    EXPECT_EQ(programEnds, 1) << "the program ends with its last window";
    EXPECT_FALSE(endedWithMainWindow);
}

TEST_F(PreferencesTest, FirstRunShowsOnlyTheDialogAndClosingItUnsavedEndsTheProgram)
{
    Main();
    ASSERT_NE(LoadedPreferencesForm(), nullptr);
    EXPECT_EQ(LoadedMainForm(), nullptr);
    EXPECT_TRUE(fakes.sleeper.sleeps.empty()) << "no splash, no main window";
    EXPECT_TRUE(fakes.http.requests.empty()) << "nothing downloaded";

    const QPointer<frmPreferences> dialog = LoadedPreferencesForm();
    dialog->cmdCancel->click();
    EXPECT_EQ(programEnds, 1);
    EXPECT_EQ(LoadedPreferencesForm(), nullptr);
    EXPECT_TRUE(!dialog || !dialog->isVisible()) << "the closing dialog is not shown again";
    EXPECT_EQ(LoadedMainForm(), nullptr);
    EXPECT_FALSE(fakes.registry.companyKey) << "nothing stored";
}

TEST_F(PreferencesTest, FirstRunSaveBringsUpTheMainWindowGreetingTheName)
{
    Main();
    frmPreferences* form = LoadedPreferencesForm();
    form->txtMyName->setText("Zoë Example");
    form->cmdSave->click();
    EXPECT_EQ(programEnds, 0);
    ASSERT_NE(LoadedMainForm(), nullptr);
    EXPECT_EQ(LoadedMainForm()->windowTitle(), "Zoë's Tolvane Version 1.0");
    EXPECT_EQ(fakes.registry.values.value("My Name"), "Zoë Example");
}

TEST_F(PreferencesTest, TabMovesThroughTheControlsInTheirOrder)
{
    ShowPreferencesForm();
    frmPreferences* form = LoadedPreferencesForm();
    QApplication::setActiveWindow(form);
    form->txtMyName->setFocus();
    QStringList visited;
    for (int i = 0; i < 12; ++i) {
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        // The time-server box's text field stands for the box.
        if (focused == form->cboTimeServer->lineEdit())
            focused = form->cboTimeServer;
        visited << focused->objectName();
        QTest::keyClick(focused, Qt::Key_Tab);
    }
    EXPECT_EQ(visited, QStringList({"txtMyName", "cboState", "cboStation", "cboTimeServer", "chkAutorun", "chkSound",
                                    "chkSplash", "chkUpdate", "chkUTC", "chkPreciseTime", "cmdSave", "cmdCancel"}));
}

TEST_F(PreferencesTest, LooksAsDesigned)
{
    ShowPreferencesForm();
    frmPreferences* form = LoadedPreferencesForm();
    EXPECT_EQ(form->size(), QSize(387, 171));
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(form->windowIcon().isNull());
    EXPECT_EQ(form->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_TRUE(form->cmdSave->isDefault());

    const QList<QWidget*> texts = {form->lblName,     form->txtMyName,     form->lblState,      form->cboState,
                                   form->lblLocation, form->cboStation,    form->lblTimeServer, form->cboTimeServer,
                                   form->chkAutorun,  form->chkSound,      form->chkSplash,     form->chkUpdate,
                                   form->chkUTC,      form->chkPreciseTime};
    for (QWidget* widget : texts) {
        SCOPED_TRACE(widget->objectName().toStdString());
        EXPECT_EQ(widget->palette().color(QPalette::WindowText), QColor(0, 0, 64));
        EXPECT_EQ(widget->palette().color(QPalette::Text), QColor(0, 0, 64));
        EXPECT_TRUE(widget->font().bold());
        EXPECT_DOUBLE_EQ(widget->font().pointSizeF(), 8.25);
    }
    // Every caption reads as designed (a mnemonic only underlines a letter) and fits its control.
    const std::pair<QLabel*, QString> captions[] = {{form->lblName, "Name"},
                                                    {form->lblState, "State"},
                                                    {form->lblLocation, "Station"},
                                                    {form->lblTimeServer, "Time Server"}};
    for (const auto& [label, designed] : captions) {
        SCOPED_TRACE(label->text().toStdString());
        const QString shown = QString(label->text()).remove('&');
        EXPECT_EQ(shown, designed);
        EXPECT_LE(label->fontMetrics().horizontalAdvance(shown), label->width());
        EXPECT_LE(label->fontMetrics().height(), label->height());
    }
    const QList<QCheckBox*> boxes = {form->chkAutorun, form->chkSound, form->chkSplash,
                                     form->chkUpdate,  form->chkUTC,   form->chkPreciseTime};
    for (QCheckBox* box : boxes) {
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = box->text();
        const QRect contents = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
        EXPECT_LE(box->fontMetrics().horizontalAdvance(box->text()), contents.width()) << box->text().toStdString();
    }
    for (QPushButton* button : {form->cmdSave, form->cmdCancel}) {
        const int margins = 2 * button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
        const int textWidth = button->fontMetrics().horizontalAdvance(button->text().remove('&'));
        EXPECT_LE(textWidth + margins, button->width()) << button->text().toStdString();
    }
}

TEST_F(PreferencesTest, EveryTextReadsUnderADarkPaletteAndTheDesignedColoursStayWhereTheyRead)
{
    const QPalette light = QApplication::palette();
    const auto restoreLight = qScopeGuard([&] { QApplication::setPalette(light); });
    const auto expectReadable = [](QWidget* window) {
        const std::vector<MeasuredText> texts = MeasureTextContrast(window);
        EXPECT_EQ(texts.size(), 16u) << "four labels, three boxes, the name box, six check boxes, two buttons";
        for (const MeasuredText& text : texts)
            EXPECT_GE(text.contrast, 4.5) << text.control.toStdString() << ": " << text.text.toStdString();
    };
    const QColor darkBlue(0, 0, 64);

    QApplication::setPalette(DarkPalette());
    ShowPreferencesForm();
    frmPreferences* form = LoadedPreferencesForm();
    form->txtMyName->setText("Ann Example");
    {
        SCOPED_TRACE("dark");
        expectReadable(form);
        // Dark blue stays where its white partner is fixed; the fields keep the system's dark
        // background and with it the system's light text.
        EXPECT_EQ(form->lblName->palette().color(QPalette::WindowText), darkBlue);
        EXPECT_EQ(form->chkSound->palette().color(QPalette::WindowText), darkBlue);
        EXPECT_EQ(form->txtMyName->palette().color(QPalette::Base), DarkPalette().color(QPalette::Base));
        EXPECT_EQ(form->txtMyName->palette().color(QPalette::Text), DarkPalette().color(QPalette::Text));
    }

    // The desktop switches back to a light palette while the dialog is open.
    QApplication::setPalette(light);
    QApplication::processEvents(); // the change reaches the windows as posted events
    {
        SCOPED_TRACE("light again");
        expectReadable(form);
        for (QWidget* field : {static_cast<QWidget*>(form->txtMyName), static_cast<QWidget*>(form->cboStation)})
            EXPECT_EQ(field->palette().color(QPalette::Text), darkBlue) << field->objectName().toStdString();
    }
}

TEST(TextColour, ContrastFollowsTheGuidelinesAndTheDesignedColourGivesWayOnlyWhereItCannotBeRead)
{
    const struct {
        QColor first, second;
        double ratio;
    } ratios[] = {
        {Qt::black, Qt::white, 21.0},
        {Qt::white, Qt::black, 21.0},
        {QColor(0, 0, 64), Qt::white, 19.55},
        {QColor(0x77, 0x77, 0x77), Qt::white, 4.48},
        {QColor(0, 0, 64), QColor(0x24, 0x24, 0x24), 1.26},
        {Qt::red, Qt::red, 1.0},
    };
    for (const auto& r : ratios)
        EXPECT_NEAR(ContrastRatio(r.first, r.second), r.ratio, 0.01)
            << r.first.name().toStdString() << " on " << r.second.name().toStdString();

    const QColor darkBlue(0, 0, 64);
    const QColor light(0xee, 0xee, 0xee);
    const struct {
        QColor background, fallback, chosen;
    } choices[] = {
        {Qt::white, light, darkBlue},                                    // the design reads: kept
        {QColor(0x24, 0x24, 0x24), light, light},                        // a dark field: the system's own text colour
        {QColor(0x24, 0x24, 0x24), QColor(0x30, 0x30, 0x30), Qt::white}, // neither reads: white
        {QColor(0x50, 0x50, 0xa0), QColor(0x40, 0x40, 0x90), Qt::white},
        {QColor(0x76, 0x76, 0x76), QColor(0x80, 0x80, 0x80), Qt::black}, // black reads a little better
    };
    for (const auto& c : choices)
        EXPECT_EQ(ReadableTextColour(darkBlue, c.background, c.fallback), c.chosen)
            << c.background.name().toStdString();
}

TEST_F(PreferencesTest, AltAndTheLabelsLetterReachesEachFieldAndEachFieldIsNamedByItsLabel)
{
    ShowPreferencesForm();
    frmPreferences* form = LoadedPreferencesForm();
    QApplication::setActiveWindow(form);
    form->cmdSave->setFocus();
    const struct {
        Qt::Key letter;
        QLabel* label;
        QWidget* field;
    } fields[] = {{Qt::Key_N, form->lblName, form->txtMyName},
                  {Qt::Key_T, form->lblState, form->cboState},
                  {Qt::Key_A, form->lblLocation, form->cboStation},
                  {Qt::Key_I, form->lblTimeServer, form->cboTimeServer}};
    for (const auto& f : fields) {
        SCOPED_TRACE(f.field->objectName().toStdString());
        EXPECT_EQ(f.label->buddy(), f.field);
        QTest::keyClick(QApplication::focusWidget(), f.letter, Qt::AltModifier);
        QWidget* focused = QApplication::focusWidget();
        EXPECT_TRUE(focused == f.field || focused->parentWidget() == f.field) << focused->objectName().toStdString();
    }
    // Screen readers find each field's label: the text box takes it as its name, and on Linux a
    // drop-down box (named by its value) points to it through a "labelled by" relation.
    EXPECT_EQ(QAccessible::queryAccessibleInterface(form->txtMyName)->text(QAccessible::Name), "Name");
    for (const auto& f : fields) {
        const auto labels = QAccessible::queryAccessibleInterface(f.field)->relations(QAccessible::Label);
        ASSERT_EQ(labels.size(), 1) << f.field->objectName().toStdString();
        EXPECT_EQ(labels.front().first->object(), f.label);
    }
    EXPECT_EQ(QAccessible::queryAccessibleInterface(form->cboTimeServer->lineEdit())->text(QAccessible::Name),
              "Time Server");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(form)->role(), QAccessible::Dialog);
}

} // namespace
