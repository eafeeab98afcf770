#include "platform/linux/IniSettingsRegistry.h"

#include "platform/FileSystem.h"

#include <QFile>
#include <QSettings>

IniSettingsRegistry::IniSettingsRegistry(const QString& configHome) : m_configHome(configHome) {}

QString IniSettingsRegistry::companyFolder() const
{
    return FileSystem::resolve(m_configHome + "/Orlentis");
}

QString IniSettingsRegistry::settingsFile() const
{
    return FileSystem::resolve(companyFolder() + "/Tolvane.conf");
}

bool IniSettingsRegistry::companyKeyExists() const
{
    return FileSystem::folderExists(companyFolder());
}

void IniSettingsRegistry::createKeys()
{
    if (!FileSystem::createFolder(companyFolder()))
        return;
    QFile file(settingsFile());
    if (!file.exists())
        file.open(QIODevice::WriteOnly); // an empty key: no values yet
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

void IniSettingsRegistry::writeValue(const QString& valueName, const QString& text)
{
    // Writing never creates the keys: only the save path does that, on purpose.
    if (!FileSystem::fileExists(settingsFile()))
        return;
    QSettings store(settingsFile(), QSettings::IniFormat);
    store.setValue(storedName(store, valueName), text);
    store.sync();
}
