#pragma once

class SystemBell {
public:
    virtual ~SystemBell() = default;
    virtual void beep() = 0;
};
