#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// AppDir + "\Weather.dat".
QString WeatherDatPath();

// Replaces "Weather.dat" with the reply followed by CR LF and reads it back as lines (line ends CR LF or
// LF, not part of the line). When the file cannot be written or read, the same lines are taken from the
// reply in memory, so the refresh still shows what it received.
QList<QByteArray> StoreObservation(const QByteArray& reply);

// AppDir + "\Images\" + picture; AppDir + "\Images\clear.jpg" when that file is missing.
QString WeatherPicturePath(const QString& picture);
