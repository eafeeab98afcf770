#include "weather/Observation.h"

#include "BuildConfig.h"
#include "core/ProgramInfo.h"
#include "platform/Services.h"

QString ObservationBaseUrl()
{
    return QStringLiteral("http://") + QString::fromLatin1(BuildConfig::FeedHost) +
           QStringLiteral("/data/current_obs/");
}

HttpResponse GetObservation(const QString& stationCode, const QDeadlineTimer& deadline)
{
    HttpClient* http = services().http;
    if (!http)
        return {};
    // The code goes into the URL as it stands: it is the bare station code from the settings.
    HttpRequest request{ObservationBaseUrl() + stationCode + ".xml", Program::LegacyAgent, ProxyMode::Direct};
    request.deadline = deadline;
    return http->get(request);
}
