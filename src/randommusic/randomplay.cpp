// The random music check.
#include "randommusic/randomplay.h"

#include "broadcast/playbackengine.h"
#include "broadcast/playbackstate.h"
#include "core/clock.h"
#include "randommusic/musicrules.h"

#include <QLabel>

RandomPlay::RandomPlay(RandomPlayParts parts, MusicLibraries &libraries, PlaybackState &state, QObject *parent)
    : QObject(parent), m_p(std::move(parts)), m_libraries(libraries), m_state(state) {
    connect(m_p.Timer11, &Timer::timeout, this, &RandomPlay::tick);  // Timer11_Timer
}

double RandomPlay::draw() {
    return double(m_random() >> 11) * 0x1.0p-53;  // 53 random bits: 0 ≤ r < 1
}

void RandomPlay::tick() {
    if (m_state.PlayerBusy == 1)
        return;
    const QDateTime now = m_p.clock->now();
    // Reseeded from the time of day, to the millisecond, at every check that gets this far.
    m_random.seed(quint64(now.time().msecsSinceStartOfDay()));
    const int seconds = now.time().msecsSinceStartOfDay() / 1000;
    const int weekday = now.date().dayOfWeek() % 7 + 1;  // 1 = Sunday … 7 = Saturday

    for (int L = 0; L < MusicLibraries::Count; ++L) {
        MusicLibrary &library = m_libraries.library[L];
        if (!musicrules::hasWindow(library.groups))
            continue;
        const int g = musicrules::openGroup(library.groups, seconds, weekday);
        if (g == 0 || library.songCount() == 0)
            continue;
        const int k = musicrules::pickSong(library, m_libraries.PlayHistoryCount, [this] { return draw(); });
        m_state.CurrentFile = library.songs().at(k);
        m_p.Label26->setText(musicrules::playingText(m_state.CurrentFile));
        const int slider = musicrules::volumeSlider(L, g);
        m_p.engine->startFile([this, slider] { return m_p.setGroupVolume(slider); }, asrun::Start::Random);
        // A random song has no time limit: the zero length switches Timer5 off at its next tick.
        m_p.Timer4->setEnabled(false);
        m_state.PlayElapsed = 0;
        m_state.CurrentPlayLength = 0;
        m_p.Timer5->setEnabled(true);
    }
}
