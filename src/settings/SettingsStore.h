#pragma once

#include <QString>

// Reading and writing the user's settings through the platform's settings registry.
QString ReadSetting(const QString& valueName);
void WriteSetting(const QString& valueName, const QString& text);
void EnsureSettingsKeys();
// True when the company key exists; the settings key and its values are not looked at.
bool SettingsPresent();

// The text before the first blank, or the whole text when it has none.
QString FirstWord(const QString& text);

// The main window's start-up read: "My Name" (first word), "Station" (first four characters),
// "Time Server" (whole), "Sound" and "UTC" (first character), in that order, into AppSettings.
void ReadStartupSettings();
