#pragma once

#include <QString>

class FakeSettingsRegistry;

// Seeds what a save of the preferences leaves: this name, Tennessee's KCHA, the default time server,
// sounds and splash off, 12-hour time.
void SeedConfiguredUser(FakeSettingsRegistry& registry, const QString& name = "Ann Example");
