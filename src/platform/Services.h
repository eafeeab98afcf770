#pragma once

#include <QString>

class Autostart;
class Clock;
class ClockSetter;
class DaytimeClient;
class HttpClient;
class InstanceGuard;
class MessageBoxes;
class NtpClient;
class SettingsRegistry;
class ShellOpener;
class Sleeper;
class SoundPlayer;
class SystemBell;
class TrayIcon;

// The operating-system services the program uses, one pointer each. main() installs the Linux
// backends; tests install fakes. Nobody owns them through this record.
struct Services {
    SettingsRegistry* registry = nullptr;
    HttpClient* http = nullptr;
    DaytimeClient* daytime = nullptr;
    NtpClient* ntp = nullptr;
    InstanceGuard* instance = nullptr;
    MessageBoxes* messages = nullptr;
    SystemBell* bell = nullptr;
    Sleeper* sleeper = nullptr;
    Clock* clock = nullptr;
    ClockSetter* clockSetter = nullptr;
    SoundPlayer* sound = nullptr;
    ShellOpener* shell = nullptr;
    Autostart* autostart = nullptr;
    TrayIcon* tray = nullptr;
    QString appDir;         // the program's data folder (see AppDir.h)
    QString executablePath; // the running program file, for the autostart entry
};

Services& services();
