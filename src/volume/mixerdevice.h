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

    // Opens the card's mixer; false when there is none to open.
    virtual bool open() = 0;
    // The platform's non-zero result code of the last failed open (0 after a good one).
    virtual int openError() const { return -1; }
    virtual Line speaker() const = 0;
    virtual Line microphone() const = 0;
    // Writes one value to every channel of the line; false when the device refused it.
    virtual bool setSpeaker(long value) = 0;
    virtual bool setMicrophone(long value) = 0;
};
