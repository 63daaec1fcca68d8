// The player of WAV and MIDI files, driven by command strings like a media control.
#pragma once
#include <QObject>
#include <QString>

// Commands: "open" (the file name, as the device type says), "play", "pause", "stop"
// (back to the start, the file stays open), "close", and "Close" at exit.
class MciPlayer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~MciPlayer() override = default;

    virtual void setCommand(const QString &command) = 0;
    virtual void setFileName(const QString &path) = 0;
    virtual QString fileName() const = 0;
    // "WaveAudio" or "Sequencer".
    virtual void setDeviceType(const QString &type) = 0;
    virtual QString deviceType() const = 0;
    // Why the play that has just finished with 8 could not play, in the player's words; read
    // in the handler of that MciDone. Empty when the player cannot tell.
    virtual QString playFailure() const { return {}; }

signals:
    // Playback started by "play" has finished: the file ended (1), "stop", "close" or a new
    // "open" cut it short (4), or it could not be played at all (8). Raised once per such play.
    void MciDone(int notifyCode);
    // The control's own play button was pressed.
    void MciPlayPressed(int cancel);
};
