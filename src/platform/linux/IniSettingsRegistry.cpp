#include "platform/linux/IniSettingsRegistry.h"

#include "platform/FileSystem.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>

IniSettingsRegistry::IniSettingsRegistry(const QString& configHome) : configHome_(configHome) {}

QString IniSettingsRegistry::companyFolder() const
{
    return FileSystem::resolve(configHome_ + "/Orlentis");
}

QString IniSettingsRegistry::settingsFile() const
{
    return FileSystem::resolve(companyFolder() + "/Tolvane.conf");
}

bool IniSettingsRegistry::companyKeyExists() const
{
    return FileSystem::folderExists(companyFolder());
}

namespace {
// Why `folder` could not be made: the nearest part of its path that exists says it.
QString whyNoFolder(const QString& folder)
{
    QFileInfo existing(folder);
    while (!existing.exists() && existing.absoluteFilePath() != existing.absolutePath())
        existing = QFileInfo(existing.absolutePath());
    if (existing.exists() && !existing.isDir())
        return existing.absoluteFilePath() + " is a file, not a folder";
    if (existing.exists() && !existing.isWritable())
        return existing.absoluteFilePath() + " is read-only";
    return QStringLiteral("it cannot be created");
}
} // namespace

QString IniSettingsRegistry::createKeys()
{
    if (!FileSystem::createFolder(companyFolder()))
        return companyFolder() + ": " + whyNoFolder(companyFolder());
    QFile file(settingsFile());
    if (!file.exists() && !file.open(QIODevice::WriteOnly)) // an empty key: no values yet
        return settingsFile() + ": " + file.errorString();
    return {};
}

namespace {
// The stored spelling of a value name that matches `valueName` without regard to case.
QString storedName(const QSettings& store, const QString& valueName)
{
    const QStringList names = store.childKeys();
    for (const QString& name : names)
        if (name.compare(valueName, Qt::CaseInsensitive) == 0)
            return name;
    return valueName;
}
} // namespace

QString IniSettingsRegistry::readValue(const QString& valueName) const
{
    if (!FileSystem::fileExists(settingsFile()))
        return {};
    const QSettings store(settingsFile(), QSettings::IniFormat);
    const QVariant value = store.value(storedName(store, valueName));
    // A hand-edited value with commas reads as a list; keep its text.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(',');
    return value.toString();
}

QString IniSettingsRegistry::writeValue(const QString& valueName, const QString& text)
{
    // Writing never creates the keys: only the save path does that, on purpose.
    if (!FileSystem::fileExists(settingsFile()))
        return settingsFile() + ": the file does not exist";
    QSettings store(settingsFile(), QSettings::IniFormat);
    store.setValue(storedName(store, valueName), text);
    store.sync();
    if (store.status() != QSettings::NoError || !QFileInfo(settingsFile()).isWritable())
        return settingsFile() + ": the file cannot be written";
    return {};
}
