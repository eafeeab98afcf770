#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

// The observation the weather panel shows, as the last good refresh left it; a refresh that gets
// nothing keeps it on show.
struct ShownObservation {
    QString source;                      // the address that gave it
    std::optional<QDateTime> observedAt; // none: unknown
    QString caption;                     // txtObservation's caption, without the age mark
};

// Observations older than this get a visible mark.
inline constexpr qint64 StaleAfterSeconds = 2 * 60 * 60;

// " (3 h old)" for an observation older than two hours; empty when it is younger or its time unknown.
QString ObservationAgeMark(const std::optional<QDateTime>& observedAt, const QDateTime& now);

// The tooltip of the observation time: the source and, when known, the age.
//   "Source: https://api.weather.gov/stations/KXYZ/observations/latest\nObserved 25 min ago"
QString ObservationTooltip(const ShownObservation& shown, const QDateTime& now);
