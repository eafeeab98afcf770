#include "shell/frmMain.h"
#include "update/VersionCheck.h"
#include "widgets/Tell.h"

void frmMain::mnuHelpUpdate_Click()
{
    Tell(RunVersionCheck());
}
