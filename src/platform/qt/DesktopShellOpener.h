#pragma once

#include "platform/ShellOpener.h"

// Opens targets with the desktop's default handler (xdg-open or the desktop portal).
class DesktopShellOpener final : public ShellOpener {
public:
    void open(const QString& target) override;
};
