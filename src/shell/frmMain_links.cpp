#include "shell/frmMain.h"

#include "cues_and_links/Links.h"
#include "shell/frmAbout.h"
#include "widgets/Tell.h"

// The links to the weather service and the maker, the help notice and the about box.

void frmMain::txtCredit_Click()
{
    OpenLink(QString(Links::WeatherServiceSite) + "/");
}

void frmMain::imgCreditLogo_Click()
{
    OpenLink(Links::WeatherServiceSite);
}

void frmMain::mnuHelpApp_Click()
{
    Tell("A help file will be available when this program is officially released as Version 1.0",
         MessageIcon::Information);
}

void frmMain::mnuHelpWeb_Click()
{
    OpenLink(Links::MakerSite);
}

void frmMain::mnuHelpAbout_Click()
{
    ShowAboutForm();
}

void frmMain::mnuSysAbout_Click()
{
    ShowAboutForm();
}
