#include "weather/WeatherFiles.h"

#include "platform/AppDir.h"
#include "platform/FileSystem.h"

QString WeatherDatPath()
{
    return AppDir() + "\\Weather.dat";
}

QByteArray StoreObservation(const QByteArray& document)
{
    const QByteArray text = document + "\r\n";
    // The text is shown whether or not it could be kept; the file then still holds the last one kept.
    FileSystem::replaceFileAtomically(WeatherDatPath(), text);
    return text;
}

QString WeatherPicturePath(const QString& picture)
{
    const QString images = AppDir() + "\\Images\\";
    if (FileSystem::fileExists(images + picture))
        return images + picture;
    return images + "clear.jpg";
}
