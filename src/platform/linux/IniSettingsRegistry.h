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
    // A settings file that cannot be opened or parsed is never written over before the user saves;
    // the save (createKeys) keeps it beside as Tolvane.conf.unreadable and starts a new one.
    QString takeReadProblem() override;

    QString companyFolder() const;
    QString settingsFile() const;

private:
    // Why the settings file cannot be read; empty when it can or when there is none.
    QString unreadableReason() const;

    QString configHome_;
    bool problemTold_ = false;
};
