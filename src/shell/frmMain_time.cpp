// The time panel's three buttons.
#include "shell/frmMain.h"

#include "cues_and_links/Cues.h"
#include "platform/Clock.h"
#include "platform/Services.h"
#include "settings/AppSettings.h"
#include "timesync/AtomicTime.h"
#include "timesync/TimeDisplay.h"
#include "widgets/Placement.h"
#include "widgets/Tell.h"

#include <QLabel>
#include <QLocale>

void frmMain::cmdGetTime_Click()
{
    setStatus("Checking time on " + AppSettings.TimeServer + "...");
    SetPlainCaption(txtAtomicTime, GetAtomicTime(AppSettings.TimeServer));
    setStatus("Ready");
}

namespace {

// The measurement stays on show until the next synchronisation, which replaces or clears it.
void showClockOffset(QLabel* field, const std::optional<ClockOffset>& measured)
{
    const QString text = measured ? ClockOffsetText(*measured) : QString();
    field->setText(text);
    field->setAccessibleName(text);
}

} // namespace

void frmMain::cmdSynchronize_Click()
{
    setStatus("Synchronizing local time with " + AppSettings.TimeServer);
    const SyncOutcome outcome =
        SyncLocalTime(AppSettings.TimeServer, AppSettings.preciseTimeOn() ? SyncMethod::Precise : SyncMethod::Daytime);
    showClockOffset(txtClockOffset, outcome.measured);
    if (!outcome.message.isEmpty())
        Tell(outcome.message);
    SetPlainCaption(txtAtomicTime, GetAtomicTime(AppSettings.TimeServer));
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
        SetPlainCaption(txtLocalTime, LocalTime24Text(now));
    else
        SetPlainCaption(txtLocalTime, LocalTimeRegionalText(now, QLocale()));
    setStatus("Ready");
}
