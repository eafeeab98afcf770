#include "update/PackCheck.h"

#include "BuildConfig.h"
#include "platform/AppDir.h"
#include "platform/FileSystem.h"
#include "update/PackSeeding.h"
#include "update/UpdateSite.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {

struct Pack {
    const char* folder;   // in the data folder
    const char* listName; // fetched, and kept beside the folder
    const char* prefix;   // in front of each listed name on the site
};

// Local names are compared without regard to case ("Media.dat" and "media.dat" are one file).
constexpr Pack pictures{"Images", "images.dat", "\\images\\"};
constexpr Pack sounds{"Media", "media.dat", "\\media\\"};

// The names of the files in `folder`, case-folded: one listing for the whole pack.
QSet<QString> FileNamesIn(const QString& folder)
{
    QSet<QString> names;
    const QStringList entries = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& entry : entries)
        names.insert(entry.toCaseFolded());
    return names;
}

void CheckPack(const Pack& pack, UpdateBudget& budget)
{
    const QString folderPath = AppPath({pack.folder});
    if (!FileSystem::folderExists(folderPath))
        FileSystem::createFolder(folderPath);
    const QString listPath = FileSystem::resolve(AppPath({pack.listName}));
    bool readable = false;
    QList<QByteArray> lines;
    if (FileSystem::fileExists(listPath))
        lines = FileSystem::readLines(listPath, &readable);
    // A list that is no list (an error page kept by an older version) is asked for again; the
    // download replaces it only with a good one.
    if (!readable || !IsPackList(lines)) {
        GetUpdateFile(pack.listName, budget, listPath);
        lines = FileSystem::readLines(listPath, &readable);
    }
    const QString folder = FileSystem::resolve(folderPath);
    if (!readable || !QFileInfo(folder).isDir())
        return; // no list (the next start asks again), or no folder to fill
    QSet<QString> present = FileNamesIn(folder);
    bool listOutOfDate = false;
    for (const QByteArray& line : lines) {
        // The list comes over plain HTTP: a line such as "..\..\x" must not become a path, and one
        // bad line must not cost the good ones.
        const QString name = QString::fromLatin1(line);
        if (!IsPlainFileName(name) || present.contains(name.toCaseFolded()))
            continue;
        if (budget.spent())
            break; // what is still missing is fetched at the next start
        const UpdateFetch fetched = GetUpdateFile(pack.prefix + name, budget, folder + "/" + name);
        if (fetched == UpdateFetch::Stored)
            present.insert(name.toCaseFolded());
        listOutOfDate = listOutOfDate || fetched == UpdateFetch::NotWhatItSays;
    }
    // A listed file that the site serves as something else (a page where a picture should be) means
    // the list no longer fits the site: the next start fetches it again. A file that did not come
    // (not found, cut short, timed out) is simply asked for again.
    if (listOutOfDate)
        FileSystem::removeFile(listPath);
}

} // namespace

void RunPackCheck(UpdateBudget budget)
{
    const QString appDir = AppDir();
    if (appDir.isEmpty())
        return;
    if (RunsFromDataFolder())
        SeedPacksFrom(InstalledPackDir(), appDir);
    CheckPack(pictures, budget);
    CheckPack(sounds, budget);
}
