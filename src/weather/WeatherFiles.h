#pragma once

#include <QByteArray>
#include <QString>

// AppDir + "\Weather.dat".
QString WeatherDatPath();

// Replaces "Weather.dat" with the document followed by CR LF and returns that text. The file is
// written to a temporary file beside it and renamed over the old one, so a full disk or a folder
// without write access leaves the earlier file whole; the text is returned all the same, so the
// refresh still shows what it received.
QByteArray StoreObservation(const QByteArray& document);

// AppDir + "\Images\" + picture; AppDir + "\Images\clear.jpg" when that file is missing.
QString WeatherPicturePath(const QString& picture);
