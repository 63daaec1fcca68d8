// The playback engine's timers and notifications.
#include "broadcast/playbackengine.h"

#include "broadcast/filetype.h"
#include "broadcast/mciplayer.h"
#include "broadcast/mp3button.h"
#include "broadcast/mp3player.h"
#include "broadcast/songlength.h"
#include "broadcast/statustexts.h"
#include "core/clock.h"

#include <QLabel>

PlaybackEngine::PlaybackEngine(EngineParts parts, PlaybackState &state, const TodayList &list, QObject *parent)
    : QObject(parent), m_p(std::move(parts)), m_state(state), m_list(list) {
    connect(m_p.Timer4, &Timer::timeout, this, &PlaybackEngine::startDueItem);                     // Timer4_Timer
    connect(m_p.Timer10, &Timer::timeout, this, &PlaybackEngine::playDelayedMp3);                  // Timer10_Timer
    connect(m_p.Timer5, &Timer::timeout, this, &PlaybackEngine::countPlayLength);                  // Timer5_Timer
    connect(m_p.Command21, &QPushButton::clicked, this, qOverload<>(&PlaybackEngine::toggleMp3));  // Command21_Click
    connect(m_p.mp3, &Mp3Player::PlaybackStarted, this, &PlaybackEngine::PlaybackStarted);
    connect(m_p.mp3, &Mp3Player::PlaybackEnded, this, &PlaybackEngine::PlaybackEnded);
    connect(m_p.mci, &MciPlayer::MciDone, this, &PlaybackEngine::MciDone);
    connect(m_p.mci, &MciPlayer::MciPlayPressed, this, &PlaybackEngine::MciPlayPressed);
    connect(m_p.mp3, &Mp3Player::PlaybackEnded, this, &PlaybackEngine::mp3Finished);
    connect(m_p.mci, &MciPlayer::MciDone, this, &PlaybackEngine::mciFinished);
}

void PlaybackEngine::startDueItem() {
    m_timedFile = m_state.CurrentFile;
    startFile(m_p.setScheduledVolume, asrun::Start::Scheduled);
    m_p.Timer4->setEnabled(false);
    m_state.PlayElapsed = 0;
    m_p.Timer5->setEnabled(true);
    m_p.Timer11->setEnabled(true);
}

void PlaybackEngine::startFile(const std::function<int()> &setVolume, asrun::Start kind) {
    const QString type = fileType(m_state.CurrentFile);
    if (type == QLatin1String("MP3")) {
        if (m_p.Command21->isPlaying())
            toggleMp3(asrun::byLaterStart(), kind, -1);  // stops the MP3 playing through it
        m_p.Timer10->setEnabled(true);
        m_state.SongLengthShown = 0;
        m_mp3Kind = kind;
        m_mp3Volume = setVolume();
        m_p.Command21->show();
        return;
    }
    // An MP3 start still waiting for its second is overtaken: the file now current is not
    // an MP3, and the MP3 player must not be handed it too.
    m_p.Timer10->setEnabled(false);
    const int volume = setVolume();
    {
        const AsRunLog::StopReason why(*m_p.asRun, asrun::byLaterStart());
        m_p.mci->setCommand(QStringLiteral("stop"));
        m_p.mci->setCommand(QStringLiteral("close"));
        m_p.mp3->Stop();
        m_p.mci->setFileName(m_state.CurrentFile);
        m_p.mci->setCommand(QStringLiteral("open"));
    }
    if (type == QLatin1String("WAV"))
        m_p.mci->setDeviceType(QStringLiteral("WaveAudio"));
    else if (type == QLatin1String("MID"))
        m_p.mci->setDeviceType(QStringLiteral("Sequencer"));
    // The file holds the players until it has finished: the player raises MciDone once for
    // every play, whether the file ended, was cut short or could not play, so the flag always
    // comes down again. Without it the random music would start over a bell six seconds in.
    // Set before "play", so a player that reports a failure at once still clears it.
    setBusy(m_mciBusy, true);
    m_p.asRun->record(startLine(kind, volume));
    m_onMci = {m_state.CurrentFile, true};
    m_p.mci->setCommand(QStringLiteral("play"));
    m_p.Command21->hide();
    m_p.Command21->setPlaying(false);
}

void PlaybackEngine::playDelayedMp3() {
    toggleMp3(asrun::byLaterStart(), m_mp3Kind, m_mp3Volume);
    m_mp3Kind = asrun::Start::ByHand;  // a later press of the button is the operator's
    m_mp3Volume = -1;
    m_p.Timer10->setEnabled(false);
}

void PlaybackEngine::toggleMp3() { toggleMp3(asrun::byOperator(), asrun::Start::ByHand, -1); }

void PlaybackEngine::toggleMp3(const QString &stopWhy, asrun::Start kind, int volume) {
    const AsRunLog::StopReason why(*m_p.asRun, stopWhy);
    if (m_p.Command21->isPlaying()) {
        m_p.mp3->Stop();
        m_p.Command21->setPlaying(false);
        return;
    }
    {
        const AsRunLog::StopReason cut(*m_p.asRun, asrun::byLaterStart());
        m_p.mp3->Open(m_state.CurrentFile, QString());
    }
    m_p.asRun->record(startLine(kind, volume));
    m_onMp3 = {m_state.CurrentFile, true};
    m_p.mp3->Play();
    m_p.Command21->setPlaying(true);
}

