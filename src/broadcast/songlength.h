// The MP3 song length shown in the status line.
#pragma once
#include <cmath>

// Whole minutes of the duration, and its seconds rounded (halves to even) within the minute;
// a song of an hour or more shows real hours rather than wrapping.
inline int songLengthSeconds(double durationSeconds) {
    if (!std::isfinite(durationSeconds) || durationSeconds < 0)
        return 0;
    const long long minutes = static_cast<long long>(std::floor(durationSeconds / 60));
    const long long seconds = static_cast<long long>(std::nearbyint(durationSeconds)) % 60;
    return int((minutes * 60 + seconds) % 86400);
}
