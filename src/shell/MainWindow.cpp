#include "shell/MainWindow.h"

#include "widgets/Lifetime.h"
#include "shell/frmMain.h"

#include <QPointer>

namespace {
QPointer<frmMain>& sharedMain()
{
    static QPointer<frmMain> instance;
    return instance;
}
bool unloading = false;
} // namespace

frmMain* LoadedMainForm()
{
    return unloading ? nullptr : sharedMain().data();
}

void ShowMainForm()
{
    if (unloading)
        return;
    frmMain* form = sharedMain();
    if (!form) {
        form = new frmMain();
        sharedMain() = form;
        Lifetime::formLoaded(form);
        if (!form->Form_Load()) {
            Lifetime::endNow();
            // Only reached when a test keeps the process alive.
            sharedMain() = nullptr;
            Lifetime::formUnloaded(form);
            form->deleteLater();
            return;
        }
    }
    form->showNormal();
    form->raise();
    form->activateWindow();
}

void UnloadMainForm()
{
    frmMain* form = sharedMain();
    if (!form || unloading)
        return;
    unloading = true;
    form->Form_Unload();
    form->hide();
    sharedMain() = nullptr;
    unloading = false;
    form->deleteLater();
    Lifetime::formUnloaded(form);
}
