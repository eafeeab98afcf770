// The time panel's three buttons.
#include "shell/frmMain.h"

#include "cues_and_links/Cues.h"
#include "platform/Clock.h"
#include "platform/Services.h"
#include "settings/AppSettings.h"
#include "timesync/AtomicTime.h"
#include "timesync/TimeDisplay.h"

#include <QLabel>
#include <QLocale>

namespace {
// The server's reply reaches the label: it must never be taken as markup.
void showPlainText(QLabel* label, const QString& text)
{
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
}
} // namespace

void frmMain::cmdGetTime_Click()
{
    setStatus("Checking time on " + AppSettings.TimeServer + "...");
    showPlainText(txtAtomicTime, GetAtomicTime(AppSettings.TimeServer));
    setStatus("Ready");
}

void frmMain::cmdSynchronize_Click()
{
    setStatus("Synchronizing local time with " + AppSettings.TimeServer);
    SyncLocalTime(AppSettings.TimeServer);
    showPlainText(txtAtomicTime, GetAtomicTime(AppSettings.TimeServer));
    cmdLocalTime_Click();
    if (AppSettings.soundOn())
        PlayCue("compete.wav");
    setStatus("Ready");
}

void frmMain::cmdLocalTime_Click()
{
    setStatus("Checking local time...");
    // One reading for the whole label, so that the milliseconds belong to the second shown.
    const QDateTime now = services().clock->nowLocal();
    if (AppSettings.utc24Hour())
        showPlainText(txtLocalTime, LocalTime24Text(now));
    else
        showPlainText(txtLocalTime, LocalTimeRegionalText(now, QLocale()));
    setStatus("Ready");
}
