#include "shell/modMain.h"

#include "settings/AppSettings.h"
#include "settings/PreferencesWindow.h"
#include "settings/SettingsStore.h"
#include "shell/MainWindow.h"
#include "shell/Splash.h"
#include "shell/Version.h"
#include "update/PackCheck.h"

bool SplashWanted(const QString& splash)
{
    return !splash.isEmpty() && splash[0].isDigit() && splash[0] != '0';
}

void Main()
{
    VersionText = ProgramVersionText();
    if (!SettingsPresent()) {
        ShowPreferencesForFirstRun();
        return;
    }
    AppSettings.Splash = ReadSetting("Splash").left(1);
    if (SplashWanted(AppSettings.Splash))
        ShowSplashCountdown();
    RunPackCheck();
    ShowMainForm();
}
