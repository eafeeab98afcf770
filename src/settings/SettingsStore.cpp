#include "settings/SettingsStore.h"

#include "platform/Services.h"
#include "platform/SettingsRegistry.h"
#include "settings/AppSettings.h"

QString ReadSetting(const QString& valueName)
{
    return services().registry->readValue(valueName);
}

void WriteSetting(const QString& valueName, const QString& text)
{
    services().registry->writeValue(valueName, text);
}

void EnsureSettingsKeys()
{
    services().registry->createKeys();
}

bool SettingsPresent()
{
    return services().registry->companyKeyExists();
}

QString FirstWord(const QString& text)
{
    const qsizetype blank = text.indexOf(' ');
    return blank < 0 ? text : text.left(blank);
}

void ReadStartupSettings()
{
    AppSettings.MyName = FirstWord(ReadSetting("My Name"));
    AppSettings.Station = ReadSetting("Station").left(4);
    AppSettings.TimeServer = ReadSetting("Time Server");
    AppSettings.Sound = ReadSetting("Sound").left(1);
    AppSettings.UTC = ReadSetting("UTC").left(1);
}
