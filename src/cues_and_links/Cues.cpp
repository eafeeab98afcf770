#include "cues_and_links/Cues.h"

#include "platform/AppDir.h"
#include "platform/FileSystem.h"
#include "platform/Services.h"
#include "platform/SoundPlayer.h"
#include "settings/AppSettings.h"

bool FileExists(const QString& path)
{
    return FileSystem::fileExists(path);
}

void PlayCue(const QString& name)
{
    // Sounds off must not even look at the media folder.
    if (!AppSettings.soundOn())
        return;
    const QString path = AppPath({"media", name});
    if (!FileExists(path) || !services().sound)
        return;
    services().sound->play(FileSystem::resolve(path));
}
