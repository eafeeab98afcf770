#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

// What the weather panel shows after a refresh, computed from the text of "Weather.dat".
struct WeatherCaptions {
    QString weather;     // txtWeather
    QString temp;        // txtTemp
    QString observation; // txtObservation
    QString dewpoint;    // txtDewpoint
    QString humidity;    // txtHumidity
    QString visibility;  // txtVisibility
    QString pressure;    // txtPressure
    QString wind;        // txtWind
    QString frame;       // fraWeather
    QString picture;     // file name in the Images folder: the condition's picture, or "clear.jpg"
    bool anyFieldFound = false;
    std::optional<QDateTime> observedAt; // from observation_time_rfc822; none when the document lacks it
};

// Shown instead of a value the reply does not hold, so that nothing stale passes for current data.
inline const QString WeatherNotice = QStringLiteral("n/a");

// Longest value a caption shows, in characters: a real value is a few dozen; a hostile reply could
// otherwise put megabytes into one label.
inline constexpr qsizetype MaxValueLength = 200;

// The nine captions and the picture for a document (single-byte text, read as Windows-1252). Values
// lose their control characters (a NUL would cut the caption for screen readers) and are cut to
// MaxValueLength. A condition the table lacks takes the picture named by the document's
// icon_url_name ("ovc.png" gives "ovc.jpg") when that is one of the table's pictures.
WeatherCaptions WeatherCaptionsFor(const QByteArray& observationText);

// True for a document the refresh can show: a current_observation document holding at least one of
// the nine elements. An HTML error page or an empty body is none.
bool IsObservationDocument(const QByteArray& text);

// The status text left after a refresh that received no observation; `reason` (such as "not found")
// follows in parentheses when given.
QString NoWeatherDataStatus(const QString& station, const QString& reason = {});
