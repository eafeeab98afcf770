#include "shell/frmMain.h"

#include "core/Greeting.h"
#include "core/ProgramInfo.h"
#include "core/Version.h"
#include "cues_and_links/Cues.h"
#include "platform/AppDir.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/InstanceGuard.h"
#include "platform/Services.h"
#include "platform/Sleeper.h"
#include "platform/TrayIcon.h"
#include "settings/AppSettings.h"
#include "settings/SettingsStore.h"
#include "shell/Splash.h"
#include "widgets/ClickableLabel.h"
#include "widgets/ElidingLabel.h"
#include "widgets/Placement.h"
#include "widgets/SharedForm.h"
#include "widgets/Tell.h"
#include "widgets/WindowLook.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QStatusBar>

namespace {
constexpr const char* CreditText = "NOAA's National Weather Service\r\nhttp://www.weather.gov/";

SharedForm<frmMain>& sharedMain()
{
    static SharedForm<frmMain> instance;
    return instance;
}
} // namespace

frmMain* LoadedMainForm()
{
    return sharedMain().loaded();
}

void ShowMainForm()
{
    if (sharedMain().unloading())
        return;
    frmMain* form = sharedMain().load();
    if (!form) {
        Lifetime::endNow();
        return;
    }
    form->showNormal();
    form->raise();
    form->activateWindow();
}

void UnloadMainForm()
{
    sharedMain().unload();
}

frmMain::frmMain(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(Program::Title);
    setWindowIcon(ProgramIcon());
    buildLayout();
    nameForScreenReaders();
    buildMenus();
    connectControls();
    addKeyboardHabits();
    // The client area keeps its designed size; the menu bar comes on top of it.
    setFixedSize(sizeHint());
}

frmMain::~frmMain() = default;

