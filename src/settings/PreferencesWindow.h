#pragma once

// The shared preferences dialog.
// First run: shows the dialog; when asked while that dialog is closing, nothing is shown and the
// program ends with it.
void ShowPreferencesForFirstRun();
// From the main window's menus: shows the dialog (loading it when needed).
void ShowPreferencesForm();
