#pragma once

#include <QString>

// The user's settings as the program holds them in memory; all empty when the process starts. Flags
// hold "1" or "0". Only the shell assigns the program-wide record, from what the settings store
// returns.
struct AppSettingsRecord {
    QString MyName;
    QString State;
    QString Station;
    QString TimeServer;
    QString Sound;
    QString Splash;
    QString Update;
    QString UTC;
    QString PreciseTime; // set the clock over NTP; stored after "UTC", unknown to older versions

    bool soundOn() const { return Sound == "1"; }
    bool utc24Hour() const { return UTC == "1"; }
    // Only "0" turns it off, so a set-up stored before the value existed gets the precise path.
    bool preciseTimeOn() const { return PreciseTime != "0"; }
    bool updateOn() const { return Update == "1"; }
    // Start-up takes the splash flag as a truth value: a digit other than "0". A missing value or
    // one that does not begin with a digit means no splash.
    bool splashOn() const { return !Splash.isEmpty() && Splash[0].isDigit() && Splash[0] != u'0'; }
};

inline AppSettingsRecord AppSettings;
