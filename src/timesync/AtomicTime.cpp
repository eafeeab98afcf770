#include "timesync/AtomicTime.h"

#include "core/ProgramInfo.h"
#include "platform/ClockSetter.h"
#include "platform/NtpClient.h"
#include "platform/Services.h"
#include "platform/SystemBell.h"
#include "timesync/ClockRecord.h"
#include "timesync/ClockRefusal.h"
#include "timesync/Daytime.h"
#include "timesync/RequestPacing.h"
#include "timesync/Sntp.h"

#include <QRandomGenerator>

namespace {

// One exchange with the server's daytime service, paced so that no server is asked too often.
// A request that never reached the server (unknown host, refused) asked nothing, so nothing waits for it.
DaytimeReply askDaytime(const DaytimeRequest& request)
{
    DaytimeClient* client = services().daytime;
    if (!client)
        return DaytimeReply{.connected = false, .bytes = {}, .error = DaytimeError::NoSocket};
    TimeServerPacing().waitTurn(request.host, *services().sleeper);
    DaytimeReply reply = client->ask(request);
    if (reply.connected)
        TimeServerPacing().markAsked(request.host);
    return reply;
}

ClockSetResult refusedWithoutSetter()
{
    return {ClockSetOutcome::NoService, {}};
}

SyncOutcome syncOverDaytime(const QString& server)
{
    const DaytimeReply reply = askDaytime(SyncDaytimeRequest(server));
    if (reply.error == DaytimeError::NoSocket)
        return {false, "Cannot configure internet connection!"};
    if (!reply.connected)
        return {false, "Cannot find host!"};
    const DaytimeReading reading = ParseDaytime(QString::fromLatin1(reply.bytes.left(SyncReadLimit)));
    switch (reading.status) {
    case DaytimeStatus::Unreadable: return {false, "Time error!"};
    case DaytimeStatus::Unhealthy: return {false, "Inaccurate time from server!"};
    case DaytimeStatus::Usable: break;
    }
    ClockSetter* setter = services().clockSetter;
    const ClockSetResult result =
        setter ? setter->setUtc(ClockInstant(reading.instant, reading.advance)) : refusedWithoutSetter();
    // A refused change must not look like success.
    if (result.outcome != ClockSetOutcome::Done)
        return {false, ClockRefusalMessage(result)};
    return {true, {}};
}

// One NTP query, paced like every request to the server. The nonce only matches the answer to the
// query: a datagram that does not carry it is dropped and the wait goes on.
SyncOutcome syncOverNtp(const QString& server)
{
    NtpClient* client = services().ntp;
    if (!client)
        return {false, "Cannot configure internet connection!"};
    const quint64 nonce = QRandomGenerator::system()->generate64();
    SntpVerdict verdict = SntpVerdict::NotTheAnswer;
    TimeServerPacing().waitTurn(server, *services().sleeper);
    const NtpReply reply =
        client->ask(server, SntpQuery(nonce), [&](const QByteArray& datagram, NtpStamp sentAt, NtpStamp receivedAt) {
            verdict = JudgeSntpAnswer(datagram, nonce, sentAt, receivedAt);
            return verdict != SntpVerdict::NotTheAnswer;
        });
    if (reply.sent)
        TimeServerPacing().markAsked(server);
    switch (reply.error) {
    case NtpError::NoSocket: return {false, "Cannot configure internet connection!"};
    case NtpError::NoHost: return {false, "Cannot find host!"};
    case NtpError::NoAnswer:
        return {false,
                "No answer from the time server! Turn off Precise Time in Preferences to use the daytime service."};
    case NtpError::None: break;
    }
    switch (verdict) {
    case SntpVerdict::KissOfDeath:
        return {false, "The time server refused the request (" + KissCode(reply.answer) + ")!"};
    case SntpVerdict::Unsynchronised: return {false, "Inaccurate time from server!"};
    case SntpVerdict::NotTheAnswer:
    case SntpVerdict::Good: break;
    }
    const SntpMeasurement measurement = MeasureSntpAnswer(reply.answer, reply.sentAt, reply.receivedAt);
    const ClockOffset measured{NtpUnitsToMicroseconds(measurement.offset), NtpUnitsToMicroseconds(measurement.delay)};
    // The offset, not an instant: the time until the change is made (a password dialog) costs nothing.
    ClockSetter* setter = services().clockSetter;
    const ClockSetResult result = setter ? setter->shiftBy(measured.offsetUs) : refusedWithoutSetter();
    if (result.outcome == ClockSetOutcome::Done)
        return {true, {}, measured};
    QString message = ClockRefusalMessage(result);
    // The system's own network time keeps the clock: the measurement shows whether it is right.
    if (result.outcome == ClockSetOutcome::AutomaticSyncOn)
        message += " " + ClockOffsetSentence(measured);
    return {false, message, measured};
}

} // namespace

DaytimeRequest DisplayDaytimeRequest(const QString& server)
{
    return DaytimeRequest{.host = server, .agent = Program::LegacyAgent, .proxy = ProxyMode::Direct};
}

DaytimeRequest SyncDaytimeRequest(const QString& server)
{
    return DaytimeRequest{.host = server, .agent = Program::SyncAgent, .proxy = ProxyMode::System};
}

QString GetAtomicTime(const QString& server)
{
    // Whatever arrived is shown, also when the connection broke off after the line.
    const DaytimeReply reply = askDaytime(DisplayDaytimeRequest(server));
    const QString text = DaytimeDisplayText(QString::fromLatin1(reply.bytes));
    if (text.isEmpty()) {
        for (int i = 0; i < 3; ++i)
            services().bell->beep();
    }
    return text;
}

SyncOutcome SyncLocalTime(const QString& server, SyncMethod method)
{
    return method == SyncMethod::Precise ? syncOverNtp(server) : syncOverDaytime(server);
}
