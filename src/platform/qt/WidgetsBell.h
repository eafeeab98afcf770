#pragma once

#include "platform/SystemBell.h"

class WidgetsBell final : public SystemBell {
public:
    void beep() override;
};
