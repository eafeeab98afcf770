#pragma once

#include <QString>

// The user's eight settings as the program holds them in memory; all empty when the process starts.
// Flags hold "1" or "0".
struct AppSettingsRecord {
    QString MyName;
    QString State;
    QString Station;
    QString TimeServer;
    QString Sound;
    QString Splash;
    QString Update;
    QString UTC;
};

inline AppSettingsRecord AppSettings;
