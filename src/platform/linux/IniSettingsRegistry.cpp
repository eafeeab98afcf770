#include "platform/linux/IniSettingsRegistry.h"

#include "platform/FileSystem.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryFile>

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
    // Only a save gets here: a file that cannot be read is kept beside, not written over.
    if (!unreadableReason().isEmpty()) {
        const QString keptAs = settingsFile() + ".unreadable";
        QFile::remove(keptAs);
        QFile::rename(settingsFile(), keptAs);
    }
    QFile file(settingsFile());
    if (!file.exists() && !file.open(QIODevice::WriteOnly)) // an empty key: no values yet
        return settingsFile() + ": " + file.errorString();
    return {};
}

QString IniSettingsRegistry::unreadableReason() const
{
    const QString path = settingsFile();
    if (!QFileInfo::exists(path))
        return {};
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return QStringLiteral("it cannot be opened");
    // QSettings keeps what it parsed of a path for the whole process and reports a parse error only
    // the first time: a copy under a name of its own is parsed afresh.
    QTemporaryFile copy;
    if (!copy.open() || copy.write(file.readAll()) < 0 || !copy.flush())
        return {};
    const QSettings store(copy.fileName(), QSettings::IniFormat);
    store.allKeys(); // sections are parsed when first used
    return store.status() == QSettings::NoError ? QString() : QStringLiteral("it is not a valid settings file");
}

QString IniSettingsRegistry::takeReadProblem()
{
    const QString reason = unreadableReason();
    if (reason.isEmpty() || problemTold_)
        return {};
    problemTold_ = true;
    return QStringLiteral("%1: %2. The file is left as it is until you save the preferences, which keep it "
                          "as %1.unreadable and write a new one.")
        .arg(settingsFile(), reason);
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
