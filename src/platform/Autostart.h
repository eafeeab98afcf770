#pragma once

#include <QString>

// The per-user entry that starts the program when the user logs in.
class Autostart {
public:
    virtual ~Autostart() = default;
    // Creates or replaces the entry so that it runs `executablePath`.
    virtual void enable(const QString& executablePath) = 0;
    // Removes the entry; a missing entry is not an error.
    virtual void disable() = 0;
    // Whether the entry is there now (it may have been added or removed outside the program).
    virtual bool exists() const = 0;
};
