// qc.cfg of any bytes: a time is three in-range numbers of at most two digits, and what was
// read, written back, reads back the same.
#include "core/linefile.h"
#include "fuzzcheck.h"
#include "housekeeping/qccfg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const qccfg::Read read = qccfg::parse(linefile::parse(fuzzBytes(data, size)));
    if (!read.time)
        return 0;
    const int tops[3] = {23, 59, 59};
    for (int i = 0; i < 3; ++i) {
        const QString &t = (*read.time)[std::size_t(i)];
        bool ok = false;
        FUZZ_CHECK(t.size() >= 1 && t.size() <= 2 && t.toInt(&ok) <= tops[i] && ok);
    }
    const bool clearing = read.clearing.value_or(true);
    const qccfg::Read back = qccfg::parse({qccfg::format((*read.time)[0], (*read.time)[1], (*read.time)[2], clearing)});
    FUZZ_CHECK(back.time == read.time && back.clearing == clearing);
    return 0;
}
