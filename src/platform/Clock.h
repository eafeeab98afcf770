#pragma once

#include <QDateTime>

// Reads the computer's clock.
class Clock {
public:
    virtual ~Clock() = default;
    // Current local date and time, with milliseconds.
    virtual QDateTime nowLocal() const = 0;
};
