#pragma once

#include <QString>

#include <initializer_list>

// The program's data folder: "Weather.dat", "version.dat", the pack lists and the folders "Images" and
// "Media" live in it.
QString AppDir();
// A path inside the data folder, from its parts: AppPath({"Images", "clear.jpg"}).
QString AppPath(std::initializer_list<QString> parts);

// The folder of the executable when it is writable (a build tree, a portable folder) and not an
// installed program's (one with share/tolvane/packs beside it); otherwise the per-user data folder
// `dataHome`/Tolvane.
QString ChooseAppDir(const QString& executableDir, const QString& dataHome);
