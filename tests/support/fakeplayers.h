// Fakes of the two players: they record what the program asked of them.
#pragma once
#include "broadcast/mciplayer.h"
#include "broadcast/mp3player.h"

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
    void setCommand(const QString &command) override { record(command); }
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
    QString m_file, m_type;
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
