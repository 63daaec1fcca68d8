// The player of MP3 files.
#pragma once
#include <QObject>
#include <QString>

class Mp3Player : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~Mp3Player() override = default;

    // Opens a file for the next Play; the status (0 = opened) is informative only.
    virtual int Open(const QString &path, const QString &options) = 0;
    virtual void Play() = 0;
    // Also harmless when nothing plays.
    virtual void Stop() = 0;
    // The duration of the song once it has started: DurationUnits() × UnitMs() / 1000 is
    // the length in seconds.
    virtual double DurationUnits() const = 0;
    virtual int UnitMs() const = 0;
    // Why the Play that has just ended could not play at all, in the player's words; empty
    // when it played (to its end, or until Stop or Open cut it short). Read in the handler of
    // PlaybackEnded.
    virtual QString playFailure() const { return {}; }

signals:
    // Sound has begun and the duration is known; once per Play.
    void PlaybackStarted(int reserved);
    // The Play is over: the file ended, Stop or a new Open cut it short, or it could not be
    // played at all. Once per Play, so a busy flag set on PlaybackStarted is always cleared.
    void PlaybackEnded();
};
