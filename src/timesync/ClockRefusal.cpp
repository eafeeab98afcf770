#include "timesync/ClockRefusal.h"

QString ClockRefusalMessage(const ClockSetResult& result)
{
    switch (result.outcome) {
    case ClockSetOutcome::NotAllowed: return "Cannot set the clock: you are not allowed to change the system time!";
    case ClockSetOutcome::AutomaticSyncOn: return "Cannot set the clock: automatic time synchronization is turned on!";
    case ClockSetOutcome::NoService:
        return "Cannot set the clock: no service on this computer can change the system time!";
    case ClockSetOutcome::Done:
    case ClockSetOutcome::Failed: break;
    }
    if (result.detail.isEmpty())
        return "Cannot set the clock!";
    return "Cannot set the clock: " + result.detail;
}
