#include "weather/ObservationAge.h"

namespace {

const QString AheadOfClock = QStringLiteral("ahead of this computer's clock");

// "25 min", "3 h" or "2 d": whole units, rounded down.
QString AgeText(qint64 seconds)
{
    if (seconds < 60 * 60)
        return QString::number(seconds / 60) + " min";
    if (seconds < 48 * 60 * 60)
        return QString::number(seconds / (60 * 60)) + " h";
    return QString::number(seconds / (24 * 60 * 60)) + " d";
}

// A time ahead of the clock within the tolerance (a station or computer clock off a little) counts as
// just made.
qint64 AgeSeconds(const QDateTime& observedAt, const QDateTime& now)
{
    return qMax<qint64>(0, observedAt.secsTo(now));
}

} // namespace

bool IsAheadOfClock(const QDateTime& observedAt, const QDateTime& now)
{
    return observedAt.isValid() && now.isValid() && now.secsTo(observedAt) > AheadToleranceSeconds;
}

QString ObservationAgeMark(const std::optional<QDateTime>& observedAt, const QDateTime& now)
{
    if (!observedAt || !observedAt->isValid() || !now.isValid())
        return {};
    if (IsAheadOfClock(*observedAt, now))
        return " (" + AheadOfClock + ")";
    const qint64 age = AgeSeconds(*observedAt, now);
    return age > StaleAfterSeconds ? " (" + AgeText(age) + " old)" : QString();
}

QString ObservationTooltip(const ShownObservation& shown, const QDateTime& now)
{
    QString tip = "Source: " + shown.source;
    if (!shown.observedAt || !shown.observedAt->isValid() || !now.isValid())
        return tip;
    if (IsAheadOfClock(*shown.observedAt, now))
        return tip + "\nObservation time " + AheadOfClock;
    return tip + "\nObserved " + AgeText(AgeSeconds(*shown.observedAt, now)) + " ago";
}
