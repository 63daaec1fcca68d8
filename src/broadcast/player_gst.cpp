// The WAV/MIDI and MP3 players on GStreamer playbin, and the factories that make them.
#include "broadcast/player_gst.h"

std::unique_ptr<MciPlayer> makeGstMciPlayer(const QString &audioSink) {
    return std::make_unique<GstMciPlayer>(audioSink);
}

std::unique_ptr<Mp3Player> makeGstMp3Player(const QString &audioSink) {
    return std::make_unique<GstMp3Player>(audioSink);
}

// ---- GstMciPlayer ----

GstMciPlayer::GstMciPlayer(const QString &audioSink, QObject *parent) : MciPlayer(parent), m_playbin(audioSink) {
    connect(&m_playbin, &GstPlaybin::endOfStream, this, [this] {
        m_playbin.rewind();  // so that another "play" starts the file again
        if (m_playing)
            finish(NotifySuccessful);
    });
    connect(&m_playbin, &GstPlaybin::failed, this, [this](const QString &message) {
        if (m_playing)
            finish(NotifyFailure, message);
    });
}

void GstMciPlayer::setCommand(const QString &command) {
    const QString c = command.trimmed().toLower();
    if (c == QLatin1String("open")) {
        if (m_playing)
            finish(NotifyAborted);
        m_open = true;
        m_playbin.load(m_fileName);  // a failure shows when the file is played
    } else if (c == QLatin1String("play")) {
        startPlaying();
    } else if (c == QLatin1String("pause")) {
        if (m_playing)
            m_playbin.pause();
    } else if (c == QLatin1String("stop")) {
        m_playbin.rewind();
        if (m_playing)
            finish(NotifyAborted);
    } else if (c == QLatin1String("close")) {
        m_playbin.unload();
        m_open = false;
        if (m_playing)
            finish(NotifyAborted);
    }
}

void GstMciPlayer::startPlaying() {
    if (m_playing) {  // resume after "pause"; this play goes on
        m_playbin.play();
        return;
    }
    m_playing = true;
    m_failure.clear();
    const quint64 run = ++m_run;
    if (!m_open || !m_playbin.isLoaded() || m_playbin.hasFailed()) {
        const QString why = !m_open ? QStringLiteral("nothing opened") : m_playbin.failure();
        // Reported from the event loop, as a decoding failure would be, so the caller's own
        // sequence of commands completes before it hears of the failure.
        QMetaObject::invokeMethod(
            this,
            [this, run, why] {
                if (m_playing && m_run == run)
                    finish(NotifyFailure, why);
            },
            Qt::QueuedConnection);
        return;
    }
    m_playbin.play();
}

void GstMciPlayer::finish(int code, const QString &failure) {
    m_failure = failure;
    m_playing = false;
    ++m_run;
    emit MciDone(code);
}

// ---- GstMp3Player ----

GstMp3Player::GstMp3Player(const QString &audioSink, QObject *parent) : Mp3Player(parent), m_playbin(audioSink) {
    m_durationWait.setSingleShot(true);
    m_durationWait.setInterval(1000);
    connect(&m_durationWait, &QTimer::timeout, this, [this] { tryAnnounceStart(false); });
    connect(&m_playbin, &GstPlaybin::reachedPlaying, this, [this] {
        tryAnnounceStart(true);
        if (m_playing && !m_started)
            m_durationWait.start();
    });
    connect(&m_playbin, &GstPlaybin::durationKnown, this, [this] {
        if (m_playbin.isPlaying())
            tryAnnounceStart(true);
    });
    connect(&m_playbin, &GstPlaybin::endOfStream, this, [this] {
        m_playbin.rewind();
        if (m_playing)
            finish();
    });
    connect(&m_playbin, &GstPlaybin::failed, this, [this](const QString &message) {
        if (m_playing)
            finish(message);
    });
}

int GstMp3Player::Open(const QString &path, const QString &) {
    if (m_playing) {
        m_playbin.rewind();
        finish();
    }
    m_durationMs = 0;
    if (m_playbin.load(path))
        return OpenOk;
    return m_playbin.sinkReady() ? OpenNoFile : OpenNoOutput;
}

void GstMp3Player::Play() {
    if (m_playing)
        return;
    m_playing = true;
    m_started = false;
    const quint64 run = ++m_run;
    if (!m_playbin.isLoaded() || m_playbin.hasFailed()) {
        QString why = m_playbin.failure();
        if (why.isEmpty())
            why = QStringLiteral("nothing opened");
        QMetaObject::invokeMethod(
            this,
            [this, run, why] {
                if (m_playing && m_run == run)
                    finish(why);
            },
            Qt::QueuedConnection);
        return;
    }
    m_playbin.play();
}

void GstMp3Player::Stop() {
    m_playbin.rewind();
    if (m_playing)
        finish();
}

void GstMp3Player::tryAnnounceStart(bool durationRequired) {
    if (!m_playing || m_started)
        return;
    const std::optional<qint64> d = m_playbin.durationMs();
    if (!d && durationRequired)
        return;
    m_durationWait.stop();
    m_durationMs = d.value_or(0);
    m_started = true;
    emit PlaybackStarted(0);
}

void GstMp3Player::finish(const QString &failure) {
    m_failure = failure;
    m_durationWait.stop();
    m_playing = false;
    ++m_run;
    emit PlaybackEnded();
}
