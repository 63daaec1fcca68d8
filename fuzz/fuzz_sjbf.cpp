// Sjbf n .dat of any bytes: each of the four groups reads with times of day and day flags of
// 0 or 1, and the settings written back keep what the file held past them and read back the same.
#include "fuzzcheck.h"
#include "randommusic/libraryfiles.h"
#include "randommusic/musicrules.h"

#include "core/recordfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes = fuzzBytes(data, size);
    std::array<PlayGroup, 4> groups{};
    for (int g = 0; g < libraryfiles::GroupCount; ++g) {
        groups[std::size_t(g)] = libraryfiles::groupFromRecord(recordAt(bytes, g + 1, libraryfiles::RecordSize));
        const PlayGroup &read = groups[std::size_t(g)];
        FUZZ_CHECK(read.start >= 0 && read.start < 86400 && read.stop >= 0 && read.stop < 86400);
        for (qint16 flag : read.days)
            FUZZ_CHECK(flag == 0 || flag == 1);
    }
    // What the random music asks of the groups at any moment of any day.
    for (int weekday = 1; weekday <= 7; ++weekday) {
        const int open = musicrules::openGroup(groups, (weekday * 12347) % 86400, weekday);
        FUZZ_CHECK(open >= 0 && open <= 4);
        FUZZ_CHECK(open == 0 || musicrules::hasWindow(groups));
    }
    const QByteArray saved = libraryfiles::groupSettingsBytes(groups, bytes);
    FUZZ_CHECK(saved.size() == qMax<qsizetype>(libraryfiles::GroupFileSize, bytes.size()));
    FUZZ_CHECK(saved.mid(libraryfiles::GroupFileSize) == bytes.mid(libraryfiles::GroupFileSize));
    for (int g = 0; g < libraryfiles::GroupCount; ++g) {
        const PlayGroup again = libraryfiles::groupFromRecord(recordAt(saved, g + 1, libraryfiles::RecordSize));
        const PlayGroup &read = groups[std::size_t(g)];
        FUZZ_CHECK(again.start == read.start && again.stop == read.stop && again.days == read.days);
    }
    return 0;
}
