#include "shell/PreferencesWindow.h"

#include "shell/frmPreferences.h"
#include "widgets/Placement.h"
#include "widgets/SharedForm.h"

namespace {
SharedForm<frmPreferences>& sharedPreferences()
{
    static SharedForm<frmPreferences> instance;
    return instance;
}

std::function<void(PreferencesEnd)>& endHandler()
{
    static std::function<void(PreferencesEnd)> handler;
    return handler;
}
} // namespace

void SetPreferencesEndHandler(std::function<void(PreferencesEnd)> handler)
{
    endHandler() = std::move(handler);
}

void NotifyPreferencesEnd(PreferencesEnd end)
{
    if (endHandler())
        endHandler()(end);
}

frmPreferences* LoadedPreferencesForm()
{
    return sharedPreferences().loaded();
}

void ShowPreferencesForm()
{
    // Asked while the dialog closes (the start-up sequence of a first run that was never saved):
    // nothing is shown, and the program ends with the dialog.
    if (sharedPreferences().unloading())
        return;
    frmPreferences* form = sharedPreferences().loaded();
    if (!form) {
        form = sharedPreferences().create();
        form->Form_Load();
        CentreOnScreen(form);
    }
    ShowInFront(form);
}

void ShowPreferencesForFirstRun()
{
    ShowPreferencesForm();
}

void UnloadPreferencesForm()
{
    // Still loaded while the start-up sequence brings the main window back, so the program does not
    // end in between (a splash window may open and close meanwhile).
    sharedPreferences().unload([](frmPreferences* form) {
        form->hide();
        form->Form_Unload();
    });
}
