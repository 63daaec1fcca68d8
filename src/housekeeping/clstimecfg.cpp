// The bytes of ClsTime.Cfg.
#include "housekeeping/clstimecfg.h"

#include "core/timetext.h"

#include <QtEndian>
#include <cmath>
#include <cstring>

namespace {
// 31 December 9999, the last day a date value stands for.
constexpr double LastDate = 2958465.0;
}  // namespace

QByteArray ShutdownRecord::toRecord() const {
    QByteArray bytes(RecordSize, '\0');
    qToLittleEndian<qint16>(Enabled ? -1 : 0, bytes.data());
    qToLittleEndian<double>(timetext::toOle(Time), bytes.data() + 2);
    return bytes;
}

ShutdownRecord ShutdownRecord::fromFile(const QByteArray &bytes, QString *damage) {
    ShutdownRecord r;
    if (bytes.isEmpty())
        return r;
    if (bytes.size() < RecordSize) {
        if (damage)
            *damage = QStringLiteral("%1 bytes instead of %2").arg(bytes.size()).arg(RecordSize);
        return r;
    }
    const double date = qFromLittleEndian<double>(bytes.constData() + 2);
    if (!std::isfinite(date) || std::fabs(date) > LastDate + 1) {
        if (damage)
            *damage = QStringLiteral("the time is no date value (%1)").arg(date);
        return r;
    }
    r.Enabled = qFromLittleEndian<qint16>(bytes.constData()) != 0;
    r.Time = timetext::fromOle(date);
    return r;
}
