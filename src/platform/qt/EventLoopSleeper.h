#pragma once

#include "platform/Sleeper.h"

// Pauses in a local event loop that takes no user input: during a countdown or a pause the window
// still repaints and answers the desktop, and no command can be started in the middle of it.
class EventLoopSleeper final : public Sleeper {
public:
    void sleepMs(int milliseconds) override;
};
