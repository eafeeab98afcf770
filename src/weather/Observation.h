#pragma once

#include <QByteArray>
#include <QString>

// "http://" + the feed host chosen at build time + "/data/current_obs/".
QString ObservationBaseUrl();

// One GET of the station's current-observation document. Returns the reply body byte for byte, also
// an error page's or a broken-off transfer's; empty when no connection could be made.
QByteArray GetObservation(const QString& stationCode);
