// The random music at its largest: three libraries of 1001 songs loaded at start-up, and the
// six-second check with every library open and its history nearly full.
#include "app/form1.h"
#include "randommusic/libraryeditor.h"
#include "randommusic/libraryfiles.h"
#include "randommusic/libraryloading.h"
#include "support/testenv.h"

#include "benchsupport.h"

#include <QFile>

namespace {

// 1001 songs in an order of their own, with Chinese and Latin names, as a library grows.
QStringList songs(int library) {
    QStringList s;
    for (int i = 0; i < MusicLibrary::MaxSongs; ++i)
        s << QStringLiteral("/srv/音乐/曲库%1/%2 歌曲%3.%4")
                 .arg(library)
                 .arg(QChar(i % 2 ? u'a' + i % 26 : u'春' + i % 500))
                 .arg((i * 7919) % 1001)
                 .arg(i % 3 == 0   ? "mp3"
                      : i % 3 == 1 ? "wav"
                                   : "mid");
    return s;
}

void writeLibraries(const TestEnv &env) {
    const PlayGroup open{0, 86399, {1, 1, 1, 1, 1, 1, 1}};
    for (int n = 0; n < MusicLibraries::Count; ++n) {
        QFile sjbf(env.path(QStringLiteral("Sjbf%1.dat").arg(n))),
            list(env.path(QStringLiteral("SjFile%1.dat").arg(n)));
        if (!sjbf.open(QIODevice::WriteOnly) || !list.open(QIODevice::WriteOnly))
            std::abort();
        sjbf.write(libraryfiles::groupSettingsBytes({open, open, open, open}));
        list.write(libraryfiles::bytesFromSongs(songs(n)));
    }
}

// The start-up loading alone: three group settings files and three song lists into memory.
void BM_LoadThreeFullLibraries(benchmark::State &state) {
    TestEnv env;
    writeLibraries(env);
    Form1 form(env.services);
    for (auto _ : state)
        libraryloading::loadAll(form.appDir(), form.libraries);
    state.counters["songs"] = form.libraries.library[0].songCount() + form.libraries.library[1].songCount() +
                              form.libraries.library[2].songCount();
}
BENCHMARK(BM_LoadThreeFullLibraries)->Unit(benchmark::kMillisecond);

// The whole main window's start-up with fake services, without and with the full libraries:
// the difference is the libraries' share.
void BM_StartUp(benchmark::State &state) {
    TestEnv env;
    if (state.range(0))
        writeLibraries(env);
    for (auto _ : state) {
        Form1 form(env.services);
        benchmark::DoNotOptimize(form.libraries.library[0].songCount());
    }
}
BENCHMARK(BM_StartUp)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The worst check: three libraries of 1001 songs, all open. The shared count stands at 998 and
// the first two libraries remember 998 and 999 songs, so their draws have 3 and 2 songs to
// find; the second pick reaches 1000 and clears, and the third draws freely. WAV songs only,
// so each start runs the whole MCI sequence.
void BM_WorstTimer11Tick(benchmark::State &state) {
    TestEnv env(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
    Form1 form(env.services);
    MusicLibraries &libs = form.libraries;
    for (int n = 0; n < MusicLibraries::Count; ++n) {
        QStringList wavs = songs(n);
        for (QString &s : wavs)
            s = s.left(s.lastIndexOf(QLatin1Char('.'))) + QStringLiteral(".wav");
        libs.library[n].setSongs(wavs);
        libs.library[n].groups.fill(PlayGroup{0, 86399, {1, 1, 1, 1, 1, 1, 1}});
    }
    MusicLibraries full = libs;
    for (int n = 0; n < 2; ++n)
        for (int p = 1; p <= 999; ++p)
            full.library[n].PlayHistory[p] = qint16(p);  // songs 0 … 998 remembered
    full.PlayHistoryCount = 998;
    for (auto _ : state) {
        state.PauseTiming();
        libs = full;
        form.playback.PlayerBusy = 0;
        env.mci->log.clear();
        env.mixer->speakerWrites.clear();
        env.timeline.clear();
        state.ResumeTiming();
        form.Timer11->fire();
    }
    if (env.mci->log.count(QStringLiteral("play")) != 3)
        std::abort();  // a check that started fewer songs measured less than it claims
}
BENCHMARK(BM_WorstTimer11Tick)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char **argv) { return runBenchmarks(argc, argv); }