void frmMain::buildLayout()
{
    const QFont bold = SansSerifFont(8.25, true);
    const QFont regular = SansSerifFont(8.25, false);
    auto* client = new QWidget(this);
    client->setFixedSize(6615 / TwipsPerPixel, 4245 / TwipsPerPixel);
    setCentralWidget(client);

    lblTitle = Place(new QLabel(Program::Title, client), Twips(120, 0, 6255, 255), bold);

    fraWeather = Place(new ElidingGroupBox("Click the \"Get Weather\" Button to Load Weather Data", client),
                       Twips(120, 240, 6375, 2655), bold);
    cmdGetWeather = Place(new QPushButton("Get &Weather", fraWeather), Twips(4920, 2160, 1335, 375), bold);
    txtCredit = Place(new ClickableLabel("Credits", fraWeather), Twips(1440, 2040, 2535, 495), regular);
    txtWind = Place(new ElidingLabel("Wind", fraWeather), Twips(1680, 960, 4575, 255), bold);
    txtVisibility = Place(new ElidingLabel({}, fraWeather), Twips(4680, 600, 1215, 255), bold);
    txtPressure = Place(new ElidingLabel({}, fraWeather), Twips(4680, 240, 975, 255), bold);
    txtHumidity = Place(new ElidingLabel({}, fraWeather), Twips(2640, 600, 975, 255), bold);
    txtDewpoint = Place(new ElidingLabel({}, fraWeather), Twips(2640, 240, 975, 255), bold);
    imgCreditLogo = Place(new ClickableLabel(fraWeather), Twips(120, 1920, 1200, 615), bold);
    lblWeatherData = Place(new QLabel("Weather data provided by:", fraWeather), Twips(120, 1680, 1980, 195), regular);
    txtObservation =
        Place(new ElidingLabel("Last Observation Time", fraWeather), Twips(1800, 1440, 4215, 315), regular);
    lblPressure = Place(new QLabel("Pressure", fraWeather), Twips(3840, 240, 750, 195), bold);
    lblVisibility = Place(new QLabel("Visibility", fraWeather), Twips(3840, 600, 705, 195), bold);
    lblHumidity = Place(new QLabel("Humidity", fraWeather), Twips(1800, 600, 735, 195), bold);
    lblDewpoint = Place(new QLabel("Dewpoint", fraWeather), Twips(1800, 240, 810, 195), bold);
    txtTemp = Place(new ElidingLabel("Temp", fraWeather), Twips(360, 1440, 1395, 300), SansSerifFont(9.75, true));
    imgWeather = Place(new QLabel(fraWeather), Twips(600, 240, 780, 780), bold);
    txtWeather = Place(new ElidingLabel("Weather", fraWeather), Twips(120, 1200, 6135, 195),
                       bold); // wider than designed: long conditions would be cut

    fraITS = Place(new QGroupBox("Internet Time Service", client), Twips(120, 2880, 6375, 975), bold);
    cmdLocalTime = Place(new QPushButton("&Local Time", fraITS), Twips(3840, 600, 1095, 255), bold);
    cmdSynchronize = Place(new QPushButton("&Synchronize", fraITS), Twips(5040, 360, 1215, 375), bold);
    cmdGetTime = Place(new QPushButton("&NIST Time", fraITS), Twips(3840, 240, 1095, 255), bold);
    txtLocalTime = Place(new ElidingLabel({}, fraITS), Twips(1680, 600, 2055, 255), regular);
    txtAtomicTime = Place(new ElidingLabel({}, fraITS), Twips(1680, 240, 2055, 255), regular);
    Label1 = Place(new QLabel("Local Time", fraITS), Twips(720, 600, 945, 195), bold);
    lblAtomicTime = Place(new QLabel("NIST Time", fraITS), Twips(720, 240, 915, 195), bold);
    imgNIST = Place(new QLabel(fraITS), Twips(120, 240, 540, 600), bold);

    imgNIST->setPixmap(QPixmap(":/ui/its_badge.png"));
    imgCreditLogo->setPixmap(QPixmap(":/ui/credit_badge.png"));
    txtCredit->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    imgWeather->setScaledContents(true);
    imgWeather->setPixmap(QPixmap(":/ui/tolvane-64.png"));

    // The status bar runs along the bottom edge of the client area.
    StatusBar = new QStatusBar(client);
    StatusBar->setSizeGripEnabled(false);
    const int statusHeight = 20;
    StatusBar->setGeometry(0, client->height() - statusHeight, client->width(), statusHeight);
    StatusBar->setFont(regular);
    txtClockOffset = new QLabel(StatusBar);
    txtClockOffset->setTextFormat(Qt::PlainText);
    StatusBar->addPermanentWidget(txtClockOffset);
}

// Without changing a caption: every value says which field it is, the pictures what they show.
void frmMain::nameForScreenReaders()
{
    const std::pair<ElidingLabel*, QString> values[] = {
        {txtWeather, "Weather"},
        {txtTemp, "Temperature"},
        {txtObservation, "Observation time"},
        {txtDewpoint, lblDewpoint->text()},
        {txtHumidity, lblHumidity->text()},
        {txtVisibility, lblVisibility->text()},
        {txtPressure, lblPressure->text()},
        {txtWind, "Wind"},
        {txtLocalTime, Label1->text()},
        {txtAtomicTime, lblAtomicTime->text()},
    };
    for (const auto& [value, field] : values)
        value->setField(field);
    const std::pair<QLabel*, QWidget*> captions[] = {{lblDewpoint, txtDewpoint},     {lblHumidity, txtHumidity},
                                                     {lblVisibility, txtVisibility}, {lblPressure, txtPressure},
                                                     {Label1, txtLocalTime},         {lblAtomicTime, txtAtomicTime},
                                                     {lblWeatherData, txtCredit}};
    for (const auto& [caption, value] : captions)
        caption->setBuddy(value);

    imgWeather->setAccessibleName("Weather picture");
    imgNIST->setAccessibleName("Internet Time Service logo");
    imgCreditLogo->setAccessibleName("National Weather Service logo");
    imgCreditLogo->setAccessibleDescription("Opens the National Weather Service's web site");
    txtCredit->setAccessibleDescription("Opens the National Weather Service's web site");
}

