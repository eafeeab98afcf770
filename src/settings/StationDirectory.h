#pragma once
#include <QString>
#include <QStringList>

// Entries ("Station name=CODE") of the group keyed exactly by `state`, in directory order; empty when
// no group has that key.
QStringList StationDirectoryEntries(const QString& state);
// Number of groups and total entries, for checks.
int StationDirectoryGroupCount();
int StationDirectoryEntryCount();
