// The LstCfg.Cfg record.
#include "editor/lstcfg.h"

#include "core/cleanfield.h"
#include "core/gbk.h"

#include <QtEndian>

QByteArray WeekdayListConfig::toRecord() const {
    QByteArray out;
    out.reserve(RecordSize);
    char flag[2];
    qToLittleEndian<quint16>(SameEveryDay ? 0xFFFF : 0x0000, flag);
    out.append(flag, 2);
    for (const QString &path : DayPaths)
        out += gbk::encodeField(path, PathBytes);
    out += gbk::encodeField(EveryDayPath, PathBytes);
    return out;
}

WeekdayListConfig WeekdayListConfig::fromRecord(const QByteArray &record) {
    QByteArray r = record.left(RecordSize);
    r.append(QByteArray(RecordSize - r.size(), '\0'));
    WeekdayListConfig c;
    c.SameEveryDay = qFromLittleEndian<quint16>(r.constData()) == 0xFFFF;
    auto field = [&r](int i) { return CleanField(gbk::decode(r.mid(2 + i * PathBytes, PathBytes))); };
    for (int d = 0; d < 7; ++d)
        c.DayPaths[d] = field(d);
    c.EveryDayPath = field(7);
    return c;
}
