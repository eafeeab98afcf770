#pragma once

#include "weather/ObservationAge.h"
#include "widgets/ElidingLabel.h"

#include <QMainWindow>

#include <optional>

class ClickableLabel;
class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QStatusBar;

// The main window: greeting line, weather panel, time panel, status bar, File and Help menus and the
// hidden pop-up menu of the notification icon. Handlers live in the files of the subsystem they serve.
class frmMain final : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // Load handler; false when this copy must end (another copy is running).
    bool Form_Load();
    void Form_Activate();
    void Form_Resize();
    void Form_Unload();
    // Notification-icon events arrive here with the mouse message in `x`.
    void Form_MouseMove(int x);

    void cmdGetWeather_Click();
    void cmdGetTime_Click();
    void cmdSynchronize_Click();
    void cmdLocalTime_Click();
    void txtCredit_Click();
    void imgCreditLogo_Click();

    void mnuSysWeather_Click();
    void mnuSysTime_Click();
    void mnuSysPref_Click();
    void mnuSysAbout_Click();
    void mnuRestore_Click();
    void mnuMinimize_Click();
    void mnuExit_Click();
    void mnuFileWeather_Click();
    void mnuFileTimeSync_Click();
    void mnuFilePref_Click();
    void mnuFileExit_Click();
    void mnuHelpApp_Click();
    void mnuHelpWeb_Click();
    void mnuHelpUpdate_Click();
    void mnuHelpAbout_Click();

    // Writes the status bar and paints it at once: handlers block the thread while they work.
    void setStatus(const QString& text);
    QString statusText() const;
    // Shows a picture file in `imgWeather`; a missing or unreadable file leaves the picture empty.
    void showWeatherPicture(const QString& path);
    // True while a command runs (and waits): no other command may start meanwhile.
    bool busy() const { return busy_ > 0; }
    // Set by the weather refresh when it received no observation at all.
    bool weatherDataMissing = false;
    // The observation on show (none before the first one arrives) and the age mark after
    // txtObservation's caption, kept apart so that shortening a long caption keeps the mark.
    std::optional<ShownObservation> shownObservation;
    QString observationMark;

    // Controls, named as designed.
    QLabel* lblTitle = nullptr;
    QGroupBox* fraITS = nullptr;
    QPushButton* cmdLocalTime = nullptr;
    QPushButton* cmdSynchronize = nullptr;
    QPushButton* cmdGetTime = nullptr;
    ElidingLabel* txtLocalTime = nullptr;
    ElidingLabel* txtAtomicTime = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* lblAtomicTime = nullptr;
    QLabel* imgNIST = nullptr;
    ElidingGroupBox* fraWeather = nullptr;
    QPushButton* cmdGetWeather = nullptr;
    ClickableLabel* txtCredit = nullptr;
    ElidingLabel* txtWind = nullptr;
    ElidingLabel* txtVisibility = nullptr;
    ElidingLabel* txtPressure = nullptr;
    ElidingLabel* txtHumidity = nullptr;
    ElidingLabel* txtDewpoint = nullptr;
    ClickableLabel* imgCreditLogo = nullptr;
    QLabel* lblWeatherData = nullptr;
    ElidingLabel* txtObservation = nullptr;
    QLabel* lblPressure = nullptr;
    QLabel* lblVisibility = nullptr;
    QLabel* lblHumidity = nullptr;
    QLabel* lblDewpoint = nullptr;
    ElidingLabel* txtTemp = nullptr;
    QLabel* imgWeather = nullptr;
    ElidingLabel* txtWeather = nullptr;
    QStatusBar* StatusBar = nullptr;
    // At the status bar's right: how far off the clock was at the last synchronisation over NTP.
    QLabel* txtClockOffset = nullptr;

    QMenu* mnuFile = nullptr;
    QMenu* mnuHelp = nullptr;
    QMenu* mnuSystray = nullptr;
    QAction* mnuSysWeather = nullptr;
    QAction* mnuSysTime = nullptr;
    QAction* mnuSysPref = nullptr;
    QAction* mnuSysAbout = nullptr;
    QAction* mnuRestore = nullptr;
    QAction* mnuMinimize = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuFileWeather = nullptr;
    QAction* mnuFileTimeSync = nullptr;
    QAction* mnuFilePref = nullptr;
    QAction* mnuFileExit = nullptr;
    QAction* mnuHelpApp = nullptr;
    QAction* mnuHelpWeb = nullptr;
    QAction* mnuHelpUpdate = nullptr;
    QAction* mnuHelpAbout = nullptr;

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    // Counts a running command for as long as it is in scope.
    struct BusyScope final {
        explicit BusyScope(int& depth) : depth_(depth) { ++depth_; }
        ~BusyScope() { --depth_; }
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;
        int& depth_;
    };
    // Runs a command from an entry point (button, menu, key), unless another one is running.
    void runCommand(void (frmMain::*handler)());

    int busy_ = 0;
    void buildLayout();
    void nameForScreenReaders();
    void addKeyboardHabits();
    void buildMenus();
    void connectControls();
    void restoreFromTray();
    // The notification record and icon (see the tray files).
    void fillTrayRecord(const QString& tip);
    void removeTrayIcon();

    // Keys outside the menus: Ctrl+Q quits as File > Exit does, F5 refreshes the weather.
    QAction* keyQuit_ = nullptr;
    QAction* keyRefreshWeather_ = nullptr;
};

// The one shared main window while it is loaded, else null.
frmMain* LoadedMainForm();
// Loads the window when needed (running its load handler), then shows it and brings it forward. A
// load that finds another copy running ends the program.
void ShowMainForm();
// Runs the unload handler, then releases the window; the program ends if no other window is loaded.
void UnloadMainForm();
