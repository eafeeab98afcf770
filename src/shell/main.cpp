#include "core/ProgramInfo.h"
#include "platform/qt/LinuxServices.h"
#include "shell/modMain.h"
#include "widgets/Lifetime.h"
#include "widgets/WindowLook.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(Program::Title);
    QApplication::setOrganizationName(Program::Maker);
    QApplication::setDesktopFileName(Program::AppId);
    // The program ends when its last window unloads, not when the last one is hidden.
    QApplication::setQuitOnLastWindowClosed(false);
    InstallLinuxServices({.title = Program::Title, .appId = Program::AppId, .icon = ProgramIcon()});
    Main();
    const int status = Lifetime::anyFormLoaded() ? QApplication::exec() : 0;
    ReleaseLinuxServices();
    return status;
}
