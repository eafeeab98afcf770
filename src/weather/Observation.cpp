#include "weather/Observation.h"

#include "BuildConfig.h"
#include "platform/HttpClient.h"
#include "platform/Services.h"

QString ObservationBaseUrl()
{
    return QStringLiteral("http://") + QString::fromLatin1(BuildConfig::FeedHost) +
           QStringLiteral("/data/current_obs/");
}

QByteArray GetObservation(const QString& stationCode)
{
    HttpClient* http = services().http;
    if (!http)
        return {};
    // The code goes into the URL as it stands: it is the bare station code from the settings.
    const HttpResponse response =
        http->get({ObservationBaseUrl() + stationCode + ".xml", "vb wininet", ProxyMode::Direct});
    if (!response.sessionOpened || !response.connected)
        return {};
    return response.body;
}
