#pragma once

#include <QString>

// True when the program keeps its data in a folder other than its own, as an installed program does
// when its own folder is not writable.
bool RunsFromDataFolder();

// The packs an installed program ships, beside its executable's folder (share/tolvane/packs).
QString InstalledPackDir();

// Gives a data folder the packs an installed program ships, so it has its pictures and sounds without
// a network: copies "images.dat", "media.dat" and every file of "Images" and "Media" from
// `installedDir` into `appDir` wherever that name (without regard to case) is missing there, byte for
// byte. Creates `appDir` and the pack folders as needed; replaces nothing. Does nothing when
// `installedDir` does not exist. Failures are silent: the pack check fetches what is still missing.
void SeedPacksFrom(const QString& installedDir, const QString& appDir);
