#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QString>

#include <optional>

// What the weather service's API tells about a station (/stations/CODE).
struct StationInfo {
    QString name;
    QString timeZone; // IANA name such as "America/Chicago"; empty when unknown (then UTC is used)
};

// The station record of /stations/CODE; nothing when the reply is no such record.
std::optional<StationInfo> StationInfoFromJson(const QByteArray& json);

// The observation record of /stations/CODE/observations/latest: the "properties" of a GeoJSON
// feature, or the object itself in the JSON-LD form. Nothing when the reply holds no observation
// (not JSON, no timestamp, or not one of the nine values).
std::optional<QJsonObject> ObservationRecordFromJson(const QByteArray& json);

// True when the record has both a condition text and a temperature: the ones the panel leads with.
bool RecordIsComplete(const QJsonObject& record);

// True when the record is stamped more than an hour after `now`: no current observation.
bool RecordIsAheadOf(const QJsonObject& record, const QDateTime& now);

// The newest record of /stations/CODE/observations?limit=N that is complete and not ahead of `now`;
// nothing when none is.
std::optional<QJsonObject> NewestCompleteRecord(const QByteArray& json, const QDateTime& now);

// The record as the feed's current_observation document: ISO-8859-1 text with CR LF line ends,
// each of the nine elements alone on the line the refresh reads it from, values written the way the
// feed writes them. A value that is null, in a unit not known here, failed quality control ("X",
// "Q", "B") or lies beyond what an instrument can report leaves its element out.
QByteArray FeedDocumentFromRecord(const QJsonObject& record, const StationInfo& station, const QString& stationCode);

// The feed's wind wording for a speed and a gust in km/h and a direction in degrees (nothing:
// "Variable"): "North at 11.5 MPH (10 KT)", "Calm", or
// "from the North at 11.5 gusting to 20.7 MPH (10 gusting to 18 KT)".
QString FeedWindString(double speedKmh, std::optional<double> gustKmh, std::optional<double> directionDegrees);
