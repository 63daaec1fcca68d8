// VolumePosition: a volume slider's position and the mixer volume it stands for.
#pragma once
#include <QtGlobal>

#include <limits>

// Position 0, at the top of a slider, is the loudest: the mixer gets (32767 - p) * 2,
// 65534 at the top and 0 at position 32767. Positions far outside any slider's range
// would overflow 32 bits; they give the nearest value that fits instead.
constexpr qint32 VolumeForPosition(qint32 position) {
    const qint64 v = (qint64(32767) - position) * 2;
    if (v > std::numeric_limits<qint32>::max())
        return std::numeric_limits<qint32>::max();
    if (v < std::numeric_limits<qint32>::min())
        return std::numeric_limits<qint32>::min();
    return qint32(v);
}
