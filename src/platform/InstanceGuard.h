#pragma once

// Tells whether another copy of the program is already running for this user.
class InstanceGuard {
public:
    virtual ~InstanceGuard() = default;
    // The first call claims the program for this process; later calls in the same process answer false.
    virtual bool anotherCopyRunning() = 0;
};
