// Password.cfg of any bytes: what the lock takes from it is a whole hash this program could have
// written, never more than the file's first bytes; anything else keeps the settings locked.
#include "fuzzcheck.h"
#include "lock/passwordhash.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes = fuzzBytes(data, size);
    const QByteArray stored = passwordhash::fromFileBytes(bytes);
    if (stored.isEmpty())
        return 0;
    FUZZ_CHECK(stored.startsWith("$argon2id$") && bytes.left(passwordhash::MaxFileBytes).contains(stored));
    FUZZ_CHECK(passwordhash::fromFileBytes(stored + "\n") == stored);
    return 0;
}
