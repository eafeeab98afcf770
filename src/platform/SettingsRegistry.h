#pragma once

#include <QString>

// The per-user store of the program's settings: a company key holding one settings key with named text values.
class SettingsRegistry {
public:
    virtual ~SettingsRegistry() = default;
    // True when the company key exists, whatever it holds.
    virtual bool companyKeyExists() const = 0;
    // Creates the company key and the settings key below it; harmless when they exist. Empty on
    // success, else what could not be created and why ("<folder>: Permission denied").
    virtual QString createKeys() = 0;
    // The stored text, whole; empty when the value, the key or the store is missing or unreadable.
    virtual QString readValue(const QString& valueName) const = 0;
    // Stores the text under the value name. Empty on success, else what could not be written and why.
    virtual QString writeValue(const QString& valueName, const QString& text) = 0;
    // Why the stored settings cannot be read, in words for the user, the first time it is asked while
    // they cannot; empty otherwise, and when there are none yet.
    virtual QString takeReadProblem() = 0;
};
