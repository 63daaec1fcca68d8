// Volume.cfg of any bytes: the lines read, every position found is a number, and the
// positions written back read back the same.
#include "core/linefile.h"
#include "fuzzcheck.h"
#include "volume/volumecfg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const volumecfg::ReadPositions read = volumecfg::parse(linefile::parse(fuzzBytes(data, size)));
    volumecfg::Positions positions{};
    for (int i = 0; i < volumecfg::Count; ++i)
        positions[std::size_t(i)] = qint32(read[std::size_t(i)].value_or(0));
    const volumecfg::ReadPositions again = volumecfg::parse(volumecfg::format(positions));
    for (int i = 0; i < volumecfg::Count; ++i)
        FUZZ_CHECK(again[std::size_t(i)] == positions[std::size_t(i)]);
    return 0;
}
