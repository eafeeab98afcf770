#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// What the weather panel shows after a refresh, computed from the lines of "Weather.dat".
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
};

// Shown instead of a value the reply does not hold, so that nothing stale passes for current data.
inline const QString WeatherNotice = QStringLiteral("n/a");

// The nine captions and the picture for the reply's lines (single-byte text, read as Windows-1252).
WeatherCaptions WeatherCaptionsFor(const QList<QByteArray>& observationLines);

// The status text left after a refresh that found no weather value at all.
QString NoWeatherDataStatus(const QString& station);
