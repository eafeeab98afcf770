#pragma once

#include <functional>

// How the dialog ended, told to whoever installed the end handler: a save, then, however it
// closes (save, cancel, close box), its closing.
enum class PreferencesEnd { Saved, Closed };
// The start-up sequence installs this: it is the way back from the dialog to the main window.
void SetPreferencesEndHandler(std::function<void(PreferencesEnd)> handler);
void NotifyPreferencesEnd(PreferencesEnd end);

// The shared preferences dialog.
// First run: shows the dialog; when asked while that dialog is closing, nothing is shown and the
// program ends with it.
void ShowPreferencesForFirstRun();
// From the main window's menus: shows the dialog (loading it when needed).
void ShowPreferencesForm();
