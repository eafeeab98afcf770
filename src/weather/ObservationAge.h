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

// An observation stamped further than this after the computer's clock is no current one: a clock,
// the station's or the computer's, is wrong. Less counts as just made.
inline constexpr qint64 AheadToleranceSeconds = 60 * 60;

// True when the observation is stamped more than AheadToleranceSeconds after `now`.
bool IsAheadOfClock(const QDateTime& observedAt, const QDateTime& now);

// " (3 h old)" for an observation older than two hours, " (ahead of this computer's clock)" for one
// stamped more than an hour ahead of it; otherwise, or when its time is unknown, empty.
QString ObservationAgeMark(const std::optional<QDateTime>& observedAt, const QDateTime& now);

// The tooltip of the observation time: the source and, when known, the age.
//   "Source: https://api.weather.gov/stations/KXYZ/observations/latest\nObserved 25 min ago"
//   "Source: http://www.weather.gov/data/current_obs/KXYZ.xml\nObservation time ahead of this computer's clock"
QString ObservationTooltip(const ShownObservation& shown, const QDateTime& now);