// Desktop habits that clash with nothing designed.
void frmMain::addKeyboardHabits()
{
    // Enter presses the focused button, as Space does.
    for (QPushButton* button : {cmdGetWeather, cmdGetTime, cmdLocalTime, cmdSynchronize})
        button->setAutoDefault(true);
    // Tab follows the screen: the weather panel's bottom row (the two links, then its button), then
    // the time panel's buttons column by column. The window still opens with its button focused.
    QWidget::setTabOrder(imgCreditLogo, txtCredit);
    QWidget::setTabOrder(txtCredit, cmdGetWeather);
    QWidget::setTabOrder(cmdGetWeather, cmdGetTime);
    QWidget::setTabOrder(cmdGetTime, cmdLocalTime);
    QWidget::setTabOrder(cmdLocalTime, cmdSynchronize);
    cmdGetWeather->setFocus();

    // Commands like any other: refused while one waits.
    keyQuit_ = new QAction(this);
    keyQuit_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(keyQuit_, &QAction::triggered, this, [this] { runCommand(&frmMain::mnuFileExit_Click); });
    keyRefreshWeather_ = new QAction(this);
    keyRefreshWeather_->setShortcut(QKeySequence(Qt::Key_F5));
    connect(keyRefreshWeather_, &QAction::triggered, this, [this] { runCommand(&frmMain::mnuFileWeather_Click); });
    addActions({keyQuit_, keyRefreshWeather_});
}

void frmMain::buildMenus()
{
    mnuFile = menuBar()->addMenu("&File");
    mnuFileWeather = mnuFile->addAction("Update Weather");
    mnuFileWeather->setShortcut(QKeySequence("Ctrl+W"));
    mnuFileTimeSync = mnuFile->addAction("TimeSync");
    mnuFileTimeSync->setShortcut(QKeySequence("Ctrl+T"));
    mnuFilePref = mnuFile->addAction("Preferences");
    mnuFilePref->setShortcut(QKeySequence("Ctrl+P"));
    mnuFile->addSeparator();
    mnuFileExit = mnuFile->addAction("Exit");
    mnuFileExit->setShortcut(QKeySequence("Ctrl+X"));

    mnuHelp = menuBar()->addMenu("&Help");
    mnuHelpApp = mnuHelp->addAction("Online Help");
    mnuHelpApp->setShortcut(QKeySequence("Ctrl+H"));
    mnuHelpWeb = mnuHelp->addAction("Visit us on the web");
    mnuHelpWeb->setShortcut(QKeySequence("Ctrl+V"));
    mnuHelpUpdate = mnuHelp->addAction("Update");
    mnuHelpUpdate->setShortcut(QKeySequence("Ctrl+U"));
    mnuHelpAbout = mnuHelp->addAction("About");
    mnuHelpAbout->setShortcut(QKeySequence("Ctrl+A"));

    // Never in the menu bar: popped up at the notification icon.
    mnuSystray = new QMenu("System Tray Popup", this);
    mnuSysWeather = mnuSystray->addAction("Weather");
    mnuSysTime = mnuSystray->addAction("TimeSync");
    mnuSysPref = mnuSystray->addAction("Preferences");
    mnuSysAbout = mnuSystray->addAction("About");
    mnuSystray->addSeparator();
    mnuRestore = mnuSystray->addAction("Restore");
    mnuMinimize = mnuSystray->addAction("Minimize");
    mnuSystray->addSeparator();
    mnuExit = mnuSystray->addAction("Exit");
}

