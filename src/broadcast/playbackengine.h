// Starting the item the tick handed over, stopping it after its play length, and following
// the players' notifications.
#pragma once
#include "broadcast/playbackstate.h"
#include "broadcast/todaylist.h"

#include <QObject>
#include <functional>

class QLabel;
class QPushButton;
class MciPlayer;
class Mp3Player;
class Timer;

struct EngineParts {
    MciPlayer *mci = nullptr;
    Mp3Player *mp3 = nullptr;
    QPushButton *Command21 = nullptr;  // "播放" / "停止", the MP3 button
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

    void Timer4_Timer();
    void Timer10_Timer();
    void Timer5_Timer();
    void Command21_Click();

    void PlaybackStarted();
    void PlaybackEnded();
    void MciDone();
    void MciPlayPressed();

private:
    EngineParts m_p;
    PlaybackState &m_state;
    const TodayList &m_list;
};
