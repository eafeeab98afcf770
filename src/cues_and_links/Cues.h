#pragma once

#include <QString>

// True for a plain file (not a folder) at `path`.
bool FileExists(const QString& path);
// Plays AppDir + "\media\" + name asynchronously when sounds are on and the file is there; otherwise
// does nothing. Never reports anything.
void PlayCue(const QString& name);
