#include "core/ProgramInfo.h"
#include "platform/MessageBoxes.h"
#include "platform/Services.h"
#include "shell/frmMain.h"
#include "update/VersionCheck.h"

void frmMain::mnuHelpUpdate_Click()
{
    const QString outcome = RunVersionCheck();
    if (MessageBoxes* messages = services().messages)
        messages->show(outcome, Program::Title, MessageIcon::None);
}
