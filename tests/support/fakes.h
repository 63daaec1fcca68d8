// Fakes of the platform services: they record what the program asked of them.
#pragma once
#include "ui/services.h"

#include <QQueue>
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

class FakeMixer : public MixerDevice {
public:
    bool opens = true;
    Line speakerLine{true, 0, 65535};
    Line micLine{true, 0, 65535};
    bool accept = true;
    QList<long> speakerWrites, micWrites;
    int openCalls = 0;
    int failCode = -19;  // what a failed open reports, like ALSA's -ENODEV
    bool open() override {
        ++openCalls;
        return opens;
    }
    int openError() const override { return opens ? 0 : failCode; }
    Line speaker() const override { return speakerLine; }
    Line microphone() const override { return micLine; }
    std::function<void(long)> onSpeaker;
    bool setSpeaker(long v) override {
        speakerWrites << v;
        if (onSpeaker)
            onSpeaker(v);
        return accept;
    }
    bool setMicrophone(long v) override {
        micWrites << v;
        return accept;
    }
    // Writes are recorded at once, so there is never anything to wait for: settle() only
    // counts the waits asked for and answers `settled`.
    int settleCalls = 0;
    bool settled = true;
    bool settle(int) override {
        ++settleCalls;
        return settled;
    }
};

class FakeShutdown : public ShutdownRequester {
public:
    int requests = 0;
    bool requestPowerOff() override {
        ++requests;
        return true;
    }
};

class FakeDialogs : public Dialogs {
public:
    struct Shown {
        QString text, title;
        Buttons buttons;
        Icon icon;
        Answer defaultAnswer;
    };
    QList<Shown> messages;
    QList<FileRequest> fileRequests;
    QQueue<Answer> answers;                     // an empty queue answers the default
    QQueue<std::optional<QString>> chosenFiles;  // an empty queue cancels
    QQueue<std::optional<QStringList>> chosenFileLists;

    Answer message(QWidget *, const QString &text, Buttons buttons, Icon icon, const QString &title,
                   Answer defaultAnswer) override {
        messages.append({text, title.isEmpty() ? applicationTitle() : title, buttons, icon, defaultAnswer});
        return answers.isEmpty() ? defaultAnswer : answers.dequeue();
    }
    std::optional<QString> openFile(QWidget *, const FileRequest &r) override { return pick(r); }
    std::optional<QString> saveFile(QWidget *, const FileRequest &r) override { return pick(r); }
    std::optional<QStringList> openFiles(QWidget *, const FileRequest &r) override {
        fileRequests << r;
        return chosenFileLists.isEmpty() ? std::nullopt : chosenFileLists.dequeue();
    }

private:
    std::optional<QString> pick(const FileRequest &r) {
        fileRequests << r;
        return chosenFiles.isEmpty() ? std::nullopt : chosenFiles.dequeue();
    }
};
