#include "core/Version.h"

#include "BuildConfig.h"

QString ComposeVersionText(int major, int minor, int revision)
{
    QString text = QString::number(major) + "." + QString::number(minor);
    if (revision != 0)
        text += " Revision " + QString::number(revision);
    return text;
}

QString FullVersionText(int major, int minor, int revision)
{
    return QString::number(major) + "." + QString::number(minor) + "." + QString::number(revision);
}

QString ProgramVersionText()
{
    return ComposeVersionText(BuildConfig::VersionMajor, BuildConfig::VersionMinor, BuildConfig::VersionRevision);
}

QString ProgramFullVersionText()
{
    return FullVersionText(BuildConfig::VersionMajor, BuildConfig::VersionMinor, BuildConfig::VersionRevision);
}
