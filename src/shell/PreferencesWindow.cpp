#include "shell/PreferencesWindow.h"

#include "shell/frmPreferences.h"
#include "widgets/Lifetime.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

namespace {
QPointer<frmPreferences>& sharedPreferences()
{
    static QPointer<frmPreferences> instance;
    return instance;
}
bool unloading = false;

std::function<void(PreferencesEnd)>& endHandler()
{
    static std::function<void(PreferencesEnd)> handler;
    return handler;
}

void centreOnScreen(QWidget* form)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        form->move(screen->availableGeometry().center() - form->rect().center());
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
    return unloading ? nullptr : sharedPreferences().data();
}

void ShowPreferencesForm()
{
    // Asked while the dialog closes (the start-up sequence of a first run that was never saved):
    // nothing is shown, and the program ends with the dialog.
    if (unloading)
        return;
    frmPreferences* form = sharedPreferences();
    if (!form) {
        form = new frmPreferences();
        sharedPreferences() = form;
        Lifetime::formLoaded(form);
        form->Form_Load();
        centreOnScreen(form);
    }
    form->show();
    form->raise();
    form->activateWindow();
}

void ShowPreferencesForFirstRun()
{
    ShowPreferencesForm();
}

void UnloadPreferencesForm()
{
    frmPreferences* form = sharedPreferences();
    if (!form || unloading)
        return;
    unloading = true;
    form->hide();
    // Still loaded while the start-up sequence brings the main window back, so the program does not
    // end in between (a splash window may open and close meanwhile).
    form->Form_Unload();
    sharedPreferences() = nullptr;
    unloading = false;
    form->deleteLater();
    Lifetime::formUnloaded(form);
}
