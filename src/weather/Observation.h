#pragma once

#include "platform/HttpClient.h"

#include <QDeadlineTimer>
#include <QString>

// "http://" + the feed host chosen at build time + "/data/current_obs/".
QString ObservationBaseUrl();

// The station code as one piece of a URL path: percent-encoded, so that no settings value ("../.")
// can move the request's path.
QString StationPathPiece(const QString& stationCode);

// ObservationBaseUrl() + the station code's path piece + ".xml".
QString ObservationUrl(const QString& stationCode);

// The GET of the station's current-observation document from the feed, as the program has always
// sent it (agent "vb wininet", direct), given up by `deadline`.
HttpResponse GetObservation(const QString& stationCode, const QDeadlineTimer& deadline);
