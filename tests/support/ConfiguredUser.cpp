#include "support/ConfiguredUser.h"

#include "settings/SettingNames.h"
#include "support/FakeServices.h"

void SeedConfiguredUser(FakeSettingsRegistry& registry, const QString& name)
{
    registry.seed({{SettingName::MyName, name},
                   {SettingName::State, "Tennessee"},
                   {SettingName::Station, "KCHA"},
                   {SettingName::TimeServer, "utcnist.colorado.edu"},
                   {SettingName::Sound, "0"},
                   {SettingName::Splash, "0"},
                   {SettingName::Update, "1"},
                   {SettingName::UTC, "0"}});
}
