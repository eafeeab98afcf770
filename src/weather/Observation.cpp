#include "weather/Observation.h"

#include "BuildConfig.h"
#include "core/ProgramInfo.h"
#include "platform/Services.h"

#include <QUrl>

QString ObservationBaseUrl()
{
    return QStringLiteral("http://") + QString::fromLatin1(BuildConfig::FeedHost) +
           QStringLiteral("/data/current_obs/");
}

QString StationPathPiece(const QString& stationCode)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(stationCode));
}

QString ObservationUrl(const QString& stationCode)
{
    return ObservationBaseUrl() + StationPathPiece(stationCode) + ".xml";
}

HttpResponse GetObservation(const QString& stationCode, const QDeadlineTimer& deadline)
{
    HttpClient* http = services().http;
    if (!http)
        return {};
    HttpRequest request{ObservationUrl(stationCode), Program::LegacyAgent, ProxyMode::Direct};
    request.deadline = deadline;
    return http->get(request);
}
