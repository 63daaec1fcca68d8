// A list file of any bytes: it reads as whole items, each writes back as one record of 136
// bytes that reads back as the same item.
#include "core/schedulelistfile.h"
#include "fuzzcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes = fuzzBytes(data, size);
    const QList<ScheduleItem> items = ScheduleListFile::parse(bytes);
    FUZZ_CHECK(items.size() <= qsizetype(size / ScheduleItem::RecordSize) + 1);
    for (const ScheduleItem &item : items) {
        FUZZ_CHECK(item.StartTime >= 0 && item.StartTime < 86400);
        FUZZ_CHECK(item.PlayLength >= 0 && item.PlayLength < 86400);
        const QByteArray record = item.toRecord();
        FUZZ_CHECK(record.size() == ScheduleItem::RecordSize);
        FUZZ_CHECK(ScheduleItem::fromRecord(record) == item);
    }
    return 0;
}
