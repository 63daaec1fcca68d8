// The two players on GStreamer playbin, sounding through the named audio sink element
// ("autoaudiosink" for the loudspeakers, "fakesink" in tests).
#pragma once
#include "broadcast/gstplaybin.h"
#include "broadcast/mciplayer.h"
#include "broadcast/mp3player.h"

#include <QTimer>
#include <memory>

std::unique_ptr<MciPlayer> makeGstMciPlayer(const QString &audioSink);
std::unique_ptr<Mp3Player> makeGstMp3Player(const QString &audioSink);

// The WAV and MIDI player. The file's content decides how it is decoded (WAV through
// wavparse, MIDI through midiparse and fluidsynth with the General MIDI soundfont); the device
// type is only remembered.
//
// Commands (case does not matter; anything else is ignored):
//   "open"           loads the file name and prerolls it; a file that cannot be read is
//                    remembered as unplayable.
//   "play"           plays from where the file stands (the start, or where "pause" left it).
//   "pause"          holds playback; "play" resumes it.
//   "stop"           stops and goes back to the start; the file stays open.
//   "close", "Close" stop and release the file.
//
// MciDone is raised exactly once for every "play" that starts playback (a "play" while already
// playing or paused only resumes, and starts nothing new), with the code of how it finished:
//   NotifySuccessful  the file played to its end;
//   NotifyAborted     "stop", "close" or another "open" cut it short (raised before the
//                     command returns);
//   NotifyFailure     the file is missing, cannot be decoded, nothing was opened, or the audio
//                     output failed (raised from the event loop, never inside "play" itself).
// Nothing else raises it: "open", "pause", or "stop" with nothing playing stay silent.
// MciPlayPressed belongs to the on-screen control's own play button and is never raised here.
class GstMciPlayer : public MciPlayer {
    Q_OBJECT
public:
    enum NotifyCode { NotifySuccessful = 1, NotifySuperseded = 2, NotifyAborted = 4, NotifyFailure = 8 };

    explicit GstMciPlayer(const QString &audioSink, QObject *parent = nullptr);

    // Makes GStreamer ready in the background (GstPlaybin::prepareInBackground).
    void prepare() { m_playbin.prepareInBackground(false); }
    // Makes a MIDI synthesiser ready in the background as well, its soundfont loaded. It takes
    // a few megabytes of samples and voices, so it is made when a MIDI file is about to play,
    // not at start-up; once made it stays for the MIDI files after.
    void prepareMidi() { m_playbin.prepareInBackground(true); }

    void setCommand(const QString &command) override;
    void setFileName(const QString &path) override { m_fileName = path; }
    QString fileName() const override { return m_fileName; }
    void setDeviceType(const QString &type) override { m_deviceType = type; }
    QString deviceType() const override { return m_deviceType; }
    QString playFailure() const override { return m_failure; }

    GstPlaybin &playbin() { return m_playbin; }

private:
    void startPlaying();
    void finish(int code, const QString &failure = QString());

    GstPlaybin m_playbin;
    QString m_fileName, m_deviceType;
    QString m_failure;  // why the last play could not play
    bool m_open = false;
    bool m_playing = false;  // a "play" is under way (possibly paused) and owes its MciDone
    quint64 m_run = 0;       // counts plays, so a late failure report cannot end a newer one
};

// The MP3 player (it plays whatever playbin can decode).
//
// Open returns 0 when the file was taken, OpenNoFile when it does not exist or cannot be read,
// OpenNoOutput when the audio sink could not be made. Every Play that starts playback ends in
// exactly one PlaybackEnded: at the end of the file, when Stop or another Open cuts it short
// (raised before that call returns), and when it cannot play at all (missing or undecodable
// file, no audio output; raised from the event loop), so whoever sets a busy flag on
// PlaybackStarted is never left busy. PlaybackStarted comes once per Play, when sound has begun
// and the duration is known (or, should the file never tell its duration, a second after sound
// began, with a duration of 0); a file that fails never raises it.
// The duration is given in milliseconds: DurationUnits() = milliseconds, UnitMs() = 1.
class GstMp3Player : public Mp3Player {
    Q_OBJECT
public:
    enum OpenStatus { OpenOk = 0, OpenNoFile = 1, OpenNoOutput = 2 };

    explicit GstMp3Player(const QString &audioSink, QObject *parent = nullptr);

    // Makes GStreamer ready in the background (GstPlaybin::prepareInBackground).
    void prepare() { m_playbin.prepareInBackground(false); }

    int Open(const QString &path, const QString &options) override;
    void Play() override;
    void Stop() override;
    double DurationUnits() const override { return static_cast<double>(m_durationMs); }
    int UnitMs() const override { return 1; }
    QString playFailure() const override { return m_failure; }

    GstPlaybin &playbin() { return m_playbin; }

private:
    void tryAnnounceStart(bool durationRequired);
    void finish(const QString &failure = QString());

    GstPlaybin m_playbin;
    QTimer m_durationWait;
    qint64 m_durationMs = 0;
    QString m_failure;       // why the last Play could not play
    bool m_playing = false;  // a Play is under way and owes its PlaybackEnded
    bool m_started = false;  // PlaybackStarted has been raised for it
    quint64 m_run = 0;
};
