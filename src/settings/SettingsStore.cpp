#include "settings/SettingsStore.h"

#include "core/ProgramInfo.h"
#include "platform/Services.h"
#include "platform/SettingsRegistry.h"
#include "settings/SettingNames.h"

QString ReadSetting(const QString& valueName)
{
    return services().registry->readValue(valueName);
}

QString WriteSetting(const QString& valueName, const QString& text)
{
    return services().registry->writeValue(valueName, text);
}

QString EnsureSettingsKeys()
{
    return services().registry->createKeys();
}

bool SettingsPresent()
{
    return services().registry->companyKeyExists();
}

QString UnreadableSettingsMessage()
{
    const QString problem = services().registry->takeReadProblem();
    if (problem.isEmpty())
        return {};
    return Program::Title + " could not read its settings and goes on without them.\n\n" + problem;
}

QString FirstWord(const QString& text)
{
    const qsizetype blank = text.indexOf(' ');
    return blank < 0 ? text : text.left(blank);
}

AppSettingsRecord ReadStartupSettings(AppSettingsRecord current)
{
    current.MyName = FirstWord(ReadSetting(SettingName::MyName));
    current.Station = ReadSetting(SettingName::Station).left(4);
    current.TimeServer = ReadSetting(SettingName::TimeServer);
    current.Sound = ReadSetting(SettingName::Sound).left(1);
    current.UTC = ReadSetting(SettingName::UTC).left(1);
    current.PreciseTime = ReadSetting(SettingName::PreciseTime).left(1);
    return current;
}

QString ReadSplashSetting()
{
    return ReadSetting(SettingName::Splash).left(1);
}
