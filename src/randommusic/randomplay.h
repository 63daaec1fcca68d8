// Timer11, every six seconds: a random song from each library that has a group open now.
#pragma once
#include "randommusic/musiclibrary.h"

#include <QObject>
#include <functional>
#include <random>

class Clock;
class PlaybackEngine;
class QLabel;
class Timer;
struct PlaybackState;

struct RandomPlayParts {
    Clock *clock = nullptr;
    PlaybackEngine *engine = nullptr;  // starts the picked file
    QLabel *Label26 = nullptr;         // status line: the file
    Timer *Timer4 = nullptr;           // start delay of a due item
    Timer *Timer5 = nullptr;           // play-length counter
    Timer *Timer11 = nullptr;          // this check
    // Sets the speaker to the volume of Form2's Slider2 with the given index; returns the value sent.
    std::function<int(int slider)> setGroupVolume;
};

class RandomPlay : public QObject {
    Q_OBJECT
public:
    RandomPlay(RandomPlayParts parts, MusicLibraries &libraries, PlaybackState &state, QObject *parent = nullptr);

    // One check: nothing while PlayerBusy is set; otherwise, for library 0, 1, 2 in turn, a
    // song picked from each library with an open group is started at that group's volume,
    // with no play length.
    void tick();

private:
    double draw();

    RandomPlayParts m_p;
    MusicLibraries &m_libraries;
    PlaybackState &m_state;
    std::mt19937_64 m_random;
};
