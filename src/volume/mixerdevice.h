// The sound card's mixer as the volume object sees it: a speaker line and a microphone line.
#pragma once
#include <QString>

class MixerDevice {
public:
    struct Line {
        bool present = false;
        long min = 0;
        long max = 0;
    };
    virtual ~MixerDevice() = default;

    // Opens the card's mixer; false when there is none to open, or when it did not answer
    // within a short wait (a device may then go on opening it by itself).
    virtual bool open() = 0;
    // The platform's non-zero result code of the last failed open (0 after a good one).
    virtual int openError() const { return -1; }
    virtual Line speaker() const = 0;
    virtual Line microphone() const = 0;
    // Asks for one value on every channel of the line. True when the value was taken for
    // sending: a device that is slow to answer (a sound server acknowledges each write) may
    // send it later, from its own thread, so a refusal by the card is not seen here; settle()
    // tells whether the values have arrived. A device whose open failed may take the value
    // and try to open the mixer again to send it. False when there is nowhere to send it
    // (the card opened without such a line, or the device is closing).
    virtual bool setSpeaker(long value) = 0;
    virtual bool setMicrophone(long value) = 0;
    // Waits at most timeoutMs for every value asked for so far to reach the card. True when
    // they have and the card took the newest; false when the time ran out or the card refused.
    // A device that writes at once has nothing to wait for.
    virtual bool settle(int timeoutMs) {
        (void)timeoutMs;
        return true;
    }
};
