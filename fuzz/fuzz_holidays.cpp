// Holidays.txt of any bytes: every line is an entry, a comment, blank or skipped with its
// number; a save reads back as the same calendar, keeps the bytes of each line it could not
// read, and a second save writes the same bytes.
#include "core/holidayrules.h"
#include "fuzzcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes = fuzzBytes(data, size);
    const holidayrules::Calendar read = holidayrules::parse(bytes);
    const qsizetype lines = bytes.count('\n') + 1;
    FUZZ_CHECK(read.entries.size() + read.comments.size() + read.skipped.size() <= lines);
    int previous = 0;
    for (const holidayrules::SkippedLine &s : read.skipped) {
        FUZZ_CHECK(s.number > previous && s.number <= lines && !s.reason.isEmpty());
        previous = s.number;
    }
    for (const holidayrules::Entry &e : read.entries)
        FUZZ_CHECK(e.date.isValid() && e.follows >= DayOff && e.follows <= 7);

    const QByteArray saved = holidayrules::format(read);
    const holidayrules::Calendar again = holidayrules::parse(saved);
    FUZZ_CHECK(again.entries == read.entries);
    qsizetype unreadable = 0;
    for (const holidayrules::SkippedLine &s : read.skipped) {
        if (s.bytes.isEmpty())
            continue;
        ++unreadable;
        FUZZ_CHECK(saved.contains("\n" + s.bytes + "\r\n"));
    }
    FUZZ_CHECK(again.skipped.size() == unreadable);
    FUZZ_CHECK(holidayrules::format(again) == saved);
    return 0;
}
