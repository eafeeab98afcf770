#pragma once

#include <QString>

// The start-up sequence: first-run test, splash countdown, pack check, main window. Also the way
// back from the preferences dialog.
void Main();

// Whether the stored "Splash" value asks for the countdown: a digit other than "0". A missing value
// or one that does not begin with a digit means no splash.
bool SplashWanted(const QString& splash);
