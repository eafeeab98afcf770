#pragma once

// Pauses the program on its one thread, on purpose (countdowns, pauses); a pause takes no user input.
class Sleeper {
public:
    virtual ~Sleeper() = default;
    virtual void sleepMs(int milliseconds) = 0;
};
