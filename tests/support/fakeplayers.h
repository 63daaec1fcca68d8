// Fakes of the two players: they record what the program asked of them.
#pragma once
#include "broadcast/mciplayer.h"
#include "broadcast/mp3player.h"

#include <QHash>
#include <QStringList>
#include <functional>

// Every entry a fake logs is also passed here, so a test can keep one timeline of both players.
using RecordHook = std::function<void(const QString &entry)>;

// What a fake player does with the next play it is asked for, once it reports at all.
enum class FakePlay {
    Plays,         // sounds until finishPlaying() or a command cuts it short, and says so
    FailsToOpen,   // says at once that it could not play
    NeverReports,  // sounds like Plays, but never says a word about it
};

class FakeMciPlayer : public MciPlayer {
    Q_OBJECT
public:
    // "stop", "close", "file=<path>", "type=WaveAudio", "open", "play", "Close".
    QStringList log;
    RecordHook onRecord;
    // When set, it raises MciDone as the real player does: once for every "play", with 4 when
    // "stop", "close" or "open" cuts it short, and with finishPlaying()'s code when it ends.
    bool reportsDone = false;
    // With reportsDone: a "play" of one of these files fails at once, MciDone(8), for this reason.
    QHash<QString, QString> failures;
    QString playFailure() const override { return m_failure; }
    FakePlay nextPlay = FakePlay::Plays;  // taken by each "play" (onRecord may set it first)
    bool playing() const { return m_playing; }
    QString playingFile() const { return m_playing ? m_file : QString(); }
    void finishPlaying(int notifyCode = 1) {
        if (m_playing) {
            m_playing = false;
            if (!m_silent)
                emit MciDone(notifyCode);
        }
    }
    void setCommand(const QString &command) override {
        record(command);
        if (!reportsDone)
            return;
        if (command == QLatin1String("play")) {
            finishPlaying(4);  // a play of its own ends the one before
            m_failure = failures.value(m_file);
            if (nextPlay == FakePlay::FailsToOpen || !m_failure.isEmpty()) {
                emit MciDone(8);
                return;
            }
            m_playing = true;
            m_silent = nextPlay == FakePlay::NeverReports;
        } else if (command == QLatin1String("stop") || command == QLatin1String("close") ||
                   command == QLatin1String("open")) {
            finishPlaying(4);
        }
    }
    void setFileName(const QString &path) override {
        m_file = path;
        record(QStringLiteral("file=") + path);
    }
    QString fileName() const override { return m_file; }
    void setDeviceType(const QString &type) override {
        m_type = type;
        record(QStringLiteral("type=") + type);
    }
    QString deviceType() const override { return m_type; }

private:
    void record(const QString &entry) {
        log << entry;
        if (onRecord)
            onRecord(QStringLiteral("mci ") + entry);
    }
    QString m_file, m_type, m_failure;
    bool m_playing = false;
    bool m_silent = false;
};

class FakeMp3Player : public Mp3Player {
    Q_OBJECT
public:
    // "Open=<path>", "Play", "Stop".
    QStringList log;
    RecordHook onRecord;
    double units = 0;
    int unitMs = 1;
    // When set, it reports as the real player does: PlaybackStarted once the sound has begun
    // (reportStarted(), as that comes a moment after Play), PlaybackEnded once for every Play,
    // when finishPlaying() ends it, Stop or a new Open cuts it short, or it could not play.
    bool reportsDone = false;
    FakePlay nextPlay = FakePlay::Plays;  // taken by each Play (onRecord may set it first)
    bool playing() const { return m_playing; }
    QString playingFile() const { return m_playing ? m_file : QString(); }
    void reportStarted() {
        if (m_playing && !m_started && !m_silent) {
            m_started = true;
            emit PlaybackStarted(0);
        }
    }
    void finishPlaying() {
        if (m_playing) {
            m_playing = false;
            if (!m_silent)
                emit PlaybackEnded();
        }
    }
    int Open(const QString &path, const QString &) override {
        record(QStringLiteral("Open=") + path);
        finishPlaying();
        m_file = path;
        return 0;
    }
    void Play() override {
        record(QStringLiteral("Play"));
        if (!reportsDone)
            return;
        finishPlaying();
        if (nextPlay == FakePlay::FailsToOpen) {
            emit PlaybackEnded();
            return;
        }
        m_playing = true;
        m_started = false;
        m_silent = nextPlay == FakePlay::NeverReports;
    }
    void Stop() override {
        record(QStringLiteral("Stop"));
        finishPlaying();
    }
    double DurationUnits() const override { return units; }
    int UnitMs() const override { return unitMs; }

private:
    void record(const QString &entry) {
        log << entry;
        if (onRecord)
            onRecord(QStringLiteral("mp3 ") + entry);
    }
    QString m_file;
    bool m_playing = false, m_started = false, m_silent = false;
};
