// Starting the item the tick handed over, stopping it after its play length, and following
// the players' notifications.
#pragma once
#include "broadcast/playbackstate.h"
#include "broadcast/todaylist.h"

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
    std::function<void()> setScheduledVolume;
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
    // the file is heard at.
    void startFile(const std::function<void()> &setVolume);
    // Timer10: a second after an MP3 start, opens and plays CurrentFile through Command21.
    void playDelayedMp3();
    // Timer5: counts the play length and stops the item when it has passed.
    void countPlayLength();
    // Command21: stops the MP3 started through the button, or opens and plays CurrentFile.
    void toggleMp3();

    void PlaybackStarted();
    void PlaybackEnded();
    void MciDone();
    void MciPlayPressed();

private:
    // PlayerBusy is set while either player holds a file: the end of a song in the one must
    // not free the players while an announcement still sounds in the other.
    void setBusy(bool &player, bool busy);

    EngineParts m_p;
    PlaybackState &m_state;
    const TodayList &m_list;
    bool m_mciBusy = false, m_mp3Busy = false;
};
