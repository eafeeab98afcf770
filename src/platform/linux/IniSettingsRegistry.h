#pragma once

#include "platform/SettingsRegistry.h"

// The settings as an INI file: the company key is the folder <configHome>/Orlentis and the settings key
// the file Tolvane.conf in it. Folder, file and value names match without regard to case.
class IniSettingsRegistry final : public SettingsRegistry {
public:
    explicit IniSettingsRegistry(const QString& configHome);

    bool companyKeyExists() const override;
    QString createKeys() override;
    QString readValue(const QString& valueName) const override;
    QString writeValue(const QString& valueName, const QString& text) override;

    QString companyFolder() const;
    QString settingsFile() const;

private:
    QString configHome_;
};
