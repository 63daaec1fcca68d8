// SjFile n .dat of any bytes: the songs read are at most a library's worth, none empty or
// overlong; written back they read back the same; List2's order is a strict order over them,
// and the random pick from them ends and stays in the table.
#include "fuzzcheck.h"
#include "randommusic/libraryfiles.h"
#include "randommusic/musicrules.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes = fuzzBytes(data, size);
    int skipped = -1;
    const QStringList songs = libraryfiles::songsFromBytes(bytes, &skipped);
    FUZZ_CHECK(skipped >= 0);
    FUZZ_CHECK(songs.size() <= MusicLibrary::MaxSongs);
    for (const QString &s : songs)
        FUZZ_CHECK(!s.isEmpty() && s.size() <= libraryfiles::MaxLineBytes);
    FUZZ_CHECK(libraryfiles::songsFromBytes(libraryfiles::bytesFromSongs(songs)) == songs);

    // A comparison that is not a strict weak order lets a sort run past its range.
    const QStringList some = songs.mid(0, 12);
    for (const QString &a : some) {
        FUZZ_CHECK(!musicrules::songLess(a, a));
        for (const QString &b : some) {
            FUZZ_CHECK(!(musicrules::songLess(a, b) && musicrules::songLess(b, a)));
            for (const QString &c : some)
                if (musicrules::songLess(a, b) && musicrules::songLess(b, c))
                    FUZZ_CHECK(musicrules::songLess(a, c));
        }
    }
    QStringList sorted = songs;
    std::sort(sorted.begin(), sorted.end(), musicrules::songLess);
    FUZZ_CHECK(sorted.size() == songs.size());

    if (songs.isEmpty())
        return 0;
    MusicLibrary library;
    library.setSongs(songs);
    int historyCount = 0;
    quint32 seed = quint32(size) * 2654435761u;
    const auto draw = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return double(seed >> 8) / double(1u << 24);
    };
    const int picks = std::min(2 * library.songCount(), 64);
    for (int i = 0; i < picks; ++i) {
        const int k = musicrules::pickSong(library, historyCount, draw);
        FUZZ_CHECK(k >= 0 && k < library.songCount());
        FUZZ_CHECK(historyCount >= 0 && historyCount < std::max(library.songCount() - 1, 1));
    }
    return 0;
}
