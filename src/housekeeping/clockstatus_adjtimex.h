// The system clock's state from the kernel: adjtimex, CLOCK_REALTIME and CLOCK_BOOTTIME.
#pragma once
#include "housekeeping/clockstatus.h"

#include <memory>

std::unique_ptr<ClockStatus> makeAdjtimexClockStatus();
