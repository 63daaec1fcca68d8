// clsVolume: the program's one handle on the sound card's speaker and microphone volume.
#pragma once
#include "core/asrunlog.h"
#include "volume/mixerdevice.h"

#include <QtGlobal>

class Dialogs;
class QWidget;

// Volumes are plain numbers in the mixer's own units, neither scaled nor clamped here.
// The read properties report what this object holds and never ask the device.
class clsVolume {
public:
    // The device and the dialogs must outlive the object; either may be null (no mixer, no
    // message box) so a program without a sound card still runs.
    clsVolume(MixerDevice *device, Dialogs *dialogs, QWidget *dialogParent = nullptr);

    // Opens the mixer and finds the speaker and microphone volume controls. A mixer that
    // cannot be opened is reported once, by a message that does not wait for OK, and every
    // range stays 0; values written afterwards still go to the device, which may open later.
    void meOpenMixer();

    qint32 prMixerErr() const { return m_mixerErr; }
    qint32 prSpeakerMinVolume() const { return m_speakerMin; }
    qint32 prSpeakerMaxVolume() const { return m_speakerMax; }
    qint32 prSpeakerVolume() const { return m_speakerVolume; }
    // Stores the value, then sends it to the speaker control as it is.
    void prSpeakerVolume(qint32 value);
    qint32 prMicMinVolume() const { return m_micMin; }
    qint32 prMicMaxVolume() const { return m_micMax; }
    qint32 prMicVolume() const { return m_micVolume; }
    void prMicVolume(qint32 value);

    // Waits at most ms for the values written so far to reach the card (the mixer may send
    // them from a thread of its own), so that a sound started next is heard at its volume.
    // True when they have; also true when there is no mixer at all.
    bool meSettle(int ms);

    // Where a mixer that failed is put down, beside the starts it concerns.
    void setAsRunLog(AsRunLog &log) { m_asRun = &log; }

private:
    bool sends(const MixerDevice::Line &control) const;

    MixerDevice *m_device;
    Dialogs *m_dialogs;
    QWidget *m_dialogParent;
    AsRunLog *m_asRun = &AsRunLog::discard();
    bool m_opened = false;
    MixerDevice::Line m_speakerControl;
    MixerDevice::Line m_micControl;
    qint32 m_micVolume = 0;
    qint32 m_micMax = 0;
    qint32 m_micMin = 0;
    qint32 m_speakerVolume = 0;
    qint32 m_speakerMax = 0;
    qint32 m_speakerMin = 0;
    qint32 m_mixerErr = 0;
};
