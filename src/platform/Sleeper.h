#pragma once

// Blocks the calling thread; the program sleeps its one thread on purpose (countdowns, pauses).
class Sleeper {
public:
    virtual ~Sleeper() = default;
    virtual void sleepMs(int milliseconds) = 0;
};
