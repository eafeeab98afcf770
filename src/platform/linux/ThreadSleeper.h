#pragma once

#include "platform/Sleeper.h"

class ThreadSleeper final : public Sleeper {
public:
    void sleepMs(int milliseconds) override;
};
