#include "weather/ObservationAge.h"

namespace {

// "25 min", "3 h" or "2 d": whole units, rounded down.
QString AgeText(qint64 seconds)
{
    if (seconds < 60 * 60)
        return QString::number(seconds / 60) + " min";
    if (seconds < 48 * 60 * 60)
        return QString::number(seconds / (60 * 60)) + " h";
    return QString::number(seconds / (24 * 60 * 60)) + " d";
}

// A time ahead of the clock (a station or computer clock off a little) counts as just made.
qint64 AgeSeconds(const QDateTime& observedAt, const QDateTime& now)
{
    return qMax<qint64>(0, observedAt.secsTo(now));
}

} // namespace

QString ObservationAgeMark(const std::optional<QDateTime>& observedAt, const QDateTime& now)
{
    if (!observedAt || !observedAt->isValid() || !now.isValid())
        return {};
    const qint64 age = AgeSeconds(*observedAt, now);
    return age > StaleAfterSeconds ? " (" + AgeText(age) + " old)" : QString();
}

QString ObservationTooltip(const ShownObservation& shown, const QDateTime& now)
{
    QString tip = "Source: " + shown.source;
    if (shown.observedAt && shown.observedAt->isValid() && now.isValid())
        tip += "\nObserved " + AgeText(AgeSeconds(*shown.observedAt, now)) + " ago";
    return tip;
}
