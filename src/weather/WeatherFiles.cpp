#include "weather/WeatherFiles.h"

#include "platform/AppDir.h"
#include "platform/FileSystem.h"

QString WeatherDatPath()
{
    return AppDir() + "\\Weather.dat";
}

QList<QByteArray> StoreObservation(const QByteArray& reply)
{
    const QString path = WeatherDatPath();
    if (FileSystem::writeTextFile(path, reply)) {
        bool read = false;
        QList<QByteArray> lines = FileSystem::readLines(path, &read);
        if (read)
            return lines;
    }
    return FileSystem::splitLines(reply + "\r\n");
}

QString WeatherPicturePath(const QString& picture)
{
    const QString images = AppDir() + "\\Images\\";
    if (FileSystem::fileExists(images + picture))
        return images + picture;
    return images + "clear.jpg";
}
