#include "shell/modMain.h"

#include "core/Version.h"
#include "settings/AppSettings.h"
#include "settings/SettingsStore.h"
#include "shell/Splash.h"
#include "shell/frmMain.h"
#include "shell/frmPreferences.h"
#include "update/PackCheck.h"
#include "widgets/Tell.h"

void Main()
{
    // Both ends of the dialog lead back here, so a save runs the sequence twice: once for the save,
    // once for the closing.
    SetPreferencesEndHandler([](PreferencesEnd) { Main(); });
    VersionText = ProgramVersionText();
    if (!SettingsPresent()) {
        ShowPreferencesForm();
        return;
    }
    if (const QString problem = UnreadableSettingsMessage(); !problem.isEmpty())
        Tell(problem);
    AppSettings.Splash = ReadSplashSetting();
    if (AppSettings.splashOn())
        ShowSplashCountdown();
    RunPackCheck();
    ShowMainForm();
}
