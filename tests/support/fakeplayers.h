// Fakes of the two players: they record what the program asked of them.
#pragma once
#include "broadcast/mciplayer.h"
#include "broadcast/mp3player.h"

#include <QHash>
#include <QStringList>
#include <functional>

// Every entry a fake logs is also passed here, so a test can keep one timeline of both players.
using RecordHook = std::function<void(const QString &entry)>;

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
    bool playing() const { return m_playing; }
    void finishPlaying(int notifyCode = 1) {
        if (m_playing) {
            m_playing = false;
            emit MciDone(notifyCode);
        }
    }
    void setCommand(const QString &command) override {
        record(command);
        if (!reportsDone)
            return;
        if (command == QLatin1String("play")) {
            m_playing = true;
            m_failure = failures.value(m_file);
            if (!m_failure.isEmpty())
                finishPlaying(8);
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
};

class FakeMp3Player : public Mp3Player {
    Q_OBJECT
public:
    // "Open=<path>", "Play", "Stop".
    QStringList log;
    RecordHook onRecord;
    double units = 0;
    int unitMs = 1;
    int Open(const QString &path, const QString &) override {
        record(QStringLiteral("Open=") + path);
        return 0;
    }
    void Play() override { record(QStringLiteral("Play")); }
    void Stop() override { record(QStringLiteral("Stop")); }
    double DurationUnits() const override { return units; }
    int UnitMs() const override { return unitMs; }

private:
    void record(const QString &entry) {
        log << entry;
        if (onRecord)
            onRecord(QStringLiteral("mp3 ") + entry);
    }
};
