#include "settings/StationDirectory.h"

#include "settings/StationDirectoryData.h"

QStringList StationDirectoryEntries(const QString& state)
{
    // Keys are compared whole and case-sensitively; the first equal key wins.
    for (const StationGroup& group : StationGroups()) {
        if (state != QLatin1String(group.state))
            continue;
        QStringList entries;
        entries.reserve(qsizetype(group.entries.size()));
        for (const char* entry : group.entries)
            entries.append(QString::fromUtf8(entry));
        return entries;
    }
    return {};
}

int StationDirectoryGroupCount()
{
    return int(StationGroups().size());
}

int StationDirectoryEntryCount()
{
    int count = 0;
    for (const StationGroup& group : StationGroups())
        count += int(group.entries.size());
    return count;
}
