// LstCfg.Cfg of any bytes: it reads, and what it reads writes back as one 802-byte record
// that reads back the same.
#include "editor/lstcfg.h"
#include "fuzzcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const WeekdayListConfig c = WeekdayListConfig::fromRecord(fuzzBytes(data, size));
    const QByteArray record = c.toRecord();
    FUZZ_CHECK(record.size() == WeekdayListConfig::RecordSize);
    const WeekdayListConfig again = WeekdayListConfig::fromRecord(record);
    FUZZ_CHECK(again.SameEveryDay == c.SameEveryDay);
    FUZZ_CHECK(again.DayPaths == c.DayPaths && again.EveryDayPath == c.EveryDayPath);
    return 0;
}
