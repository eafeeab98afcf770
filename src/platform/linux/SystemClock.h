#pragma once

#include "platform/Clock.h"

class SystemClock final : public Clock {
public:
    QDateTime nowLocal() const override { return QDateTime::currentDateTime(); }
};
