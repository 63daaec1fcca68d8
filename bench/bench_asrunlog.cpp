// How long a line of the as-run log holds the thread that records it (the tick, a start), on the
// real daily file: the mean and, since a late bell is one late bell, the worst and the 99th
// percentile; how long the journal's sender spends on a line; and how long the look at a day's
// sound files takes on the watch's thread.
#include "benchsupport.h"
#include "core/asrunlogfile.h"
#include "core/asrunlogjournal.h"
#include "core/clock.h"
#include "core/soundfilecheck.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

const AsRunEntry Line{QStringLiteral("start"),
                      QStringLiteral("开始播放 定时 /srv/广播/声音/第一节上课铃.wav 音量 49152"),
                      QStringLiteral("第一节"),
                      QStringLiteral("/srv/广播/声音/第一节上课铃.wav"),
                      8 * 3600,
                      49152};

void report(benchmark::State &state, std::vector<double> &us) {
    if (us.empty())
        return;
    std::sort(us.begin(), us.end());
    state.counters["p99_us"] = us[us.size() * 99 / 100];
    state.counters["max_us"] = us.back();
    // How many of them went over the few hundred microseconds a tick may spare.
    state.counters["over_300us"] = double(us.end() - std::upper_bound(us.begin(), us.end(), 300.0));
}

// Lines as fast as the loop can record them, each timed on the calling thread.
void recordAsFastAsPossible(benchmark::State &state, AsRunLogFile &log) {
    std::vector<double> us;
    us.reserve(1 << 20);
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        log.record(Line);
        us.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
    }
    log.flush();
    report(state, us);
}

// Lines as fast as the loop can record them: the worker writes while the next are queued, so
// each record() meets it holding the queue as often as it ever will.
void BM_RecordBurst(benchmark::State &state) {
    QTemporaryDir dir;
    RealClock clock;
    AsRunLogFile log(dir.filePath("logs"), clock);
    recordAsFastAsPossible(state, log);
}
BENCHMARK(BM_RecordBurst)->Unit(benchmark::kMicrosecond)->UseRealTime()->MinTime(0.5);

// A line now and then, as on air (a few a minute): the worker is asleep and must be woken.
void BM_RecordAlone(benchmark::State &state) {
    QTemporaryDir dir;
    RealClock clock;
    AsRunLogFile log(dir.filePath("logs"), clock);
    std::vector<double> us;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        log.record(Line);
        us.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
        state.PauseTiming();
        log.flush();  // written before the next line comes
        state.ResumeTiming();
    }
    report(state, us);
}
BENCHMARK(BM_RecordAlone)->Unit(benchmark::kMicrosecond)->UseRealTime()->Iterations(2000);

// A log that cannot be written (a file where its folder should be): each batch fails.
void BM_RecordUnwritable(benchmark::State &state) {
    QTemporaryDir dir;
    QFile blocker(dir.filePath("logs"));
    must(blocker.open(QIODevice::WriteOnly) ? Result::success() : Result::failure(blocker.errorString()));
    RealClock clock;
    AsRunLogFile log(dir.filePath("logs"), clock);
    recordAsFastAsPossible(state, log);
}
BENCHMARK(BM_RecordUnwritable)->Unit(benchmark::kMicrosecond)->UseRealTime()->MinTime(0.5);

// An entry handed to the journal's sender and sent, one at a time: what the sender's thread
// spends on each. Where no journal runs (no /run/systemd/journal/socket), each is refused.
void BM_JournalSend(benchmark::State &state) {
    AsRunLogJournal journal(QStringLiteral("/srv/broadcast/"));
    for (auto _ : state) {
        journal.record(Line);
        journal.flush();
    }
    state.counters["lost"] = journal.entriesLost();
}
BENCHMARK(BM_JournalSend)->Unit(benchmark::kMicrosecond)->UseRealTime()->Iterations(2000);

// The two readings of the clock around nothing, on the same thread: what the machine alone (another
// process taking the core, an interrupt) adds to the worst figures above.
void BM_NothingMeasured(benchmark::State &state) {
    std::vector<double> us;
    us.reserve(1 << 20);
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        benchmark::ClobberMemory();
        us.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
    }
    report(state, us);
}
BENCHMARK(BM_NothingMeasured)->Unit(benchmark::kMicrosecond)->UseRealTime()->MinTime(0.5);

// The look at a full day's list of 1000 files, half of them missing.
void BM_CheckThousandFiles(benchmark::State &state) {
    QTemporaryDir dir;
    QStringList paths;
    for (int i = 0; i < 1000; ++i) {
        paths << dir.filePath(QStringLiteral("%1.wav").arg(i));
        if (i % 2 == 0) {
            QFile f(paths.last());
            must(f.open(QIODevice::WriteOnly) ? Result::success() : Result::failure(f.errorString()));
            f.write(QByteArray("RIFF\x24\0\0\0WAVEfmt ", 16));
        }
    }
    for (auto _ : state) {
        int bad = 0;
        for (const QString &p : paths)
            bad += soundfilecheck::problem(p).isEmpty() ? 0 : 1;
        benchmark::DoNotOptimize(bad);
    }
}
BENCHMARK(BM_CheckThousandFiles)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char **argv) { return runBenchmarks(argc, argv); }
