#pragma once

#include "platform/HttpClient.h"

#include <QDeadlineTimer>
#include <QString>

// "http://" + the feed host chosen at build time + "/data/current_obs/".
QString ObservationBaseUrl();

// ObservationBaseUrl() + the station code + ".xml". The code is percent-encoded, so that no settings
// value ("../.") can move the request's path.
QString ObservationUrl(const QString& stationCode);

// The GET of the station's current-observation document from the feed, as the program has always
// sent it (agent "vb wininet", direct), given up by `deadline`.
HttpResponse GetObservation(const QString& stationCode, const QDeadlineTimer& deadline);
