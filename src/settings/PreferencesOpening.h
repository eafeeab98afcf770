#pragma once

#include "settings/AppSettings.h"

#include <QString>

// The stored values the preferences dialog opens on ("" when missing): state, station and time server
// whole, the four switches by their first character, as the program reads them.
AppSettingsRecord ReadStoredPreferences();

// What the dialog shows when it opens: the stored values, with the initial ones (Tennessee and its
// first station, the first time server, the switches on except 24-hour time) only where nothing is stored.
struct PreferencesOpening {
    QString state;        // a name of the state list
    QString stationEntry; // the entry to select in that state's list; "" for its first entry
    // A stored station the directory does not list under `state`, written "<code>=<code>" so that
    // saving reads the same code back; "" when there is none. It is listed with that state's stations.
    QString extraStationEntry;
    QString timeServer; // the time-server box's text; "" for the first server of the list
    bool autorun = true;
    bool sound = true;
    bool splash = true;
    bool update = true;
    bool utc = false;
    bool preciseTime = true;
};

// `configured`: the settings exist (not a first run). `autostartExists`: the autostart entry is there,
// which is what "Add to Startup" shows once the program is set up.
PreferencesOpening OpeningChoices(const AppSettingsRecord& stored, bool configured, bool autostartExists);
