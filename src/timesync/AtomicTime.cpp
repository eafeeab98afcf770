#include "timesync/AtomicTime.h"

#include "core/ProgramInfo.h"
#include "platform/ClockSetter.h"
#include "platform/Services.h"
#include "platform/SystemBell.h"
#include "timesync/ClockRecord.h"
#include "timesync/ClockRefusal.h"
#include "timesync/Daytime.h"
#include "timesync/RequestPacing.h"

namespace {

// One exchange with the server's daytime service, paced so that no server is asked too often.
// A request that never reached the server (unknown host, refused) asked nothing, so nothing waits for it.
DaytimeReply askDaytime(const DaytimeRequest& request)
{
    DaytimeClient* client = services().daytime;
    if (!client)
        return DaytimeReply{.connected = false, .bytes = {}, .error = DaytimeError::NoSocket};
    DaytimePacing().waitTurn(request.host, *services().sleeper);
    DaytimeReply reply = client->ask(request);
    if (reply.connected)
        DaytimePacing().markAsked(request.host);
    return reply;
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

SyncOutcome SyncLocalTime(const QString& server)
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
    const ClockSetResult result = setter ? setter->setUtc(ClockInstant(reading.instant, reading.advance))
                                         : ClockSetResult{ClockSetOutcome::NoService, {}};
    // A refused change must not look like success.
    if (result.outcome != ClockSetOutcome::Done)
        return {false, ClockRefusalMessage(result)};
    return {true, {}};
}
