#include "core/DisplayCheck.h"
#include "core/ProgramInfo.h"
#include "platform/qt/LinuxServices.h"
#include "shell/modMain.h"
#include "widgets/Lifetime.h"
#include "widgets/WindowLook.h"

#include <QApplication>

#include <optional>

int main(int argc, char** argv)
{
    // Without a display: one line and exit status 1, not Qt's abort.
    std::optional<PlatformStartGuard> noDisplayGuard(std::in_place);
    QApplication app(argc, argv);
    noDisplayGuard.reset();
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