void PlaybackEngine::playNow(const QString &file, asrun::Start kind) {
    stopAll(asrun::byLaterStart());
    m_state.CurrentFile = file;
    startFile(m_p.setScheduledVolume, kind);
    // A fresh interval for the random music, as after a scheduled start: an MP3 holds the
    // players only once it plays, a second from now.
    if (m_p.Timer11->isEnabled()) {
        m_p.Timer11->setEnabled(false);
        m_p.Timer11->setEnabled(true);
    }
}

bool PlaybackEngine::stopAll(const QString &why) {
    const bool playing = m_state.PlayerBusy != 0 || m_p.Timer10->isEnabled();
    const AsRunLog::StopReason cause(*m_p.asRun, why);
    m_p.Timer10->setEnabled(false);  // an MP3 about to open
    m_p.Timer5->setEnabled(false);   // nothing left to count the length of
    m_p.mci->setCommand(QStringLiteral("stop"));
    m_p.mp3->Stop();
    m_p.Command21->setPlaying(false);
    return playing;
}

AsRunEntry PlaybackEngine::startLine(asrun::Start kind, int volume) const {
    const TodayItem *item = kind == asrun::Start::Scheduled ? m_list.item(m_state.CurrentItem) : nullptr;
    return asrun::started(kind, m_state.CurrentFile, volume, item ? item->ItemName : QString(),
                          item ? item->StartTime : -1);
}

void PlaybackEngine::countPlayLength() {
    if (m_state.CurrentPlayLength == 0) {
        m_p.Timer5->setEnabled(false);
        return;
    }
    m_state.PlayElapsed += 1;
    if (m_state.PlayElapsed <= m_state.CurrentPlayLength)
        return;
    const AsRunLog::StopReason why(*m_p.asRun, asrun::afterPlayLength());
    // The item counted for, which a click on a row that prepares nothing leaves sounding
    // though the row's file has become current.
    if (fileType(m_timedFile) == QLatin1String("MP3")) {
        m_p.mp3->Stop();
    } else {
        m_p.mci->setCommand(QStringLiteral("stop"));
        m_p.mci->setCommand(QStringLiteral("close"));
    }
    m_p.Timer5->setEnabled(false);
    m_state.PlayElapsed = 0;
}

void PlaybackEngine::PlaybackStarted() {
    if (m_state.SongLengthShown != 0) {
        setBusy(m_mp3Busy, true);
        return;
    }
    const double duration = m_p.mp3->DurationUnits() * m_p.mp3->UnitMs() / 1000.0;
    // The line speaks of the item the song belongs to; a song without one (a random song
    // before any item was started) shows midnight and "播完".
    const TodayItem *item = m_list.item(m_state.CurrentItem);
    m_p.Label27->setText(statustexts::startSongAndLength(item ? item->StartTime : 0, songLengthSeconds(duration),
                                                         item ? item->PlayLength : 0));
    m_state.SongLengthShown = 1;
    setBusy(m_mp3Busy, true);
}

void PlaybackEngine::PlaybackEnded() { setBusy(m_mp3Busy, false); }
void PlaybackEngine::MciDone() { setBusy(m_mciBusy, false); }
void PlaybackEngine::MciPlayPressed() {
    setBusy(m_mciBusy, true);
    if (m_onMci.active)
        return;  // a paused file goes on
    m_onMci = {m_p.mci->fileName(), true};
    m_p.asRun->record(asrun::started(asrun::Start::ByHand, m_onMci.file, -1));
}

void PlaybackEngine::mciFinished(int notifyCode) {
    if (!m_onMci.active)
        return;
    m_onMci.active = false;
    AsRunLog &log = *m_p.asRun;
    if (notifyCode == 1)
        log.record(asrun::playedToEnd(m_onMci.file));
    else if (notifyCode == 8)
        log.record(asrun::couldNotPlay(m_onMci.file, m_p.mci->playFailure()));
    else
        log.record(asrun::cut(m_onMci.file, log.stopReason().isEmpty() ? asrun::byOperator() : log.stopReason()));
}

void PlaybackEngine::mp3Finished() {
    if (!m_onMp3.active)
        return;
    m_onMp3.active = false;
    AsRunLog &log = *m_p.asRun;
    if (const QString failure = m_p.mp3->playFailure(); !failure.isEmpty())
        log.record(asrun::couldNotPlay(m_onMp3.file, failure));
    else if (!log.stopReason().isEmpty())
        log.record(asrun::cut(m_onMp3.file, log.stopReason()));
    else
        log.record(asrun::playedToEnd(m_onMp3.file));
}

void PlaybackEngine::setBusy(bool &player, bool busy) {
    player = busy;
    m_state.PlayerBusy = m_mciBusy || m_mp3Busy ? 1 : 0;
}
