#include "weather/ObservationSources.h"

#include "BuildConfig.h"
#include "core/ProgramInfo.h"
#include "platform/Clock.h"
#include "platform/HttpClient.h"
#include "platform/Services.h"
#include "weather/Observation.h"
#include "weather/WeatherCaptions.h"

namespace {

constexpr int SourceCount = 3;

WeatherFailure FailureOf(const HttpResponse& response)
{
    if (!response.sessionOpened)
        return WeatherFailure::NoConnection;
    switch (response.error) {
    case HttpError::None: return WeatherFailure::NotAnObservation;
    case HttpError::NotFound: return WeatherFailure::NotFound;
    case HttpError::TimedOut: return WeatherFailure::TimedOut;
    case HttpError::TooLarge: return WeatherFailure::TooLarge;
    case HttpError::NoConnection:
    case HttpError::Refused:
    case HttpError::Other: break;
    }
    return WeatherFailure::NoConnection;
}

// Only a whole 2xx answer can be an observation: an error page, a cut transfer or a reply without a
// status line is none, whatever it holds.
bool Answered(const HttpResponse& response)
{
    return response.sessionOpened && response.error == HttpError::None && response.status >= 200 &&
           response.status < 300;
}

HttpResponse Get(const QString& url, const QByteArray& agent, const QDeadlineTimer& deadline,
                 QList<std::pair<QByteArray, QByteArray>> headers = {})
{
    HttpClient* http = services().http;
    if (!http)
        return {};
    HttpRequest request{url, agent, ProxyMode::Direct};
    request.headers = std::move(headers);
    request.deadline = deadline;
    return http->get(request);
}

// The API answers GeoJSON only when asked for it.
const QList<std::pair<QByteArray, QByteArray>> AcceptGeoJson = {{"Accept", "application/geo+json"}};

QString Https(const char* host, const QString& path)
{
    return QStringLiteral("https://") + QString::fromLatin1(host) + path;
}

// A feed document counts only when it holds an observation.
ObservationSources::Attempt FeedAttempt(const QString& url, const HttpResponse& response)
{
    if (!Answered(response))
        return {std::nullopt, FailureOf(response), url};
    if (!IsObservationDocument(response.body))
        return {std::nullopt, WeatherFailure::NotAnObservation, url};
    return {response.body, WeatherFailure::None, url};
}

} // namespace

QString FailureText(WeatherFailure failure)
{
    switch (failure) {
    case WeatherFailure::None: break;
    case WeatherFailure::NotFound: return QStringLiteral("not found");
    case WeatherFailure::TimedOut: return QStringLiteral("timed out");
    case WeatherFailure::NoConnection: return QStringLiteral("no connection");
    case WeatherFailure::NotAnObservation: return QStringLiteral("not a weather observation");
    case WeatherFailure::TooLarge: return QStringLiteral("too large");
    }
    return {};
}

FetchedObservation ObservationSources::fetch(const QString& station)
{
    const QDeadlineTimer budget(BudgetMs);
    FetchedObservation result;
    for (int tried = 0; tried < SourceCount; ++tried) {
        const qint64 left = budget.remainingTime();
        if (left <= 0) {
            result.failure = WeatherFailure::TimedOut;
            break;
        }
        const QDeadlineTimer share(left / (SourceCount - tried));
        const int source = (preferred_ + tried) % SourceCount;
        Attempt attempt;
        switch (source) {
        case 0: attempt = FeedAttempt(ObservationUrl(station), GetObservation(station, share)); break;
        case 1: {
            const QString url =
                Https(BuildConfig::ForecastHost, "/xml/current_obs/" + StationPathPiece(station) + ".xml");
            attempt = FeedAttempt(url, Get(url, Program::IdentifyingAgent(), share));
            break;
        }
        default: attempt = tryApi(station, share); break;
        }
        if (attempt.document) {
            preferred_ = source;
            return {attempt.document, attempt.source, WeatherFailure::None};
        }
        result.failure = attempt.failure;
    }
    return result;
}

ObservationSources::Attempt ObservationSources::tryApi(const QString& station, const QDeadlineTimer& deadline)
{
    const QString observations =
        Https(BuildConfig::ApiHost, "/stations/" + StationPathPiece(station) + "/observations");
    QString url = observations + "/latest";
    const HttpResponse latest = Get(url, Program::IdentifyingAgent(), deadline, AcceptGeoJson);
    if (!Answered(latest))
        return {std::nullopt, FailureOf(latest), url};
    std::optional<QJsonObject> record = ObservationRecordFromJson(latest.body);
    if (!record)
        return {std::nullopt, WeatherFailure::NotAnObservation, url};
    // A record stamped ahead of the computer's clock is no current observation.
    const QDateTime now = services().clock ? services().clock->nowLocal() : QDateTime::currentDateTime();
    if (RecordIsAheadOf(*record, now))
        record.reset();
    // The latest record sometimes lacks its condition or temperature (quality control nulls them);
    // an hour-old record that has both serves the panel better.
    if (!record || !RecordIsComplete(*record)) {
        const QString recent = observations + "?limit=5";
        const HttpResponse earlier = Get(recent, Program::IdentifyingAgent(), deadline, AcceptGeoJson);
        if (Answered(earlier))
            if (const std::optional<QJsonObject> complete = NewestCompleteRecord(earlier.body, now)) {
                record = complete;
                url = recent;
            }
    }
    if (!record)
        return {std::nullopt, WeatherFailure::NotAnObservation, url};
    return {FeedDocumentFromRecord(*record, stationInfo(station, deadline), station), WeatherFailure::None, url};
}

StationInfo ObservationSources::stationInfo(const QString& station, const QDeadlineTimer& deadline)
{
    if (!stations_.contains(station)) {
        const HttpResponse reply = Get(Https(BuildConfig::ApiHost, "/stations/" + StationPathPiece(station)),
                                       Program::IdentifyingAgent(), deadline, AcceptGeoJson);
        stations_.insert(station, Answered(reply) ? StationInfoFromJson(reply.body) : std::nullopt);
    }
    return stations_.value(station).value_or(StationInfo{});
}

ObservationSources& WeatherSources()
{
    static ObservationSources sources;
    return sources;
}
