#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The program's file-system object. Paths may be written the program's way, with backslashes
// (AppDir + "\Images\" + name); every path is resolved against the disk component by component
// without regard to case, so "Images", "images" and "IMAGES" name one folder, as users expect.
namespace FileSystem {

// The path with '/' separators, each existing component spelt as it is on disk; components that do
// not exist yet keep the spelling given. Doubled separators collapse.
QString resolve(const QString& path);

bool folderExists(const QString& path);
// Creates the folder (and missing parents); true when it exists afterwards.
bool createFolder(const QString& path);
// True for a plain file; a folder of that name does not count.
bool fileExists(const QString& path);

// Replaces the file with exactly `bytes`, through a temporary file in the same folder and a rename,
// so a reader never sees a half-written file. False on failure (the old file is then untouched).
bool replaceFileAtomically(const QString& path, const QByteArray& bytes);
// The same for a path as resolve() gives it: its folder is not searched again.
bool replaceResolvedFileAtomically(const QString& resolvedPath, const QByteArray& bytes);
// Removes the file; true when no file is there afterwards.
bool removeFile(const QString& path);
// Text split into lines without their line ends (CR LF or LF); a final line end starts no line.
QList<QByteArray> splitLines(const QByteArray& text);
// The file's lines without their line ends (CR LF or LF); `ok` false when it cannot be read.
QList<QByteArray> readLines(const QString& path, bool* ok = nullptr);

} // namespace FileSystem
