#include "timesync/AtomicTime.h"

#include "platform/ClockSetter.h"
#include "platform/MessageBoxes.h"
#include "platform/Services.h"
#include "platform/SystemBell.h"
#include "timesync/ClockRecord.h"
#include "timesync/ClockRefusal.h"
#include "timesync/Daytime.h"
#include "timesync/RequestPacing.h"

namespace {

// One exchange with the server's daytime service, paced so that no server is asked too often.
// A request that never reached the server (unknown host, refused) asked nothing, so nothing waits for it.
HttpResponse askDaytime(const HttpRequest& request, const QString& server)
{
    DaytimePacing().waitTurn(server, *services().sleeper);
    HttpResponse response = services().http->get(request);
    if (response.connected)
        DaytimePacing().markAsked(server);
    return response;
}

void tell(const QString& text)
{
    services().messages->show(text, "Tolvane", MessageIcon::None);
}

} // namespace

QString DaytimeUrl(const QString& server)
{
    return "http://" + server + ":13/";
}

HttpRequest DisplayDaytimeRequest(const QString& server)
{
    return HttpRequest{.url = DaytimeUrl(server), .agent = "vb wininet", .proxy = ProxyMode::Direct};
}

HttpRequest SyncDaytimeRequest(const QString& server)
{
    return HttpRequest{.url = DaytimeUrl(server), .agent = "Tolvane", .proxy = ProxyMode::System};
}

QString GetAtomicTime(const QString& server)
{
    // Whatever arrived is shown, also when the connection broke off after the line.
    const HttpResponse response = askDaytime(DisplayDaytimeRequest(server), server);
    const QString text = DaytimeDisplayText(QString::fromLatin1(response.body));
    if (text.isEmpty()) {
        for (int i = 0; i < 3; ++i)
            services().bell->beep();
    }
    return text;
}

void SyncLocalTime(const QString& server)
{
    const HttpResponse response = askDaytime(SyncDaytimeRequest(server), server);
    if (!response.sessionOpened) {
        tell("Cannot configure internet connection!");
        return;
    }
    if (!response.connected) {
        tell("Cannot find host!");
        return;
    }
    const DaytimeReading reading = ParseDaytime(QString::fromLatin1(response.body.left(SyncReadLimit)));
    switch (reading.status) {
    case DaytimeStatus::Unreadable:
        tell("Time error!");
        return;
    case DaytimeStatus::Unhealthy:
        tell("Inaccurate time from server!");
        return;
    case DaytimeStatus::Usable:
        break;
    }
    ClockSetter* setter = services().clockSetter;
    const ClockSetResult result = setter ? setter->setUtc(ClockInstant(reading.instant, reading.advance))
                                         : ClockSetResult{ClockSetOutcome::NoService, {}};
    // A refused change must not look like success.
    if (result.outcome != ClockSetOutcome::Done)
        tell(ClockRefusalMessage(result));
}
