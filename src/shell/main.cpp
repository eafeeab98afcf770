#include "platform/qt/LinuxServices.h"
#include "shell/Lifetime.h"
#include "shell/modMain.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tolvane");
    QApplication::setOrganizationName("Orlentis");
    QApplication::setDesktopFileName("io.github.orlentis.Tolvane");
    // The program ends when its last window unloads, not when the last one is hidden.
    QApplication::setQuitOnLastWindowClosed(false);
    InstallLinuxServices();
    Main();
    const int status = Lifetime::anyFormLoaded() ? QApplication::exec() : 0;
    ReleaseLinuxServices();
    return status;
}
