// ClockStatus: what the system says of its clock: kept by a time server or not, and its wall clock beside one that only
// counts.
#pragma once
#include <QtGlobal>

struct ClockReading {
    bool synchronised = false;  // the system counts the clock as kept by a time server
    qint64 wallMs = 0;          // the wall clock, ms since the epoch
    qint64 steadyMs = 0;        // a clock nobody sets, counting on through sleep, in ms
};

// Read together, the two clocks show a step of the wall clock (a time server correcting it,
// someone setting it): between two readings the wall clock moved more or less than the
// clock that only counts.
class ClockStatus {
public:
    virtual ~ClockStatus() = default;
    virtual ClockReading read() const = 0;
};
