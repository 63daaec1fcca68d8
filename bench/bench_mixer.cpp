// How long a volume change holds the UI thread on the real ALSA mixer (card "default"), and how long it takes to reach
// the card.
#include "volume/clsvolume.h"
#include "volume/mixer_alsa.h"
#include "volume/volumeposition.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

namespace {

bool openOrSkip(clsVolume &volume, benchmark::State &state) {
    volume.meOpenMixer();
    if (volume.prMixerErr() == 0)
        return true;
    state.SkipWithError("no mixer on card \"default\"");
    return false;
}

// One slider step, as the volume dialog sends it while the operator drags.
void BM_SliderChange(benchmark::State &state) {
    auto mixer = makeAlsaMixer();
    clsVolume volume(mixer.get(), nullptr);
    if (!openOrSkip(volume, state))
        return;
    int position = 0;
    for (auto _ : state) {
        volume.prSpeakerVolume(VolumeForPosition(position));
        position = (position + 97) % 32768;
    }
    volume.meSettle(1000);
}
BENCHMARK(BM_SliderChange)->Unit(benchmark::kMicrosecond)->UseRealTime()->MinTime(0.5);

// A change followed by the wait the playback engine makes before a bell starts.
void BM_ChangeAndSettle(benchmark::State &state) {
    auto mixer = makeAlsaMixer();
    clsVolume volume(mixer.get(), nullptr);
    if (!openOrSkip(volume, state))
        return;
    int position = 0;
    for (auto _ : state) {
        volume.prSpeakerVolume(VolumeForPosition(position));
        if (!volume.meSettle(1000))
            state.SkipWithError("the value did not reach the card within 1 s");
        position = (position + 97) % 32768;
    }
}
BENCHMARK(BM_ChangeAndSettle)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5);

// Opening the mixer at start-up: the slider ranges come from it.
void BM_OpenMixer(benchmark::State &state) {
    for (auto _ : state) {
        auto mixer = makeAlsaMixer();
        if (!mixer->open())
            state.SkipWithError("no mixer on card \"default\"");
    }
}
BENCHMARK(BM_OpenMixer)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
