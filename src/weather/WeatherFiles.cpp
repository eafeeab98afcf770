#include "weather/WeatherFiles.h"

#include "platform/AppDir.h"
#include "platform/FileSystem.h"

QString WeatherDatPath()
{
    return AppPath({"Weather.dat"});
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
    const QString chosen = AppPath({"Images", picture});
    if (FileSystem::fileExists(chosen))
        return chosen;
    return AppPath({"Images", "clear.jpg"});
}
