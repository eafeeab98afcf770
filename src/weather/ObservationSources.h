#pragma once

#include "weather/ApiObservation.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QHash>
#include <QString>

#include <optional>

// Why a refresh received no observation, in the words of its status text.
enum class WeatherFailure {
    None,
    NotFound,         // "not found": the source does not know the station (404, 410)
    TimedOut,         // "timed out": no whole answer within the time the source had
    NoConnection,     // "no connection": no name lookup, no route, refused, or the exchange broke
    NotAnObservation, // "not a weather observation": an answer, but no observation in it
    TooLarge,         // "too large": an answer longer than any observation, cut off
};

// The words for the status text ("not found"); empty for None.
QString FailureText(WeatherFailure failure);

// What one refresh got from the chain of sources.
struct FetchedObservation {
    std::optional<QByteArray> document; // a current_observation document (single-byte text); none: every source failed
    QString source;                     // the address that gave it
    WeatherFailure failure = WeatherFailure::None; // with no document: what the last source tried gave
};

// The places the current observation of a station is kept, tried in turn until one gives it:
//   1. the feed: http://FEED_HOST/data/current_obs/CODE.xml ("vb wininet", as the program always asked);
//   2. the same document at https://FORECAST_HOST/xml/current_obs/CODE.xml;
//   3. the API at https://API_HOST/stations/CODE/observations/latest (JSON, made into the document).
// Within one run of the program a refresh starts with the source that answered last. All the tries of
// one refresh share one budget; each source gets an equal share of what is left when its turn comes,
// so a silent source cannot use up the others' time.
class ObservationSources final {
public:
    static constexpr int BudgetMs = 10'000;

    FetchedObservation fetch(const QString& station);

    // What one source gave.
    struct Attempt {
        std::optional<QByteArray> document;
        WeatherFailure failure = WeatherFailure::None;
        QString source;
    };

private:
    Attempt tryApi(const QString& station, const QDeadlineTimer& deadline);
    StationInfo stationInfo(const QString& station, const QDeadlineTimer& deadline);

    int preferred_ = 0;                                   // the source that answered last
    QHash<QString, std::optional<StationInfo>> stations_; // asked once per station and run
};

// The chain of sources of this run of the program.
ObservationSources& WeatherSources();
