// What every fuzzer shares: a check that stops the run with a message when a reader breaks a
// promise of its own, so the fuzzer records the input as a crash.
#pragma once
#include <QByteArray>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                 \
    do {                                                                                      \
        if (!(condition)) {                                                                   \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                     \
        }                                                                                     \
    } while (false)

inline QByteArray fuzzBytes(const uint8_t *data, size_t size) {
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}
