#include "update/PackSeeding.h"

#include "BuildConfig.h"

#include "platform/FileSystem.h"
#include "platform/Services.h"
#include "update/UpdateSite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

void CopyIfMissing(const QString& source, const QString& destination)
{
    if (FileSystem::fileExists(destination))
        return;
    QFile file(source);
    if (file.open(QIODevice::ReadOnly))
        FileSystem::replaceFileAtomically(destination, file.readAll());
}

} // namespace

bool RunsFromDataFolder()
{
    const Services& s = services();
    if (s.executablePath.isEmpty() || s.appDir.isEmpty())
        return false;
    return QDir::cleanPath(QFileInfo(s.executablePath).absolutePath()) !=
           QDir::cleanPath(QFileInfo(s.appDir).absoluteFilePath());
}

QString InstalledPackDir()
{
    const QString executableDir = QFileInfo(services().executablePath).absolutePath();
    return QDir::cleanPath(executableDir + "/" + QString::fromUtf8(BuildConfig::InstalledPackDirFromExecutable));
}

void SeedPacksFrom(const QString& installedDir, const QString& appDir)
{
    if (!QFileInfo(installedDir).isDir() || !FileSystem::createFolder(appDir))
        return;
    for (const char* list : {"images.dat", "media.dat"}) {
        const QString source = FileSystem::resolve(installedDir + "/" + list);
        if (QFileInfo(source).isFile())
            CopyIfMissing(source, appDir + "/" + list);
    }
    for (const char* pack : {"Images", "Media"}) {
        const QString source = FileSystem::resolve(installedDir + "/" + pack);
        const QString destination = appDir + "/" + pack;
        if (!QFileInfo(source).isDir() || !FileSystem::createFolder(destination))
            continue;
        const QFileInfoList files = QDir(source).entryInfoList(QDir::Files | QDir::Readable, QDir::Name);
        for (const QFileInfo& file : files)
            if (IsPlainFileName(file.fileName())) // a name with '\' would mean a path to the file system
                CopyIfMissing(file.filePath(), destination + "/" + file.fileName());
    }
}
