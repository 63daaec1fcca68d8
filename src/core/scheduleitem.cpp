// The 136-byte list record.
#include "core/scheduleitem.h"

#include "core/cleanfield.h"
#include "core/gbk.h"
#include "core/timetext.h"

#include <QtEndian>
#include <cstring>

namespace {

void putDouble(QByteArray &out, double value) {
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    char raw[8];
    qToLittleEndian(bits, raw);
    out.append(raw, 8);
}

double getDouble(const char *p) {
    const quint64 bits = qFromLittleEndian<quint64>(p);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace

QByteArray ScheduleItem::toRecord() const {
    QByteArray out;
    out.reserve(RecordSize);
    putDouble(out, timetext::toOle(StartTime));
    out += gbk::encodeField(ItemName, NameBytes);
    putDouble(out, timetext::toOle(PlayLength));
    out += gbk::encodeField(SoundFile, FileBytes);
    return out;
}

ScheduleItem ScheduleItem::fromRecord(const QByteArray &record) {
    QByteArray r = record.left(RecordSize);
    if (r.size() < RecordSize)
        r.append(QByteArray(RecordSize - r.size(), '\0'));
    const char *p = r.constData();
    ScheduleItem item;
    item.StartTime = timetext::fromOle(getDouble(p));
    item.ItemName = CleanField(gbk::decode(QByteArray(p + 8, NameBytes)));
    item.PlayLength = timetext::fromOle(getDouble(p + 28));
    item.SoundFile = CleanField(gbk::decode(QByteArray(p + 36, FileBytes)));
    return item;
}

std::optional<ScheduleItem> ScheduleItem::fromTexts(const QString &start, const QString &name, const QString &length,
                                                    const QString &file) {
    const auto s = timetext::parse(start);
    const auto l = timetext::parse(length);
    if (!s || !l)
        return std::nullopt;
    return ScheduleItem{*s, name, *l, file};
}
