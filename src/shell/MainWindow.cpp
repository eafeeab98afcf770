#include "shell/MainWindow.h"

#include "shell/frmMain.h"
#include "widgets/SharedForm.h"

namespace {
SharedForm<frmMain>& sharedMain()
{
    static SharedForm<frmMain> instance;
    return instance;
}
} // namespace

frmMain* LoadedMainForm()
{
    return sharedMain().loaded();
}

void ShowMainForm()
{
    if (sharedMain().unloading())
        return;
    frmMain* form = sharedMain().loaded();
    if (!form) {
        form = sharedMain().create();
        if (!form->Form_Load()) {
            Lifetime::endNow();
            // Only reached when a test keeps the process alive.
            sharedMain().unload([](frmMain*) {});
            return;
        }
    }
    form->showNormal();
    form->raise();
    form->activateWindow();
}

void UnloadMainForm()
{
    sharedMain().unload([](frmMain* form) {
        form->Form_Unload();
        form->hide();
    });
}
