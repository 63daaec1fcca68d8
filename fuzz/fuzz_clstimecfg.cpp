// ClsTime.Cfg of any bytes: a time of day, a damaged record read as off at midnight, and the
// record written back reads back the same.
#include "fuzzcheck.h"
#include "housekeeping/clstimecfg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    QString damage;
    const ShutdownRecord read = ShutdownRecord::fromFile(fuzzBytes(data, size), &damage);
    FUZZ_CHECK(read.Time >= 0 && read.Time < 86400);
    if (!damage.isEmpty())
        FUZZ_CHECK(!read.Enabled && read.Time == 0);
    QString again;
    const ShutdownRecord back = ShutdownRecord::fromFile(read.toRecord(), &again);
    FUZZ_CHECK(again.isEmpty() && back.Enabled == read.Enabled && back.Time == read.Time);
    return 0;
}
