// GstBeep: the beep of a due item, a short tone through the program's own audio output.
#pragma once
#include <QString>

#include <atomic>
#include <memory>

class QThreadPool;
struct GstBeepTone;

// The X bell never reaches the loudspeakers; this tone goes through the same audio output as
// the players, so it sounds where they do, at the card's current volume. GStreamer is only
// ever called on a thread of the beep's own: beep() returns at once whether or not a tone can
// be played, and a missing or failing audio output leaves the beep silent (and logged).
// Beeps asked for together sound one after the other, a few at most.
class GstBeep {
public:
    // audioSink is a GStreamer element factory name, as for the players.
    explicit GstBeep(const QString &audioSink);
    // Waits for a tone that is sounding to end.
    ~GstBeep();

    // Makes the tone's pipeline and opens the audio output in the background, so that the
    // first beep sounds as promptly as later ones. A beep() before then makes them itself.
    void prepare();
    void beep();

    // At most this many beeps wait for the one sounding; more are dropped.
    static constexpr int MaxWaiting = 3;

private:
    std::shared_ptr<GstBeepTone> m_tone;
    std::unique_ptr<QThreadPool> m_thread;
    std::shared_ptr<std::atomic<int>> m_waiting;
};
