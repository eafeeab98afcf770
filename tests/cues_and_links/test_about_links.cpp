#include "settings/AppSettings.h"
#include "shell/frmAbout.h"
#include "shell/frmMain.h"
#include "shell/modMain.h"
#include "support/ConfiguredUser.h"
#include "support/FakeServices.h"
#include "support/TextContrast.h"
#include "widgets/ClickableLabel.h"
#include "widgets/Lifetime.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <gtest/gtest.h>

void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

// A left click as the user makes it: press and release inside the control.
void click(QWidget* control)
{
    const QPointF inside(control->width() / 2.0, control->height() / 2.0);
    const QPointF global = control->mapToGlobal(inside);
    QMouseEvent press(QEvent::MouseButtonPress, inside, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, inside, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(control, &press);
    QApplication::sendEvent(control, &release);
}

// A key pressed while `control` has the keyboard focus.
void press(QWidget* control, Qt::Key key)
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(control, &event);
}

int visibleAboutBoxes()
{
    int count = 0;
    for (QWidget* window : QApplication::topLevelWidgets())
        count += qobject_cast<frmAbout*>(window) && window->isVisible();
    return count;
}

class AboutAndLinksTest : public testing::Test {
protected:
    void SetUp() override
    {
        AppSettings = {};
        Lifetime::setEndHandlers([this] { ++programEnds; }, [] {});
        SeedConfiguredUser(fakes.registry, "Ann");
        Main();
        QApplication::processEvents();
        form = LoadedMainForm();
        ASSERT_NE(form, nullptr);
    }
    void TearDown() override
    {
        UnloadAboutForm();
        UnloadMainForm();
        QApplication::processEvents();
    }

    QTemporaryDir appDir;
    FakeServices fakes{appDir.path()};
    frmMain* form = nullptr;
    int programEnds = 0;
};

TEST_F(AboutAndLinksTest, EachLinkOpensItsSiteWithOrWithoutTheClosingSlash)
{
    click(form->txtCredit);
    click(form->imgCreditLogo);
    form->mnuHelpWeb->trigger();
    form->mnuHelpAbout->trigger();
    click(LoadedAboutForm()->imgOrlentis);
    EXPECT_EQ(fakes.shell.opened, QStringList({"http://www.weather.gov/", "http://www.weather.gov",
                                               "http://www.orlentis.example", "http://www.orlentis.example/"}));
    EXPECT_TRUE(fakes.messages.shown.empty());
}

TEST_F(AboutAndLinksTest, TheKeyboardReachesAndOpensEveryLink)
{
    form->mnuHelpAbout->trigger();
    frmAbout* about = LoadedAboutForm();
    const struct {
        ClickableLabel* link;
        QString site;
    } links[] = {
        {form->txtCredit, "http://www.weather.gov/"},
        {form->imgCreditLogo, "http://www.weather.gov"},
        {about->imgOrlentis, "http://www.orlentis.example/"},
    };
    for (const auto& l : links) {
        EXPECT_EQ(l.link->focusPolicy() & Qt::TabFocus, Qt::TabFocus) << l.site.toStdString() << " reached by Tab";
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_A}) {
            fakes.shell.opened.clear();
            press(l.link, key);
            const QStringList expected = key == Qt::Key_A ? QStringList() : QStringList{l.site};
            EXPECT_EQ(fakes.shell.opened, expected) << l.site.toStdString() << " key " << key;
        }
    }
}

TEST_F(AboutAndLinksTest, OnlineHelpOnlyShowsTheNotice)
{
    form->mnuHelpApp->trigger();
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].text,
              "A help file will be available when this program is officially released as Version 1.0");
    EXPECT_EQ(fakes.messages.shown[0].caption, "Tolvane");
    EXPECT_EQ(fakes.messages.shown[0].icon, MessageIcon::Information);
    EXPECT_TRUE(fakes.shell.opened.isEmpty());
    EXPECT_EQ(LoadedAboutForm(), nullptr);
}

TEST_F(AboutAndLinksTest, TwoAboutCommandsLeaveOneBoxBesideAUsableMainWindow)
{
    form->mnuHelpAbout->trigger();
    frmAbout* first = LoadedAboutForm();
    form->mnuSysAbout->trigger();
    QApplication::processEvents();
    EXPECT_EQ(LoadedAboutForm(), first);
    EXPECT_EQ(visibleAboutBoxes(), 1);
    EXPECT_EQ(first->windowTitle(), "About Tolvane & Author");
    EXPECT_EQ(first->cmdOK->text(), "OK");
    EXPECT_FALSE(first->isModal());
    EXPECT_TRUE(form->isEnabled() && form->isVisible());
}

