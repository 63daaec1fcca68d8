// Opening the mixer and writing the speaker and microphone volumes.
#include "volume/clsvolume.h"

#include "ui/dialogs.h"
#include "volume/logging.h"

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
        qCWarning(lcMixer) << "the mixer did not open, error" << m_mixerErr
                           << "; the volume sliders keep their own ranges";
        m_asRun->record(QStringLiteral("mixer"), QStringLiteral("混音器无法打开，错误 %1").arg(m_mixerErr));
        // Said without waiting for OK: at start-up nothing else has run yet, and the bells
        // must not wait for someone to come and click.
        if (m_dialogs)
            m_dialogs->notify(m_dialogParent, QStringLiteral("Could not open the mixer."), Dialogs::Icon::Critical,
                              QStringLiteral("Volume Control"));
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

bool clsVolume::sends(const MixerDevice::Line &control) const {
    // A card that opened without such a control has nowhere to put the value. One that did
    // not open is still given it: the device tries to open the mixer again to send it (a
    // sound server that started after the program, or answered too late at start-up).
    return m_device && (!m_opened || control.present);
}

void clsVolume::prSpeakerVolume(qint32 value) {
    m_speakerVolume = value;
    // A refusal by the device is not reported to the operator; the stored value stands.
    if (sends(m_speakerControl) && !m_device->setSpeaker(value)) {
        qCWarning(lcMixer) << "speaker volume" << value << "was not taken";
        m_asRun->record(QStringLiteral("mixer"), QStringLiteral("混音器没有接受音量 %1").arg(value));
    }
}

void clsVolume::prMicVolume(qint32 value) {
    m_micVolume = value;
    if (sends(m_micControl) && !m_device->setMicrophone(value))
        qCWarning(lcMixer) << "microphone volume" << value << "was not taken";
}

bool clsVolume::meSettle(int ms) {
    if (!m_device)
        return true;
    if (m_device->settle(ms))
        return true;
    qCWarning(lcMixer) << "the volume had not reached the card after" << ms << "ms";
    m_asRun->record(QStringLiteral("mixer"), QStringLiteral("音量在 %1 毫秒内没有到达声卡").arg(ms));
    return false;
}
