#include "core/ProgramInfo.h"

#include "BuildConfig.h"

QByteArray Program::IdentifyingAgent()
{
    QByteArray site = MakerSite;
    if (!site.endsWith('/'))
        site += '/';
    return "Tolvane/" + QByteArray::number(BuildConfig::VersionMajor) + "." +
           QByteArray::number(BuildConfig::VersionMinor) + "." + QByteArray::number(BuildConfig::VersionRevision) +
           " (+" + site + ")";
}
