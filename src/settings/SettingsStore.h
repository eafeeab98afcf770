#pragma once

#include "settings/AppSettings.h"

#include <QString>

// Reading and writing the user's settings through the platform's settings registry.
QString ReadSetting(const QString& valueName);
// Empty on success; otherwise what could not be written, naming the place and the reason.
QString WriteSetting(const QString& valueName, const QString& text);
QString EnsureSettingsKeys();
// True when the company key exists; the settings key and its values are not looked at.
bool SettingsPresent();

// The text before the first blank, or the whole text when it has none.
QString FirstWord(const QString& text);

// What the user must be told, once, when the stored settings cannot be read: the program then runs
// with empty values, which must not pass for the user's choice. Empty when they can be read.
QString UnreadableSettingsMessage();

// The main window's start-up read: `current` with "My Name" (first word), "Station" (first four
// characters), "Time Server" (whole), "Sound", "UTC" and "Precise Time" (first character) read in
// that order.
AppSettingsRecord ReadStartupSettings(AppSettingsRecord current);
// The start-up sequence's read: the first character of "Splash".
QString ReadSplashSetting();
