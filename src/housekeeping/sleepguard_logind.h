// The sleep guard through logind on the system bus.
#pragma once
#include "housekeeping/sleepguard.h"

#include <functional>
#include <memory>

// The time the system has spent suspended since it booted: CLOCK_BOOTTIME counts it,
// CLOCK_MONOTONIC does not.
qint64 timeSuspendedMs();

// logind's Inhibit("sleep:idle", block): a descriptor that holds the inhibitor while it is
// open. A wake is logind's PrepareForSleep(false); how long the PC slept, the growth of
// suspended() since the last wake (timeSuspendedMs unless a test gives its own).
std::unique_ptr<SleepGuard> makeLogindSleepGuard(std::function<qint64()> suspended = timeSuspendedMs);
