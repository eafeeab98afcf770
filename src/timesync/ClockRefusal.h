#pragma once

#include "platform/ClockSetter.h"

#include <QString>

// What the user is told when the system would not set the clock, naming the reason.
QString ClockRefusalMessage(const ClockSetResult& result);