void frmMain::connectControls()
{
    const auto command = [this](void (frmMain::*handler)()) { return [this, handler] { runCommand(handler); }; };
    connect(cmdGetWeather, &QPushButton::clicked, this, command(&frmMain::cmdGetWeather_Click));
    connect(cmdGetTime, &QPushButton::clicked, this, command(&frmMain::cmdGetTime_Click));
    connect(cmdSynchronize, &QPushButton::clicked, this, command(&frmMain::cmdSynchronize_Click));
    connect(cmdLocalTime, &QPushButton::clicked, this, command(&frmMain::cmdLocalTime_Click));
    connect(txtCredit, &ClickableLabel::clicked, this, command(&frmMain::txtCredit_Click));
    connect(imgCreditLogo, &ClickableLabel::clicked, this, command(&frmMain::imgCreditLogo_Click));

    const struct {
        QAction* action;
        void (frmMain::*handler)();
    } items[] = {
        {mnuSysWeather, &frmMain::mnuSysWeather_Click},
        {mnuSysTime, &frmMain::mnuSysTime_Click},
        {mnuSysPref, &frmMain::mnuSysPref_Click},
        {mnuSysAbout, &frmMain::mnuSysAbout_Click},
        {mnuRestore, &frmMain::mnuRestore_Click},
        {mnuMinimize, &frmMain::mnuMinimize_Click},
        {mnuExit, &frmMain::mnuExit_Click},
        {mnuFileWeather, &frmMain::mnuFileWeather_Click},
        {mnuFileTimeSync, &frmMain::mnuFileTimeSync_Click},
        {mnuFilePref, &frmMain::mnuFilePref_Click},
        {mnuFileExit, &frmMain::mnuFileExit_Click},
        {mnuHelpApp, &frmMain::mnuHelpApp_Click},
        {mnuHelpWeb, &frmMain::mnuHelpWeb_Click},
        {mnuHelpUpdate, &frmMain::mnuHelpUpdate_Click},
        {mnuHelpAbout, &frmMain::mnuHelpAbout_Click},
    };
    for (const auto& item : items)
        connect(item.action, &QAction::triggered, this, command(item.handler));
}

void frmMain::runCommand(void (frmMain::*handler)())
{
    // Waits handle paint and desktop messages, and so also timers, D-Bus (the tray menu) and focus:
    // a command that arrives meanwhile is refused, so that steps never interleave.
    if (busy())
        return;
    const BusyScope scope(busy_);
    (this->*handler)();
}

void frmMain::setStatus(const QString& text)
{
    StatusBar->showMessage(text);
    StatusBar->repaint();
}

QString frmMain::statusText() const
{
    return StatusBar->currentMessage();
}

void frmMain::showWeatherPicture(const QString& path)
{
    imgWeather->setPixmap(QPixmap(FileSystem::resolve(path)));
}

bool frmMain::Form_Load()
{
    const BusyScope scope(busy_);
    if (services().instance->anotherCopyRunning()) {
        Tell(Program::Title + " is already running!", MessageIcon::Information);
        return false;
    }
    AppSettings = ReadStartupSettings(AppSettings);
    if (AppSettings.soundOn())
        PlayCue("myfriend.wav");
    const QString greeting = GreetingForHour(services().clock->nowLocal().time().hour());
    if (!AppSettings.MyName.isEmpty()) {
        lblTitle->setText(GreetingLine(greeting, AppSettings.MyName));
        setWindowTitle(PersonalTitle(AppSettings.MyName, VersionText));
    }
    if (!AppSettings.Station.isEmpty())
        fraWeather->setTitle("Weather Forecast as reported by " + AppSettings.Station);
    showWeatherPicture(AppPath({"Images", "clear.jpg"}));
    fillTrayRecord(Program::Title);
    txtCredit->setText(CreditText);
    txtCredit->setAccessibleName(lblWeatherData->text() + " " + QString(CreditText).replace("\r\n", ", "));
    services().sleeper->sleepMs(1000);
    cmdLocalTime_Click();
    cmdGetTime_Click();
    cmdGetWeather_Click();
    // A refresh that received nothing keeps saying so rather than "Ready".
    if (!weatherDataMissing)
        setStatus("Ready");
    return true;
}

void frmMain::Form_Resize()
{
    // Hidden, the window is reachable only through the notification icon; without one on show (no
    // notification area, or the window never became active) it stays minimised on the task bar.
    const TrayIcon* tray = services().tray;
    if ((windowState() & Qt::WindowMinimized) && tray && tray->shown())
        hide();
}

void frmMain::Form_Unload()
{
    if (AppSettings.soundOn()) {
        PlayCue("goodbye.wav");
        ShowSplashCountdown();
    }
    removeTrayIcon();
}

void frmMain::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    // Closing while a command waits would pull the window from under it: the close is refused.
    if (busy()) {
        event->ignore();
        return;
    }
    event->accept();
    UnloadMainForm();
}

bool frmMain::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QMainWindow::event(event);
}
