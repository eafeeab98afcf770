#include "platform/linux/DbusClockSetter.h"

#include "platform/qt/LocalWait.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>

DbusClockSetter::DbusClockSetter(BusConnector connectBus) : connectBus_(std::move(connectBus)) {}

ClockSetResult DbusClockSetter::setUtc(const QDateTime& utc)
{
    return setTime(utc.toMSecsSinceEpoch() * 1000, false);
}

ClockSetResult DbusClockSetter::shiftBy(qint64 microseconds)
{
    return setTime(microseconds, true);
}

ClockSetResult DbusClockSetter::setTime(qint64 microseconds, bool relative)
{
    if (!bus_ || !bus_->isConnected())
        bus_ = connectBus_();
    if (!bus_->isConnected())
        return {ClockSetOutcome::NoService, bus_->lastError().message()};
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.timedate1", "/org/freedesktop/timedate1",
                                                       "org.freedesktop.timedate1", "SetTime");
    const bool interactive = true;
    call << microseconds << relative << interactive;
    call.setInteractiveAuthorizationAllowed(true);

    const QDBusPendingCall pending = bus_->asyncCall(call, ReplyWaitMs);
    LocalWait wait;
    QDBusPendingCallWatcher watcher(pending);
    QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, [&] { wait.finish(); });
    if (watcher.isFinished())
        wait.finish();
    // The bus ends the call with NoReply after ReplyWaitMs; this bound is only a backstop.
    if (!wait.wait(QDeadlineTimer(ReplyWaitMs + 5'000)) && !watcher.isFinished())
        return {ClockSetOutcome::Failed, "timedated did not answer"};
    const QDBusMessage reply = watcher.reply();
    if (reply.type() == QDBusMessage::ReplyMessage)
        return {ClockSetOutcome::Done, {}};
    return {OutcomeForDbusError(reply.errorName()), reply.errorMessage()};
}

ClockSetOutcome OutcomeForDbusError(const QString& errorName)
{
    static const QStringList notAllowed = {
        "org.freedesktop.DBus.Error.AccessDenied",
        "org.freedesktop.DBus.Error.AuthFailed",
        "org.freedesktop.DBus.Error.InteractiveAuthorizationRequired",
        "org.freedesktop.PolicyKit1.Error.NotAuthorized",
        "org.freedesktop.PolicyKit1.Error.Cancelled",
    };
    // Nobody answers for timedate1, or what answers is not timedated.
    static const QStringList noService = {
        "org.freedesktop.DBus.Error.ServiceUnknown",   "org.freedesktop.DBus.Error.NameHasNoOwner",
        "org.freedesktop.DBus.Error.NoServer",         "org.freedesktop.DBus.Error.Disconnected",
        "org.freedesktop.DBus.Error.UnknownMethod",    "org.freedesktop.DBus.Error.UnknownObject",
        "org.freedesktop.DBus.Error.UnknownInterface", "org.freedesktop.systemd1.NoSuchUnit",
        "org.freedesktop.systemd1.UnitMasked",
    };
    if (errorName == "org.freedesktop.timedate1.AutomaticTimeSyncEnabled")
        return ClockSetOutcome::AutomaticSyncOn;
    if (notAllowed.contains(errorName))
        return ClockSetOutcome::NotAllowed;
    if (noService.contains(errorName) || errorName.startsWith("org.freedesktop.DBus.Error.Spawn."))
        return ClockSetOutcome::NoService;
    return ClockSetOutcome::Failed;
}
