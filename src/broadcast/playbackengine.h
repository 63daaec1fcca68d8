// Starting the item the tick handed over, stopping it after its play length, and following
// the players' notifications.
#pragma once
#include "broadcast/playbackstate.h"
#include "broadcast/todaylist.h"
#include "core/asrunlog.h"

#include <QObject>
#include <functional>

class QLabel;
class Mp3Button;
class MciPlayer;
class Mp3Player;
class Timer;

struct EngineParts {
    MciPlayer *mci = nullptr;
    Mp3Player *mp3 = nullptr;
    Mp3Button *Command21 = nullptr;  // the MP3 play/stop button
    QLabel *Label27 = nullptr;
    Timer *Timer4 = nullptr;   // start delay
    Timer *Timer5 = nullptr;   // play-length counter
    Timer *Timer10 = nullptr;  // one second before an MP3 is opened
    Timer *Timer11 = nullptr;  // random music check
    // Sets the speaker to the scheduled volume and returns the value sent.
    std::function<int()> setScheduledVolume;
    AsRunLog *asRun = &AsRunLog::discard();  // every start and how it ended
};

class PlaybackEngine : public QObject {
    Q_OBJECT
public:
    PlaybackEngine(EngineParts parts, PlaybackState &state, const TodayList &list, QObject *parent = nullptr);

    // Timer4: the start delay has passed; plays the due item (an MP3 through Timer10) at the
    // scheduled volume, keeps its play length and lets the random music check again.
    void startDueItem();
    // Plays CurrentFile as every start of the program does, the scheduled one and the random
    // music's alike: an MP3 through Command21 a second later (Timer10), any other file at once
    // in the MCI player, which holds PlayerBusy until its MciDone. setVolume sets the volume
    // the file is heard at and returns it; kind says in the as-run log who started it.
    void startFile(const std::function<int()> &setVolume, asrun::Start kind);
    // Timer10: a second after an MP3 start, opens and plays CurrentFile through Command21.
    void playDelayedMp3();
    // Timer5: counts the play length and stops the item when it has passed.
    void countPlayLength();
    // Command21 pressed by the operator: stops the MP3 started through the button, or opens
    // and plays CurrentFile.
    void toggleMp3();
    // A command from elsewhere (a drill alarm): plays file in place of whatever plays, at the
    // scheduled volume and to its end, as startFile plays it (an MP3 a second later).
    void playNow(const QString &file, asrun::Start kind);
    // Stops whatever plays or is about to, as the players' stop buttons do; why names the
    // cause in the as-run log. True when something was playing.
    bool stopAll(const QString &why);

    void PlaybackStarted();
    void PlaybackEnded();
    void MciDone();
    void MciPlayPressed();

private:
    void toggleMp3(const QString &stopWhy, asrun::Start kind, int volume);
    void mciFinished(int notifyCode);
    void mp3Finished();
    // The as-run line of a start; a scheduled one names the item it plays.
    AsRunEntry startLine(asrun::Start kind, int volume) const;

    // What each player is playing, for the line that says how it ended.
    struct OnAir {
        QString file;
        bool active = false;
    };
    OnAir m_onMci, m_onMp3;
    // An MP3 is opened a second after its start was decided, at the volume set then.
    asrun::Start m_mp3Kind = asrun::Start::ByHand;
    int m_mp3Volume = -1;

    // PlayerBusy is set while either player holds a file: the end of a song in the one must
    // not free the players while an announcement still sounds in the other.
    void setBusy(bool &player, bool busy);

    // The scheduled item Timer5 counts the play length of.
    QString m_timedFile;

    EngineParts m_p;
    PlaybackState &m_state;
    const TodayList &m_list;
    bool m_mciBusy = false, m_mp3Busy = false;
};
