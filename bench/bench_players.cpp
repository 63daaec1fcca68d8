// The GStreamer players: start latency from the play command to the first sound rendered by the
// sink, and whether every play ends with its notice.
#include "broadcast/player_gst.h"
#include "support/testsounds.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>

namespace {

QTemporaryDir *g_dir = nullptr;

QString soundPath(const char *name) { return g_dir->filePath(QString::fromLatin1(name)); }

// Signalled from the sink's streaming thread when the first buffer is rendered.
struct FirstBuffer {
    std::mutex lock;
    std::condition_variable cv;
    bool seen = false;
    std::chrono::steady_clock::time_point at;

    void arm(GstPlaybin &pb) {
        {
            std::lock_guard l(lock);
            seen = false;
        }
        pb.armFirstBufferObserver([this] {
            std::lock_guard l(lock);
            at = std::chrono::steady_clock::now();
            seen = true;
            cv.notify_all();
        });
    }
    bool wait() {
        std::unique_lock l(lock);
        return cv.wait_for(l, std::chrono::seconds(5), [this] { return seen; });
    }
};

// Lets the player's queued bus work and late notifications run between iterations.
void settle(int ms) {
    QElapsedTimer t;
    t.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    } while (t.elapsed() < ms);
}

// How long each player call holds the calling (UI) thread.
struct UiTime {
    double maxMs = 0, totalMs = 0;
    int calls = 0;
    template <class F>
    void run(F &&f) {
        const auto t0 = std::chrono::steady_clock::now();
        f();
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        maxMs = std::max(maxMs, ms);
        totalMs += ms;
        ++calls;
    }
    void report(benchmark::State &state) const {
        state.counters["ui_call_max_ms"] = maxMs;
        state.counters["ui_call_mean_ms"] = calls ? totalMs / calls : 0;
    }
};

// warm = the file was opened and prerolled beforehand; otherwise "open" is sent right before
// "play", as the playback engine does, and the clock runs from "open". prepared = the player
// was prepared as the program prepares it when a MIDI item falls due (a synthesiser with its
// soundfont loaded).
void BM_MciStart(benchmark::State &state, const char *file, const char *type, bool warm, bool prepared = false) {
    GstMciPlayer p(QStringLiteral("fakesink"));
    if (prepared) {
        p.prepareMidi();
        QElapsedTimer t;
        t.start();
        while (!p.playbin().midiSynthReady() && t.elapsed() < 10000)
            settle(10);
    }
    FirstBuffer fb;
    UiTime ui;
    for (auto _ : state) {
        ui.run([&] { p.setCommand(QStringLiteral("stop")); });
        ui.run([&] { p.setCommand(QStringLiteral("close")); });
        p.setFileName(soundPath(file));
        p.setDeviceType(QString::fromLatin1(type));
        if (warm) {
            ui.run([&] { p.setCommand(QStringLiteral("open")); });
            settle(300);
        }
        fb.arm(p.playbin());
        const auto t0 = std::chrono::steady_clock::now();
        if (!warm)
            ui.run([&] { p.setCommand(QStringLiteral("open")); });
        ui.run([&] { p.setCommand(QStringLiteral("play")); });
        if (!fb.wait()) {
            state.SkipWithError("no sound within 5 s");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(fb.at - t0).count());
        settle(20);
    }
    ui.run([&] { p.setCommand(QStringLiteral("close")); });
    ui.report(state);
}

void BM_Mp3Start(benchmark::State &state, bool warm) {
    GstMp3Player p(QStringLiteral("fakesink"));
    FirstBuffer fb;
    UiTime ui;
    for (auto _ : state) {
        ui.run([&] { p.Stop(); });
        if (warm) {
            ui.run([&] { p.Open(soundPath("song.mp3"), QString()); });
            settle(300);
        }
        fb.arm(p.playbin());
        const auto t0 = std::chrono::steady_clock::now();
        if (!warm)
            ui.run([&] { p.Open(soundPath("song.mp3"), QString()); });
        ui.run([&] { p.Play(); });
        if (!fb.wait()) {
            state.SkipWithError("no sound within 5 s");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(fb.at - t0).count());
        settle(20);
    }
    ui.run([&] { p.Stop(); });
    ui.report(state);
}

// Short plays one after another: WAV, MIDI (through the prepared synthesiser), MP3 and a file
// that fails, in turn. Each must end with its notice (MciDone, PlaybackEnded); lost counts the
// plays whose notice had not come 2 s after their sound's end. An iteration's time runs from
// the play command to the notice.
void BM_EveryPlayEnds(benchmark::State &state) {
    GstMciPlayer mci(QStringLiteral("fakesink"));
    GstMp3Player mp3(QStringLiteral("fakesink"));
    mci.prepareMidi();
    QElapsedTimer ready;
    ready.start();
    while (!mci.playbin().midiSynthReady() && ready.elapsed() < 10000)
        settle(10);
    // The program's own event loop, which sleeps until an event wakes it.
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    int notices = 0;
    const auto notice = [&] {
        ++notices;
        loop.quit();
    };
    QObject::connect(&mci, &MciPlayer::MciDone, notice);
    QObject::connect(&mp3, &Mp3Player::PlaybackEnded, notice);
    int plays = 0, lost = 0;
    for (auto _ : state) {
        // A play whose notice was lost still holds its player; cutting it off raises one, which
        // is not the next play's.
        mci.setCommand(QStringLiteral("stop"));
        mci.setCommand(QStringLiteral("close"));
        mp3.Stop();
        const int before = notices;
        const auto t0 = std::chrono::steady_clock::now();
        static const char *const files[] = {"short.wav", "short.mid", "short.mp3", "garbage.wav"};
        const QString file = soundPath(files[plays++ % 4]);
        if (file.endsWith(QLatin1String(".mp3"))) {
            mp3.Open(file, QString());
            mp3.Play();
        } else {
            mci.setFileName(file);
            mci.setCommand(QStringLiteral("open"));
            mci.setCommand(QStringLiteral("play"));
        }
        deadline.start(2200);
        if (notices == before)
            loop.exec();
        if (notices == before)
            ++lost;
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    state.counters["plays"] = plays;
    state.counters["lost"] = lost;
}

}  // namespace

BENCHMARK_CAPTURE(BM_MciStart, wav_open_play, "bell.wav", "WaveAudio", false)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK_CAPTURE(BM_MciStart, wav_play_opened, "bell.wav", "WaveAudio", true)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK_CAPTURE(BM_Mp3Start, mp3_open_play, false)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK_CAPTURE(BM_Mp3Start, mp3_play_opened, true)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK_CAPTURE(BM_MciStart, midi_open_play, "tune.mid", "Sequencer", false)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK_CAPTURE(BM_MciStart, midi_play_opened, "tune.mid", "Sequencer", true)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK_CAPTURE(BM_MciStart, midi_open_play_prepared, "tune.mid", "Sequencer", false, true)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK(BM_EveryPlayEnds)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1000);

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    g_dir = &dir;
    if (!TestSounds::writeWav(soundPath("bell.wav"), 1000) || !TestSounds::writeMidi(soundPath("tune.mid"), 1000) ||
        !TestSounds::writeMp3(soundPath("song.mp3"), 1000) || !TestSounds::writeWav(soundPath("short.wav"), 100) ||
        !TestSounds::writeMidi(soundPath("short.mid"), 100) || !TestSounds::writeMp3(soundPath("short.mp3"), 200) ||
        !TestSounds::writeGarbage(soundPath("garbage.wav"))) {
        std::fprintf(stderr, "cannot write the test sounds\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
