#include "platform/qt/LinuxServices.h"

#include "platform/AppDir.h"
#include "platform/Services.h"
#include "platform/linux/CanberraSoundPlayer.h"
#include "platform/linux/FlockInstanceGuard.h"
#include "platform/linux/IniSettingsRegistry.h"
#include "platform/linux/KernelClockSetter.h"
#include "platform/linux/SystemClock.h"
#include "platform/linux/XdgAutostart.h"
#include "platform/qt/DesktopShellOpener.h"
#include "platform/qt/EventLoopSleeper.h"
#include "platform/qt/QtDaytimeClient.h"
#include "platform/qt/QtHttpClient.h"
#include "platform/qt/QtMessageBoxes.h"
#include "platform/qt/QtNtpClient.h"
#include "platform/qt/QtTrayIcon.h"
#include "platform/qt/WidgetsBell.h"

#include <QCoreApplication>
#include <QStandardPaths>

void InstallLinuxServices(const ProgramIdentity& program)
{
    Services& s = services();
    const QString configHome = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    QString runtimeDir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtimeDir.isEmpty())
        runtimeDir = QStandardPaths::writableLocation(QStandardPaths::TempLocation);

    s.registry = new IniSettingsRegistry(configHome);
    s.http = new QtHttpClient();
    s.daytime = new QtDaytimeClient();
    s.ntp = new QtNtpClient();
    s.instance = new FlockInstanceGuard(runtimeDir + "/" + program.title + ".lock");
    s.messages = new QtMessageBoxes();
    s.bell = new WidgetsBell();
    s.sleeper = new EventLoopSleeper();
    s.clock = new SystemClock();
    s.clockSetter = NewLinuxClockSetter(); // clock_settime with CAP_SYS_TIME, else timedated
    s.sound = new CanberraSoundPlayer(program.title, program.appId);
    s.shell = new DesktopShellOpener();
    s.tray = new QtTrayIcon(program.icon);
    s.autostart = new XdgAutostart(configHome, program.title, program.appId);
    s.executablePath = QCoreApplication::applicationFilePath();
    s.appDir = ChooseAppDir(QCoreApplication::applicationDirPath(), dataHome);
}

void ReleaseLinuxServices()
{
    // Left in place, a lock whose process number comes round again would refuse the next start.
    Services& s = services();
    delete s.instance;
    s.instance = nullptr;
}
