// Opening the mixer and writing the speaker and microphone volumes.
#include "volume/clsvolume.h"

#include "ui/dialogs.h"

#include <limits>

namespace {

// Device ranges are longs; ours are 32-bit like every volume the program computes.
qint32 narrow(long v) {
    if (v > std::numeric_limits<qint32>::max())
        return std::numeric_limits<qint32>::max();
    if (v < std::numeric_limits<qint32>::min())
        return std::numeric_limits<qint32>::min();
    return qint32(v);
}

}  // namespace

clsVolume::clsVolume(MixerDevice *device, Dialogs *dialogs, QWidget *dialogParent)
    : m_device(device), m_dialogs(dialogs), m_dialogParent(dialogParent) {}

void clsVolume::meOpenMixer() {
    m_opened = false;
    m_speakerControl = {};
    m_micControl = {};
    m_speakerMin = m_speakerMax = m_micMin = m_micMax = 0;
    if (m_device && m_device->open()) {
        m_mixerErr = 0;
    } else {
        m_mixerErr = m_device ? m_device->openError() : -1;
        if (m_mixerErr == 0)
            m_mixerErr = -1;  // a failure must never read as success
        if (m_dialogs)
            m_dialogs->message(m_dialogParent, QStringLiteral("Could not open the mixer."), Dialogs::Buttons::Ok,
                               Dialogs::Icon::Critical, QStringLiteral("Volume Control"));
        return;
    }
    m_opened = true;
    // A line the card does not have is not worth a message: its range simply stays 0.
    m_speakerControl = m_device->speaker();
    if (m_speakerControl.present) {
        m_speakerMax = narrow(m_speakerControl.max);
        m_speakerMin = narrow(m_speakerControl.min);
    }
    m_micControl = m_device->microphone();
    if (m_micControl.present) {
        m_micMax = narrow(m_micControl.max);
        m_micMin = narrow(m_micControl.min);
    }
}

void clsVolume::prSpeakerVolume(qint32 value) {
    m_speakerVolume = value;
    // Without an open mixer or a speaker control there is nothing to send the value to;
    // a refusal by the device is not reported, the stored value stands.
    if (m_opened && m_speakerControl.present)
        m_device->setSpeaker(value);
}

void clsVolume::prMicVolume(qint32 value) {
    m_micVolume = value;
    if (m_opened && m_micControl.present)
        m_device->setMicrophone(value);
}

bool clsVolume::meSettle(int ms) {
    if (!m_opened)
        return true;
    return m_device->settle(ms);
}
