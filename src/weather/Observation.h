#pragma once

#include "platform/HttpClient.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>

// "http://" + the feed host chosen at build time + "/data/current_obs/".
QString ObservationBaseUrl();

// The GET of the station's current-observation document from the feed, as the program has always
// sent it (agent "vb wininet", direct), given up by `deadline`.
HttpResponse RequestObservation(const QString& stationCode, const QDeadlineTimer& deadline);

// One GET of the station's current-observation document. Returns the reply body byte for byte, also
// an error page's or a broken-off transfer's; empty when no connection could be made.
QByteArray GetObservation(const QString& stationCode);
