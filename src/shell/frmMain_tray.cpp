#include "shell/frmMain.h"

#include "core/TrayIconData.h"
#include "platform/Services.h"
#include "platform/TrayIcon.h"
#include "settings/AppSettings.h"
#include "shell/frmPreferences.h"

#include <QCursor>
#include <QMenu>
#include <QPointer>

// Notification icon and menu handlers.

void frmMain::fillTrayRecord(const QString& tip)
{
    TrayIconData =
        MakeNotifyIconRecord(static_cast<quint32>(winId()), static_cast<quint32>(windowIcon().cacheKey()), tip);
}

void frmMain::removeTrayIcon()
{
    if (TrayIcon* tray = services().tray) {
        tray->remove();
        tray->setNotificationHandler({});
    }
}

void frmMain::Form_Activate()
{
    // A window already on its way out must not bring the icon back.
    if (LoadedMainForm() != this)
        return;
    fillTrayRecord(AppSettings.MyName + "'s Tolvane");
    TrayIcon* tray = services().tray;
    if (!tray)
        return;
    QPointer<frmMain> self(this);
    tray->setNotificationHandler([self](int code) {
        if (self)
            self->Form_MouseMove(code);
    });
    // Refused while the icon is present, so the tip of the first activation stays.
    tray->add(TrayIconData.tip());
}

void frmMain::Form_MouseMove(int x)
{
    // The tray's menu and double-click are entry points too.
    if (busy())
        return;
    switch (TrayCommandFor(x)) {
    case TrayCommand::Restore: restoreFromTray(); break;
    case TrayCommand::PopUpMenu:
        if (isVisible()) {
            raise();
            activateWindow();
        }
        mnuSystray->popup(QCursor::pos());
        break;
    case TrayCommand::None: break;
    }
}

void frmMain::restoreFromTray()
{
    showNormal();
    raise();
    activateWindow();
}

void frmMain::mnuSysWeather_Click()
{
    mnuRestore_Click();
    cmdGetWeather_Click();
}

void frmMain::mnuSysTime_Click()
{
    mnuRestore_Click();
    cmdSynchronize_Click();
}

void frmMain::mnuSysPref_Click()
{
    ShowPreferencesForm();
    UnloadMainForm();
}

void frmMain::mnuRestore_Click()
{
    restoreFromTray();
}

void frmMain::mnuMinimize_Click()
{
    setWindowState(windowState() | Qt::WindowMinimized);
}

void frmMain::mnuExit_Click()
{
    UnloadMainForm();
}

void frmMain::mnuFileWeather_Click()
{
    cmdGetWeather_Click();
}

void frmMain::mnuFileTimeSync_Click()
{
    cmdSynchronize_Click();
}

void frmMain::mnuFilePref_Click()
{
    mnuSysPref_Click();
}

void frmMain::mnuFileExit_Click()
{
    UnloadMainForm();
}
