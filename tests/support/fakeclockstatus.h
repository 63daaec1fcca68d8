// A system clock whose keeping by a time server the test sets, reading the simulated clock.
#pragma once
#include "housekeeping/clockstatus.h"
#include "support/simclock.h"

struct FakeClockStatus : ClockStatus {
    explicit FakeClockStatus(const SimClock &clock) : clock(clock) {}
    ClockReading read() const override { return {synchronised, clock.now().toMSecsSinceEpoch(), clock.steadyMs()}; }
    const SimClock &clock;
    bool synchronised = true;
};
