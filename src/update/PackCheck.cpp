#include "update/PackCheck.h"

#include "BuildConfig.h"
#include "platform/AppDir.h"
#include "platform/FileSystem.h"
#include "update/PackSeeding.h"
#include "update/UpdateSite.h"

namespace {

struct Pack {
    const char* folder;     // tested and created
    const char* listName;   // fetched
    const char* listTested; // tested before the fetch
    const char* listRead;   // read after it
    const char* prefix;     // in front of each listed name
};

// The two spellings of a list are one file: names are compared without regard to case.
constexpr Pack pictures{"\\Images", "images.dat", "\\images.dat", "\\images.dat", "\\images\\"};
constexpr Pack sounds{"\\Media\\", "media.dat", "\\Media.dat", "\\media.dat", "\\media\\"};

void CheckPack(const QString& appDir, const Pack& pack)
{
    if (!FileSystem::folderExists(appDir + pack.folder))
        FileSystem::createFolder(appDir + pack.folder);
    if (!FileSystem::fileExists(appDir + pack.listTested))
        GetUpdateFile(pack.listName);

    bool readable = false;
    const QList<QByteArray> lines = FileSystem::readLines(appDir + pack.listRead, &readable);
    if (!readable)
        return; // the next start tries the list again
    for (const QByteArray& line : lines) {
        // The list comes over plain HTTP: a line such as "..\..\x" must not become a path.
        const QString name = QString::fromLatin1(line);
        if (!IsPlainFileName(name))
            continue;
        if (!FileSystem::fileExists(appDir + pack.prefix + name))
            GetUpdateFile(pack.prefix + name);
    }
}

} // namespace

void RunPackCheck()
{
    const QString appDir = AppDir();
    if (appDir.isEmpty())
        return;
    if (RunsFromDataFolder())
        SeedPacksFrom(InstalledPackDir(), appDir);
    CheckPack(appDir, pictures);
    CheckPack(appDir, sounds);
}
