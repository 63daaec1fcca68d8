// A fake sound card mixer: ranges to report and the values written to it.
#pragma once
#include "volume/mixerdevice.h"

#include <QList>
#include <functional>

class FakeMixer : public MixerDevice {
public:
    bool opens = true;
    Line speakerLine{true, 0, 65535};
    Line micLine{true, 0, 65535};
    bool accept = true;
    QList<long> speakerWrites, micWrites;
    int openCalls = 0;
    int failCode = -19;  // what a failed open reports, like ALSA's -ENODEV
    bool open() override {
        ++openCalls;
        return opens;
    }
    int openError() const override { return opens ? 0 : failCode; }
    Line speaker() const override { return speakerLine; }
    Line microphone() const override { return micLine; }
    std::function<void(long)> onSpeaker;
    bool setSpeaker(long v) override {
        speakerWrites << v;
        if (onSpeaker)
            onSpeaker(v);
        return accept;
    }
    bool setMicrophone(long v) override {
        micWrites << v;
        return accept;
    }
    // Writes are recorded at once, so there is never anything to wait for: settle() only
    // counts the waits asked for and answers `settled`.
    int settleCalls = 0;
    bool settled = true;
    bool settle(int) override {
        ++settleCalls;
        return settled;
    }
};
