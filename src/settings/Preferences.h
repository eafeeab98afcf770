#pragma once

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
};

enum class SaveOutcome { NameMissing, Saved };

// Stores the choices: creates the settings keys, refuses an empty name with a message, then writes
// "My Name", "State" (the state last selected), "Station", "Time Server", sets or removes the
// autostart entry, and writes "Sound", "Splash", "Update", "UTC", updating AppSettings as it goes.
SaveOutcome SavePreferences(const PreferencesChoices& choices);

// The station code of a station-box entry: the text after its first "=" and before a second "=",
// untrimmed; empty when the text has no "=".
QString StationCode(const QString& entryText);

// The text without leading and trailing blanks (other white space is kept).
QString TrimBlanks(const QString& text);

// The items in the order of a sorted list box: alphabetical without regard to case.
QStringList SortedForListBox(QStringList items);
