#pragma once

#include <QString>

// Opens a web address (or any target) with the desktop's default handler. Failures are silent.
class ShellOpener {
public:
    virtual ~ShellOpener() = default;
    virtual void open(const QString& target) = 0;
};
