#pragma once

#include "settings/AppSettings.h"

#include <QString>
#include <QStringList>

// What the preferences dialog shows when "&Save" is pressed, taken from its controls.
struct PreferencesChoices {
    QString name;           // the name box, as typed
    QString stationText;    // the station box: "Station name=CODE"
    QString timeServerText; // the time-server box, as chosen or typed
    bool autorun = true;
    bool sound = true;
    bool splash = true;
    bool update = true;
    bool utc = false;
    bool preciseTime = true;
};

enum class SaveOutcome { NameMissing, Saved, NotWritten };

struct SaveResult {
    SaveOutcome outcome = SaveOutcome::NameMissing;
    AppSettingsRecord saved; // the settings as stored, when saved
    QString message;         // what the user must be told, when not saved
};

// Stores the choices: creates the settings keys, refuses an empty name, then writes "My Name",
// "State" (`current.State`, the state last selected), "Station", "Time Server", sets or removes the
// autostart entry, and writes "Sound", "Splash", "Update", "UTC", "Precise Time". When the store
// cannot be written, the message names the place and the reason, and the autostart entry is left
// alone, so nothing half-saved starts with the next login.
SaveResult SavePreferences(const PreferencesChoices& choices, const AppSettingsRecord& current);

// The station code of a station-box entry: the text after its first "=" and before a second "=",
// untrimmed; empty when the text has no "=".
QString StationCode(const QString& entryText);

// The items in the order of a sorted list box: alphabetical without regard to case.
QStringList SortedForListBox(QStringList items);