TEST_F(AboutAndLinksTest, TextsAreLinesEndingInCrLfAndComeBackAfterOk)
{
    form->mnuHelpAbout->trigger();
    frmAbout* box = LoadedAboutForm();
    const QStringList texts = {box->lblContact->text(), box->lblAboutSieve->text(), box->lblCopyright->text(),
                               box->lblOrlentis->text()};

    const QStringList contact = texts[0].split("\r\n");
    ASSERT_EQ(contact.size(), 7) << "Contact: and five lines, each closed by CR LF";
    EXPECT_EQ(contact[0], "Contact:");
    EXPECT_EQ(contact[1], "Orlentis");
    EXPECT_TRUE(contact[4].contains("555")) << "a telephone number that reaches nobody";
    EXPECT_EQ(contact[5], "http://www.orlentis.example/");
    EXPECT_EQ(contact[6], "");
    EXPECT_FALSE(contact.mid(1, 5).contains(""));
    EXPECT_TRUE(texts[1].contains("Tolvane") && texts[1].contains("Orlentis"));
    EXPECT_TRUE(texts[2].contains("Orlentis") && texts[2].contains("Copyright"));
    EXPECT_EQ(texts[3].count("\r\n"), 1);
    EXPECT_TRUE(texts[3].endsWith("\r\n"));

    click(box->cmdOK);
    QApplication::processEvents();
    EXPECT_EQ(LoadedAboutForm(), nullptr);
    EXPECT_EQ(visibleAboutBoxes(), 0);

    form->mnuHelpAbout->trigger();
    box = LoadedAboutForm();
    EXPECT_EQ(QStringList({box->lblContact->text(), box->lblAboutSieve->text(), box->lblCopyright->text(),
                           box->lblOrlentis->text()}),
              texts);
}

TEST_F(AboutAndLinksTest, ClosingTheAboutBoxBesideAHiddenMainWindowKeepsTheProgram)
{
    form->mnuMinimize_Click();
    QApplication::processEvents();
    ASSERT_FALSE(form->isVisible());
    form->mnuSysAbout->trigger();
    LoadedAboutForm()->close();
    QApplication::processEvents();
    EXPECT_EQ(LoadedAboutForm(), nullptr);
    EXPECT_EQ(programEnds, 0);
    EXPECT_EQ(LoadedMainForm(), form);
}

TEST_F(AboutAndLinksTest, AnOpenAboutBoxOutlivesTheMainWindowAndThenEndsTheProgram)
{
    form->mnuHelpAbout->trigger();
    form->mnuFileExit->trigger();
    EXPECT_EQ(LoadedMainForm(), nullptr);
    EXPECT_EQ(programEnds, 0);
    click(LoadedAboutForm()->cmdOK);
    EXPECT_EQ(programEnds, 1);
}

TEST_F(AboutAndLinksTest, EveryTextOfTheAboutBoxReadsUnderADarkPalette)
{
    const QPalette light = QApplication::palette();
    const auto restoreLight = qScopeGuard([&] { QApplication::setPalette(light); });
    QApplication::setPalette(DarkPalette());
    form->mnuHelpAbout->trigger();
    const std::vector<MeasuredText> texts = MeasureTextContrast(LoadedAboutForm());
    EXPECT_EQ(texts.size(), 5u) << "four labels and the button";
    for (const MeasuredText& text : texts)
        EXPECT_GE(text.contrast, 4.5) << text.control.toStdString() << ": " << text.text.toStdString();
}

TEST_F(AboutAndLinksTest, EscClosesTheAboutBoxWhichIsADialogWithANamedLogo)
{
    form->mnuHelpAbout->trigger();
    frmAbout* box = LoadedAboutForm();
    QApplication::setActiveWindow(box);
    QAccessibleInterface* dialog = QAccessible::queryAccessibleInterface(box);
    EXPECT_EQ(dialog->role(), QAccessible::Dialog);
    EXPECT_EQ(dialog->text(QAccessible::Name), "About Tolvane & Author");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(box->imgOrlentis)->text(QAccessible::Name), "Orlentis logo");

    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(box->cmdOK, &escape);
    QApplication::processEvents();
    EXPECT_EQ(LoadedAboutForm(), nullptr);
    EXPECT_EQ(visibleAboutBoxes(), 0);
    EXPECT_EQ(LoadedMainForm(), form) << "the main window stays";
    EXPECT_EQ(programEnds, 0);
}

} // namespace
